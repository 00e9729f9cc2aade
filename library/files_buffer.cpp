#include "library/files_buffer.h"

#include "library/files_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace novrix::library {
namespace {

constexpr int kWriteFlags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY;

// Opens `path` for appending, creating it when missing and creating its folders when they are missing
// too. Never truncates: a file that exists but cannot be opened for appending is left alone.
UniqueFd openForAppend(const std::string& path, bool& created) {
    created = false;
    bool madeFolders = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        UniqueFd fd(::open(path.c_str(), kWriteFlags));
        if (fd || errno != ENOENT)
            return fd;
        fd = UniqueFd(::open(path.c_str(), kWriteFlags | O_CREAT | O_EXCL, 0666));
        if (fd) {
            created = true;
            return fd;
        }
        if (errno == EEXIST) // created meanwhile, or a link to a file still to be made: append as usual
            return UniqueFd(::open(path.c_str(), kWriteFlags | O_CREAT, 0666));
        if (errno != ENOENT || madeFolders)
            return fd;
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (folder.empty())
            return fd;
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        madeFolders = true;
    }
    return UniqueFd();
}

bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

void FileBuffer::add(std::string_view text) {
    if (text == "\r\n") {
        lines_.emplace_back();
        return;
    }
    if (lines_.empty())
        lines_.emplace_back();
    std::string& row = lines_.back();
    if (!row.empty())
        row += '\t';
    row += text;
}

FileWriteResult FileBuffer::appendTo(const std::string& path) const {
    std::string bytes;
    size_t total = 0;
    for (const std::string& line : lines_)
        total += line.size() + 2;
    bytes.reserve(total);
    for (const std::string& line : lines_) {
        bytes += line;
        bytes += "\r\n";
    }

    bool created = false;
    UniqueFd fd = openForAppend(path, created);
    if (!fd)
        return FileWriteResult::NotOpened;
    // Files are shared for reading only: the file open for reading here (shared lock) or one another
    // program is writing (exclusive lock) is not written.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return FileWriteResult::Locked;

    struct stat before {};
    const bool regular = ::fstat(fd.get(), &before) == 0 && S_ISREG(before.st_mode);
    if (writeAll(fd.get(), bytes))
        return FileWriteResult::Written; // a failing close is ignored, as the rows have been handed over

    // No half row may stay behind: cut the file back to where it ended, or remove the file we created.
    if (created) {
        ::unlink(path.c_str());
    } else if (regular && ::ftruncate(fd.get(), before.st_size) != 0) {
        // Nothing more can be done: the rows that did reach the file stay.
    }
    return FileWriteResult::WriteFailed;
}

} // namespace novrix::library
