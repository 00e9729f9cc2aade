#pragma once
// Only one copy of a program file runs at a time: a second start of the same file (same full path) finds
// the lock held and shows kAlreadyRunningMessage. A copy under another name or in another folder is a
// different program and runs beside it.
//
// The lock is flock() on a file in the runtime folder, not the file's existence: the kernel drops the
// lock when its holder ends, however it ends, so a crash leaves nothing stale behind.
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace novrix::platform {

// What the user sees when the program is already running; lines joined by line feeds.
inline constexpr std::string_view kAlreadyRunningMessage =
    "This program can only be started once with the same name from the same subdirectory.\n"
    "You may make a copy with a different name and start this from the same subdirectory\n"
    "or you can copy the file with its original name to a different subdirectory and start\n"
    "it from there. In general it is recommended to use different names for different instances\n"
    "so that you can easily distinguish the different instances. The instances are shown\n"
    "in the title bar of the main window.";

// Longest lock name: paths that differ only before their last 259 characters share a lock.
inline constexpr std::size_t kMaxLockNameLength = 259;

// The program's full path with every '/' removed, cut from the front to kMaxLockNameLength characters
// (bytes of the path).
std::string singleInstanceLockName(std::string_view programPath);

// Where lock files live: an absolute $XDG_RUNTIME_DIR (per user, emptied at logout), else /tmp.
std::filesystem::path singleInstanceRuntimeFolder(std::string_view xdgRuntimeDir);
std::filesystem::path singleInstanceRuntimeFolder(); // from this process's environment

class SingleInstanceGuard {
public:
    // Locks nothing yet. `runtimeFolder` must exist; it is not created.
    SingleInstanceGuard(const std::filesystem::path& programPath, std::filesystem::path runtimeFolder);
    // The running program (/proc/self/exe) in the folder from the environment.
    static SingleInstanceGuard forRunningProgram();

    ~SingleInstanceGuard();
    SingleInstanceGuard(SingleInstanceGuard&& other) noexcept;
    SingleInstanceGuard& operator=(SingleInstanceGuard&& other) noexcept;
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // False only when another holder (another process, or another guard in this one) has the lock.
    // A lock file that cannot be opened (folder missing or not writable, unknown program path) does not
    // keep the program from starting: acquire() is then true, held() false and error() says why.
    // Calling it again while held is true and changes nothing.
    bool acquire();

    bool held() const { return fd_ >= 0; }
    const std::error_code& error() const { return error_; }
    // Empty when the program path is unknown.
    const std::filesystem::path& lockFile() const { return lockFile_; }

private:
    void release() noexcept;

    std::filesystem::path lockFile_;
    int fd_ = -1;
    std::error_code error_;
};

} // namespace novrix::platform
