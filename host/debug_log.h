#pragma once
// The debug message log: the lines in which the bus functions, the transport thread and the controller
// search report what they do. Every line goes into a list that the debug window drains (every 10 ms); while
// LogToFile is on, the bus and transport lines also go into the log file, which each program start
// appends to.
//
// Every entry is a text ending with CR LF ("\r\n"); an entry of only "\r\n" is an empty separator line.
// The writers hand over their entries complete, line end included.
//
// Any thread may write, switch LogToFile or drain. One lock guards the list and the file, held only for
// an append, a removal or one write to the file, so the lines of different threads reach the file whole
// and in the order in which they took the lock. A log file that cannot be opened, or a write that fails
// (a full disk), is ignored: the line still reaches the list.
#include <atomic>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace novrix::host {

// The path and direction tags at the start of bus lines: "PLNET GPIB OUT: ", "PLNET GPIB IN : ". Both
// directions of a path have the same width, so their payloads start in the same column.
enum class BusPath { Dll, PlNet, PlUsb };
enum class BusDirection { Out, In };
std::string busTag(BusPath path, BusDirection direction);

class DebugLog {
public:
    // Without a log file: lines only reach the list.
    DebugLog() = default;
    // Opens `logFile` for appending, creating it if it does not exist; if that fails, goes on without one.
    explicit DebugLog(const std::filesystem::path& logFile);
    ~DebugLog();
    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;

    // A bus function's line: to the file unchanged, and on disk before the call returns, so that the file
    // is complete up to the last line even if the program ends abnormally.
    void addBusLine(std::string_view entry);
    // A transport thread's line: to the file followed by one more CR LF, so that an empty line follows it.
    void addTransportLine(std::string_view entry);
    // A controller search line: to the list only, whatever LogToFile says.
    void addDiscoveryLine(std::string_view entry);
    // The transport thread's raw record of a received chunk: to the file only, while LogToFile is on.
    void writeRawRecord(std::string_view record);

    // "Log Debug Messages into file". May be switched from any thread at any time; a line takes the state
    // it finds when it takes the lock.
    void setLogToFile(bool on) { logToFile_.store(on, std::memory_order_release); }
    bool logToFile() const { return logToFile_.load(std::memory_order_acquire); }
    bool hasLogFile() const { return fd_ >= 0; }

    // The oldest entry, removed from the list; nothing when the list is empty.
    std::optional<std::string> takeFirst();
    // Every entry now in the list, oldest first; entries added meanwhile wait for the next call.
    std::vector<std::string> takePending();
    std::size_t pendingCount() const;
    void clear();

private:
    enum class FileStyle { None, Unchanged, ExtraLineEnd };
    void add(std::string_view entry, FileStyle style);
    void writeToFile(std::string_view text); // caller holds lock_

    mutable std::mutex lock_;
    std::deque<std::string> messages_;
    int fd_ = -1;
    std::atomic<bool> logToFile_{false};
};

} // namespace novrix::host
