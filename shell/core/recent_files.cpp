#include "shell/core/recent_files.h"

#include <algorithm>

namespace novrix::shell {

RecentFiles::RecentFiles(std::vector<std::string> paths) {
    for (std::string& path : paths) {
        if (path.empty() || std::find(paths_.begin(), paths_.end(), path) != paths_.end()) continue;
        if (paths_.size() == kCapacity) break;
        paths_.push_back(std::move(path));
    }
}

void RecentFiles::add(const std::string& path) {
    if (path.empty()) return;
    std::erase(paths_, path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kCapacity) paths_.resize(kCapacity);
}

std::string RecentFiles::caption(std::string_view path) {
    size_t slash = path.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string shown;
    for (char c : name) {
        shown += c;
        if (c == '&') shown += '&';
    }
    return shown;
}

} // namespace novrix::shell
