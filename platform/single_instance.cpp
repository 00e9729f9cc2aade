#include "platform/single_instance.h"

#include "platform/program_paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace novrix::platform {

namespace {

// Linux names a file with at most NAME_MAX bytes, fewer than a lock name may have; the rest of the name
// is cut from the front as the lock name itself is.
std::string lockFileName(std::string name) {
    if (name.size() > NAME_MAX)
        name.erase(0, name.size() - NAME_MAX);
    return name;
}

} // namespace

std::string singleInstanceLockName(std::string_view programPath) {
    std::string name;
    name.reserve(programPath.size());
    for (char c : programPath)
        if (c != '/')
            name += c;
    if (name.size() > kMaxLockNameLength)
        name.erase(0, name.size() - kMaxLockNameLength);
    return name;
}

std::filesystem::path singleInstanceRuntimeFolder(std::string_view xdgRuntimeDir) {
    // A relative XDG_RUNTIME_DIR is invalid by the XDG rules and is ignored.
    const std::filesystem::path folder(xdgRuntimeDir);
    return folder.is_absolute() ? folder : std::filesystem::path("/tmp");
}

std::filesystem::path singleInstanceRuntimeFolder() {
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    return singleInstanceRuntimeFolder(value ? std::string_view(value) : std::string_view());
}

SingleInstanceGuard::SingleInstanceGuard(const std::filesystem::path& programPath,
                                         std::filesystem::path runtimeFolder) {
    const std::string name = singleInstanceLockName(programPath.string());
    if (!name.empty())
        lockFile_ = std::move(runtimeFolder) / lockFileName(name);
}

SingleInstanceGuard SingleInstanceGuard::forRunningProgram() {
    return SingleInstanceGuard(ProgramEnvironment::current().executable, singleInstanceRuntimeFolder());
}

SingleInstanceGuard::~SingleInstanceGuard() {
    release();
}

SingleInstanceGuard::SingleInstanceGuard(SingleInstanceGuard&& other) noexcept
    : lockFile_(std::move(other.lockFile_)), fd_(std::exchange(other.fd_, -1)), error_(other.error_) {}

SingleInstanceGuard& SingleInstanceGuard::operator=(SingleInstanceGuard&& other) noexcept {
    if (this != &other) {
        release();
        lockFile_ = std::move(other.lockFile_);
        fd_ = std::exchange(other.fd_, -1);
        error_ = other.error_;
    }
    return *this;
}

bool SingleInstanceGuard::acquire() {
    if (held())
        return true;
    error_.clear();
    if (lockFile_.empty()) {
        error_ = std::make_error_code(std::errc::no_such_file_or_directory);
        return true;
    }
    // CLOEXEC: a started program must not inherit the lock and keep it after this process ends.
    // NOFOLLOW: /tmp is shared, and a planted link must not make us create or lock some other file.
    const int fd = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error_ = std::error_code(errno, std::system_category());
        return true;
    }
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result == 0) {
        fd_ = fd;
        return true;
    }
    const int lockError = errno;
    ::close(fd);
    if (lockError == EWOULDBLOCK)
        return false;
    error_ = std::error_code(lockError, std::system_category());
    return true;
}

void SingleInstanceGuard::release() noexcept {
    // Closing the descriptor drops the lock. The file is never removed: a start that had already opened
    // it would lock the removed file while the next start locks a new one, and two copies would run.
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
}

} // namespace novrix::platform
