#pragma once
// The recently used files behind "Open Recent": at most 20 full paths, newest first, each once. Adding a
// path already listed moves it to the top; the oldest falls off. Stored by the window as MRU1 (newest)
// .. MRU20.
#include <string>
#include <string_view>
#include <vector>

namespace novrix::shell {

class RecentFiles {
public:
    static constexpr size_t kCapacity = 20;

    // Takes a stored list as it is: empty entries and repeats are dropped, and what is past the capacity.
    explicit RecentFiles(std::vector<std::string> paths = {});

    void add(const std::string& path);
    const std::vector<std::string>& paths() const { return paths_; }

    // The menu caption of a path: the file name without its folder, every "&" doubled so that it shows.
    static std::string caption(std::string_view path);

private:
    std::vector<std::string> paths_;
};

} // namespace novrix::shell
