#include "library/files_ops.h"

#include "library/files_fd.h"

#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace novrix::library {
namespace {

bool isFileNotFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool hasWildcard(std::string_view s) {
    return s.find_first_of("*?") != std::string_view::npos;
}

// '*' and '?' only; the classic iterative matcher that backtracks to the last '*'.
bool plainMatch(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

} // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    if (plainMatch(pattern, name))
        return true;
    // "data.*" and "*.*" also find "data" and "README", as they do on the desktop systems scripts come
    // from.
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        return plainMatch(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

bool fileExists(const std::string& name) {
    const size_t slash = name.rfind('/');
    const std::string_view last =
        slash == std::string::npos ? std::string_view(name) : std::string_view(name).substr(slash + 1);
    if (!hasWildcard(last))
        return !hasWildcard(name) && isFileNotFolder(name);
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
    if (hasWildcard(folder))
        return false;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return false;
    const std::string prefix = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view entryName = entry->d_name;
        if (wildcardMatch(last, entryName) && isFileNotFolder(prefix + std::string(entryName)))
            return true;
    }
    return false;
}

bool deleteFile(const std::string& name) {
    // A file held open here for reading, or being written by another program, keeps its lock and is not
    // deleted, as a file in use is not on the systems scripts come from.
    UniqueFd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd && ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return false;
    return ::unlink(name.c_str()) == 0;
}

} // namespace novrix::library
