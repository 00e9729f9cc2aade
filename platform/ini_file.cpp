#include "platform/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace novrix::platform {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::string oneLine(std::string_view text) {
    std::string s(text);
    std::replace(s.begin(), s.end(), '\r', ' ');
    std::replace(s.begin(), s.end(), '\n', ' ');
    return s;
}

// Owns a file descriptor and, until released, the temporary file it was opened on.
class TempFile {
public:
    TempFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
    ~TempFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool writeAll(std::string_view data) {
        while (!data.empty()) {
            const ssize_t n = ::write(fd_, data.data(), data.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            data.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
    bool syncAndClose() {
        const bool synced = ::fsync(fd_) == 0;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return synced && closed;
    }
    int fd() const { return fd_; }
    const std::filesystem::path& path() const { return path_; }
    void keep() { path_.clear(); } // renamed into place: nothing left to remove

private:
    int fd_;
    std::filesystem::path path_;
};

std::optional<TempFile> createTempBeside(const std::filesystem::path& target) {
    std::random_device random;
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ostringstream name;
        name << '.' << target.filename().string() << ".tmp" << std::hex << random();
        std::filesystem::path path = folder / name.str();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return std::optional<TempFile>(std::in_place, fd, std::move(path));
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

void syncFolder(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {
    std::error_code ec;
    const auto status = std::filesystem::status(path_, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return;
    // Anything but a regular file (a folder, a pipe that would block the reader) counts as unreadable.
    if (!ec && status.type() == std::filesystem::file_type::regular) {
        std::ifstream in(path_, std::ios::binary);
        const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (in.is_open() && !in.bad()) {
            parse(content);
            return;
        }
    }
    unreadable_ = true;
}

void IniFile::parse(std::string_view content) {
    if (content.starts_with(kByteOrderMark)) {
        byteOrderMark_ = true;
        content.remove_prefix(kByteOrderMark.size());
    }
    const auto firstBreak = content.find('\n');
    if (firstBreak != std::string_view::npos && firstBreak > 0 && content[firstBreak - 1] == '\r')
        lineEnd_ = "\r\n";

    while (!content.empty()) {
        const auto brk = content.find('\n');
        std::string_view raw = content.substr(0, brk);
        std::string end = brk == std::string_view::npos ? "" : "\n";
        if (raw.ends_with('\r')) {
            raw.remove_suffix(1);
            end.insert(0, "\r"); // CR LF; or, at the very end of the file, a CR alone
        }
        content.remove_prefix(brk == std::string_view::npos ? content.size() : brk + 1);

        Line line{std::string(raw), std::move(end), LineKind::Other, {}, {}};
        const std::string_view t = trimBlanks(raw);
        if (t.starts_with(';') || t.starts_with('#')) {
            line.kind = LineKind::Other;
        } else if (t.starts_with('[') && t.find(']') != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = trimBlanks(t.substr(1, t.find(']') - 1));
        } else if (const auto eq = t.find('=');
                   eq != std::string_view::npos && !trimBlanks(t.substr(0, eq)).empty()) {
            line.kind = LineKind::Entry;
            line.name = trimBlanks(t.substr(0, eq));
            line.value = trimBlanks(t.substr(eq + 1));
        }
        lines_.push_back(std::move(line));
    }
}

IniFile::Line IniFile::newLine(std::string raw, LineKind kind, std::string name, std::string value) const {
    return Line{std::move(raw), lineEnd_, kind, std::move(name), std::move(value)};
}

std::optional<IniFile::Range> IniFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != LineKind::Section || !sameName(lines_[i].name, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && lines_[end].kind != LineKind::Section)
            ++end;
        return Range{i + 1, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::findKey(std::string_view section, std::string_view key) const {
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    for (std::size_t i = range->begin; i < range->end; ++i)
        if (lines_[i].kind == LineKind::Entry && sameName(lines_[i].name, key))
            return i;
    return std::nullopt;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    if (const auto i = findKey(section, key))
        return lines_[*i].value;
    return std::nullopt;
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view def) const {
    auto v = value(section, key);
    return v ? std::move(*v) : std::string(def);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool def) const {
    const auto v = value(section, key);
    if (v == "True")
        return true;
    if (v == "False")
        return false;
    return def;
}

std::vector<std::pair<std::string, std::string>> IniFile::sectionValues(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> result;
    const auto range = findSection(section);
    if (!range)
        return result;
    for (std::size_t i = range->begin; i < range->end; ++i) {
        const Line& l = lines_[i];
        if (l.kind != LineKind::Entry)
            continue;
        const bool seen = std::any_of(result.begin(), result.end(),
                                      [&](const auto& kv) { return sameName(kv.first, l.name); });
        if (!seen)
            result.emplace_back(l.name, l.value);
    }
    return result;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string v = std::string(trimBlanks(oneLine(value)));
    if (const auto i = findKey(section, key)) {
        Line& l = lines_[*i];
        if (l.value == v)
            return;
        l.value = v;
        l.raw = l.name + "=" + v;
        modified_ = true;
        return;
    }
    Line entry = newLine(std::string(key) + "=" + v, LineKind::Entry, std::string(key), v);
    if (const auto range = findSection(section)) {
        // After the section's last non-blank line, so that a blank line separating it from the next
        // section stays where it is.
        std::size_t at = range->end;
        while (at > range->begin && trimBlanks(lines_[at - 1].raw).empty())
            --at;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    } else {
        if (!lines_.empty() && !trimBlanks(lines_.back().raw).empty())
            lines_.push_back(newLine({}, LineKind::Other, {}, {}));
        lines_.push_back(
            newLine("[" + std::string(section) + "]", LineKind::Section, std::string(section), {}));
        lines_.push_back(std::move(entry));
    }
    modified_ = true;
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "True" : "False");
}

void IniFile::eraseKey(std::string_view section, std::string_view key) {
    while (const auto i = findKey(section, key)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*i));
        modified_ = true;
    }
}

std::string IniFile::text() const {
    std::string out;
    if (byteOrderMark_)
        out += kByteOrderMark;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i].raw;
        // A last line without a complete line end gets one when lines are added after it.
        const std::string& end = lines_[i].end;
        if (i + 1 == lines_.size() || end.ends_with('\n'))
            out += end;
        else
            out += end.empty() ? lineEnd_ : "\r\n";
    }
    return out;
}

bool IniFile::save() {
    if (!modified_)
        return true;
    if (unreadable_)
        return false;

    // Through a symbolic link to the file it names, so that the link stays a link.
    std::error_code ec;
    std::filesystem::path target = path_;
    if (std::filesystem::is_symlink(path_, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(path_, ec);
        if (!ec)
            target = resolved;
    }

    auto temp = createTempBeside(target);
    if (!temp)
        return false;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0)
        ::fchmod(temp->fd(), old.st_mode & 07777);
    if (!temp->writeAll(text()) || !temp->syncAndClose())
        return false;
    if (::rename(temp->path().c_str(), target.c_str()) != 0)
        return false;
    temp->keep();
    syncFolder(target);
    modified_ = false;
    return true;
}

} // namespace novrix::platform
