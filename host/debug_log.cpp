#include "host/debug_log.h"

#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace novrix::host {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

} // namespace

std::string busTag(BusPath path, BusDirection direction) {
    const std::string_view name = path == BusPath::Dll ? "DLL" : path == BusPath::PlNet ? "PLNET" : "PLUSB";
    const std::string_view dir = direction == BusDirection::Out ? "OUT" : "IN ";
    std::string tag(name);
    tag += " GPIB ";
    tag += dir;
    tag += ": ";
    return tag;
}

DebugLog::DebugLog(const std::filesystem::path& logFile) {
    // O_APPEND|O_CREAT appends to the file or creates it. O_NONBLOCK keeps a log path that names a pipe
    // from stalling the program: the open then fails or the writes are dropped instead of waiting.
    fd_ = ::open(logFile.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
}

DebugLog::~DebugLog() {
    if (fd_ >= 0)
        ::close(fd_);
}

void DebugLog::addBusLine(std::string_view entry) {
    add(entry, FileStyle::Unchanged);
}

void DebugLog::addTransportLine(std::string_view entry) {
    add(entry, FileStyle::ExtraLineEnd);
}

void DebugLog::addDiscoveryLine(std::string_view entry) {
    add(entry, FileStyle::None);
}

void DebugLog::writeRawRecord(std::string_view record) {
    std::lock_guard guard(lock_);
    if (logToFile())
        writeToFile(record);
}

void DebugLog::add(std::string_view entry, FileStyle style) {
    std::lock_guard guard(lock_);
    messages_.emplace_back(entry);
    if (style == FileStyle::None || !logToFile())
        return;
    if (style == FileStyle::ExtraLineEnd) {
        std::string text(entry);
        text += kLineEnd;
        writeToFile(text);
    } else {
        writeToFile(entry);
    }
}

// Unbuffered: every line is in the file (in the kernel) when the write returns, which is what flushing
// after each line gives a buffered file. Errors end the write and are otherwise ignored.
void DebugLog::writeToFile(std::string_view text) {
    if (fd_ < 0)
        return;
    while (!text.empty()) {
        const ssize_t n = ::write(fd_, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::optional<std::string> DebugLog::takeFirst() {
    std::lock_guard guard(lock_);
    if (messages_.empty())
        return std::nullopt;
    std::string first = std::move(messages_.front());
    messages_.pop_front();
    return first;
}

std::vector<std::string> DebugLog::takePending() {
    std::lock_guard guard(lock_);
    std::vector<std::string> all(std::make_move_iterator(messages_.begin()),
                                 std::make_move_iterator(messages_.end()));
    messages_.clear();
    return all;
}

std::size_t DebugLog::pendingCount() const {
    std::lock_guard guard(lock_);
    return messages_.size();
}

void DebugLog::clear() {
    std::lock_guard guard(lock_);
    messages_.clear();
}

} // namespace novrix::host
