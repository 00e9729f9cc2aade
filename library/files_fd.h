#pragma once
// An owned file descriptor, closed when it goes out of scope.
#include <unistd.h>

namespace novrix::library {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    UniqueFd& operator=(UniqueFd&& o) noexcept {
        if (this != &o) {
            reset();
            fd_ = o.fd_;
            o.fd_ = -1;
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Closes now and reports whether close succeeded (false when nothing was open).
    bool close() {
        if (fd_ < 0)
            return false;
        const int r = ::close(fd_);
        fd_ = -1;
        return r == 0;
    }
    void reset() { close(); }

private:
    int fd_ = -1;
};

} // namespace novrix::library
