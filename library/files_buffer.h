#pragma once
// The data-file row buffer: rows of TAB-separated values that a script collects and appends to a text
// file. It lives as long as the host and keeps its rows from one run to the next until a script clears it.
#include <string>
#include <string_view>
#include <vector>

namespace novrix::library {

// What an append came to. Scripts never see it (writing fails silently); tests and logs do.
enum class FileWriteResult {
    Written,     // every row was appended
    NotOpened,   // the file could not be opened or created, not even after creating its folders
    Locked,      // the file is open for reading here, or being written by another program
    WriteFailed, // a write failed (disk full, size limit); the file was put back as it was
};

class FileBuffer {
public:
    void clear() { lines_.clear(); }
    // Adds one value's text to the last row (after a TAB when the row is not empty); the text CR LF
    // starts a new row instead.
    void add(std::string_view text);
    const std::vector<std::string>& lines() const { return lines_; }

    // Appends every row followed by CR LF to `path`, creating the file and its missing folders. An
    // existing file is never emptied. All or nothing: when a write fails, the file is cut back to its
    // former length (a file this call created is removed again). The buffer is left as it is.
    FileWriteResult appendTo(const std::string& path) const;

private:
    std::vector<std::string> lines_;
};

} // namespace novrix::library
