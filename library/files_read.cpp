#include "library/files_read.h"

#include "engine/runtime/script_error.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace novrix::library {
namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr int kFileNotOpen = 103; // the run-time library's I/O error number

[[noreturn]] void ioError(int code) {
    throw rt::ScriptError(rt::ExcClass::EInOutError, "I/O error " + std::to_string(code));
}

} // namespace

bool ScriptReadFile::open(const std::string& path) {
    fd_.reset();
    pos_ = end_ = 0;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd)
        return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    if (::flock(fd.get(), LOCK_SH | LOCK_NB) != 0)
        return false;
    fd_ = std::move(fd);
    buf_.resize(kBufferSize);
    return true;
}

bool ScriptReadFile::close() {
    pos_ = end_ = 0;
    return fd_.close();
}

void ScriptReadFile::requireOpen() const {
    if (!fd_)
        ioError(kFileNotOpen);
}

bool ScriptReadFile::fill() {
    if (pos_ < end_)
        return true;
    for (;;) {
        const ssize_t n = ::read(fd_.get(), buf_.data(), buf_.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ioError(errno);
        pos_ = 0;
        end_ = static_cast<size_t>(n);
        return n > 0;
    }
}

bool ScriptReadFile::eof() {
    requireOpen();
    return !fill() || buf_[pos_] == kEndOfFile;
}

char ScriptReadFile::readChar() {
    requireOpen();
    if (!fill())
        return kEndOfFile;
    const char c = buf_[pos_];
    if (c != kEndOfFile)
        ++pos_;
    return c;
}

std::string ScriptReadFile::readLine() {
    requireOpen();
    std::string line;
    while (fill()) {
        const char* begin = buf_.data() + pos_;
        const char* stop = std::find_if(begin, static_cast<const char*>(buf_.data() + end_),
                                        [](char c) { return c == '\n' || c == '\r' || c == kEndOfFile; });
        line.append(begin, stop);
        pos_ = static_cast<size_t>(stop - buf_.data());
        if (pos_ == end_)
            continue;
        const char c = buf_[pos_];
        if (c == kEndOfFile)
            break;
        ++pos_;
        if (c == '\n')
            break;
        // A CR ends the line only together with a following LF, which may sit in the next buffer load.
        if (fill() && buf_[pos_] == '\n') {
            ++pos_;
            break;
        }
        line += '\r';
    }
    return line;
}

std::string ScriptReadFile::readRest() {
    requireOpen();
    std::string text;
    while (fill()) {
        const char* begin = buf_.data() + pos_;
        const char* stop = std::find(begin, static_cast<const char*>(buf_.data() + end_), kEndOfFile);
        text.append(begin, stop);
        pos_ = static_cast<size_t>(stop - buf_.data());
        if (pos_ < end_)
            break; // at the Ctrl-Z
    }
    return text;
}

} // namespace novrix::library
