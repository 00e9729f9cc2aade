#include "host/console_queue.h"

#include "engine/runtime/int_text.h"

#include <algorithm>

namespace novrix::host {

std::string recordField(std::string_view record, int field) {
    std::string collected;
    int finished = 0;
    for (char c : record) {
        if (c != '\0') {
            collected += c;
            continue;
        }
        if (++finished == field)
            return collected;
        collected.clear();
    }
    // The text after the last NUL is the field right after it; anything further does not exist.
    return finished == field - 1 ? collected : std::string();
}

namespace {

// A missing or malformed coordinate becomes -1, which the console clamps to 0.
int coordinate(std::string_view record, int field) {
    return int(rt::strToIntDef(recordField(record, field), -1));
}

} // namespace

bool applyRecord(std::string_view record, ConsoleView& console,
                 const std::function<void(const std::string&)>& addMessage) {
    const std::string code = recordField(record, 1);
    if (code == kRecordWrite) {
        console.write(recordField(record, 2));
    } else if (code == kRecordWriteLn) {
        console.write(recordField(record, 2) + "\r\n");
    } else if (code == kRecordClear) {
        console.clear();
    } else if (code == kRecordClearEol) {
        console.clearToEndOfLine();
    } else if (code == kRecordCaretOn) {
        console.showCaret(true);
    } else if (code == kRecordCaretOff) {
        console.showCaret(false);
    } else if (code == kRecordGoto) {
        console.gotoXY(coordinate(record, 2), coordinate(record, 3));
    } else if (code == kRecordDebugLine) {
        if (addMessage)
            addMessage(recordField(record, 2));
    } else {
        return false;
    }
    return true;
}

std::vector<std::string> ConsoleQueue::copyHead(size_t limit) const {
    std::lock_guard guard(lock_);
    const size_t n = std::min(limit, records_.size());
    return {records_.begin(), records_.begin() + std::ptrdiff_t(n)};
}

void ConsoleQueue::removeHead(size_t n) {
    std::lock_guard guard(lock_);
    records_.erase(records_.begin(), records_.begin() + std::ptrdiff_t(std::min(n, records_.size())));
}

size_t ConsoleQueue::drain(ConsoleView& console, const std::function<void(const std::string&)>& addMessage) {
    if (draining_.exchange(true, std::memory_order_acq_rel))
        return 0;
    struct Release {
        std::atomic<bool>& flag;
        ~Release() { flag.store(false, std::memory_order_release); }
    } release{draining_};
    // Copied under the lock so that applying never races an append; the lock is free while the console works.
    std::vector<std::string> pass = copyHead();
    for (std::string& record : pass) {
        std::replace(record.begin(), record.end(), '\t', ' ');
        applyRecord(record, console, addMessage);
    }
    removeHead(pass.size());
    return pass.size();
}

} // namespace novrix::host
