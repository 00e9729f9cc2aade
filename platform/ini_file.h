#pragma once
// A settings file of sections and keys ("[General]", "Key=Value"), held whole in memory. Reads and writes
// change only the memory copy; save() puts it on disk, and only when something changed.
//
// What the file may contain is the user's business: lines that are not sections or keys (comments,
// blank lines, text without "="), keys before the first section, a byte-order mark, and each line's own
// line end (CR LF or LF) survive a rewrite unchanged, and nothing in a file makes loading fail. Section
// and key names match without regard to ASCII case; when a name occurs twice, the first one counts.
// Blanks, tabs and stray CRs around keys and values are not part of them.
//
// save() writes a temporary file beside the target and renames it over the target, so the file on disk
// is always either the old or the new one, whole, even if the program dies or the disk fills up midway.
//
// Not thread-safe: one thread (the main thread) owns an IniFile.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace novrix::platform {

class IniFile {
public:
    // Reads `path`; a missing file gives an empty settings file that save() creates.
    explicit IniFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key, std::string_view def) const;
    // Exactly "True" gives true and exactly "False" gives false; anything else, or no key, gives `def`.
    bool readBool(std::string_view section, std::string_view key, bool def) const;
    // The keys of a section with their values, in file order.
    std::vector<std::pair<std::string, std::string>> sectionValues(std::string_view section) const;

    // Writing a value that the key holds already changes nothing. Line breaks in a value become blanks,
    // since a value is one line.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    void eraseKey(std::string_view section, std::string_view key);

    // True when the memory copy differs from what was read or last saved.
    bool modified() const { return modified_; }
    // Puts the memory copy on disk if it was modified. Returns false when that failed (the file on disk
    // is then unchanged and the copy stays modified) or when the file existed but could not be read at
    // load time: a file we could not read is never overwritten.
    bool save();

    // The file's text as save() would write it.
    std::string text() const;

private:
    enum class LineKind { Other, Section, Entry };
    struct Line {
        std::string raw; // the line as it stands in the file, without its line end
        std::string end; // its line end: "\r\n", "\n"; on a last line also "\r" or nothing
        LineKind kind = LineKind::Other;
        std::string name;  // section name or key
        std::string value; // Entry only
    };
    struct Range {
        std::size_t begin; // first line after the section header
        std::size_t end;   // the next section header, or the end of the file
    };

    void parse(std::string_view content);
    Line newLine(std::string raw, LineKind kind, std::string name, std::string value) const;
    std::optional<Range> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(std::string_view section, std::string_view key) const;

    std::filesystem::path path_;
    std::vector<Line> lines_;
    std::string lineEnd_ = "\n"; // for new lines: the file's first line end
    bool byteOrderMark_ = false;
    bool modified_ = false;
    bool unreadable_ = false;
};

} // namespace novrix::platform
