#pragma once
// The console command queue. Script output never touches the console: each output call turns into a short
// text record appended here, and the main thread's pump drains the queue and applies the records to the
// console and the message list. A record is a four-letter code followed, for each argument, by one NUL and
// the argument's text; fields are the runs of non-NUL characters, field 1 being the code.
//
// The posting side (the record builders, append and size) is inline: the script functions in library/ post
// and watch the queue without linking the host library.
#include "host/frontend.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace novrix::host {

// Guards the queue only; held for an append, a copy or a removal, never while anyone waits.
using ConsoleQueueLock = std::mutex;

inline constexpr std::string_view kRecordWrite = "SCWR";     // text at the cursor
inline constexpr std::string_view kRecordWriteLn = "SCWL";   // text, then CR LF
inline constexpr std::string_view kRecordClear = "CLRS";     // whole console, cursor to the top left
inline constexpr std::string_view kRecordClearEol = "CLRE";  // cursor to the end of its line
inline constexpr std::string_view kRecordCaretOn = "SWCS";   // show the caret
inline constexpr std::string_view kRecordCaretOff = "HDCS";  // remove the caret
inline constexpr std::string_view kRecordGoto = "CUTO";      // column, row (zero-based)
inline constexpr std::string_view kRecordDebugLine = "SCWD"; // a line for the message list

// Builds "code" or "code NUL arg1 NUL arg2 ...".
inline std::string makeRecord(std::string_view code, std::initializer_list<std::string_view> args = {}) {
    std::string r(code);
    for (std::string_view a : args) {
        r += '\0';
        r += a;
    }
    return r;
}

inline std::string writeRecord(std::string_view text) {
    return makeRecord(kRecordWrite, {text});
}
inline std::string writeLnRecord(std::string_view text) {
    return makeRecord(kRecordWriteLn, {text});
}
inline std::string clearRecord() {
    return makeRecord(kRecordClear);
}
inline std::string clearEolRecord() {
    return makeRecord(kRecordClearEol);
}
inline std::string caretRecord(bool on) {
    return makeRecord(on ? kRecordCaretOn : kRecordCaretOff);
}
// Zero-based column and row, in decimal with an optional minus sign.
inline std::string gotoRecord(int column, int row) {
    return makeRecord(kRecordGoto, {std::to_string(column), std::to_string(row)});
}
// The message-list line "<time>: <text>"; the time text is the caller's ("hh:mm:ss" in the user's locale).
inline std::string debugLineRecord(std::string_view timeText, std::string_view text) {
    std::string line(timeText);
    line += ": ";
    line += text;
    return makeRecord(kRecordDebugLine, {line});
}

// Field `field` (1-based) of a record: the text before the field's NUL, or after the last NUL for the last
// field. A field beyond the last is empty; so a NUL inside an argument ends that argument.
std::string recordField(std::string_view record, int field);

// Applies one record (TABs already replaced) to the console, or hands a debug line to `addMessage`.
// False for a record whose code is not known; it is dropped.
bool applyRecord(std::string_view record, ConsoleView& console,
                 const std::function<void(const std::string&)>& addMessage);

class ConsoleQueue {
public:
    // Any thread, any number of records: the queue has no length limit.
    void append(std::string record) {
        std::lock_guard guard(lock_);
        records_.push_back(std::move(record));
    }

    size_t size() const {
        std::lock_guard guard(lock_);
        return records_.size();
    }
    // The records now in the queue, oldest first (for the pump's pass and for inspection).
    std::vector<std::string> copyHead(size_t limit = SIZE_MAX) const;
    // Removes the n oldest records.
    void removeHead(size_t n);

    // One pass of the pump (main thread): applies the records present at its start, oldest first, each with
    // its TABs made blanks, then removes exactly those. Records appended meanwhile wait for the next pass.
    // Returns how many records the pass took. A drain asked for while one is applying (a message sink that
    // flushes the console first, say) does nothing and returns 0: the records would be applied twice.
    size_t drain(ConsoleView& console, const std::function<void(const std::string&)>& addMessage);

private:
    mutable ConsoleQueueLock lock_;
    std::deque<std::string> records_;
    std::atomic<bool> draining_{false};
};

} // namespace novrix::host
