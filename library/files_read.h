#pragma once
// The one text file a script reads, by line or by character. It stays open across runs until a script
// closes it or opens another.
#include "library/files_fd.h"

#include <string>
#include <vector>

namespace novrix::library {

// Lines end at LF or CR LF; a CR not followed by LF is part of the line. A Ctrl-Z (code 26) is the end
// of the file: nothing after it can be read. While the file is open, other programs may read it but not
// write it (a shared advisory lock), and the data-file append refuses it.
//
// Reading when no file is open or when the system reports an error throws rt::ScriptError of class
// EInOutError with the run-time library's text ("I/O error 103" for a file that is not open).
class ScriptReadFile {
public:
    static constexpr char kEndOfFile = 26; // Ctrl-Z

    // Lets go of any file held, then opens `path` from its start. False (and nothing open) when it is
    // missing, unreadable, a folder, or being written by another program.
    bool open(const std::string& path);
    // False when nothing was open or closing failed; either way nothing is open afterwards.
    bool close();
    bool isOpen() const { return static_cast<bool>(fd_); }

    // True at the end of the file or before a Ctrl-Z.
    bool eof();
    // The next character; Ctrl-Z at the end of the file (without moving on).
    char readChar();
    // The next line without its line end, moving past the line end; the empty text at the end.
    std::string readLine();
    // Everything up to the end of the file (or the Ctrl-Z), line ends included.
    std::string readRest();

private:
    // Makes at least one unread byte available; false at the end of the file.
    bool fill();
    void requireOpen() const;

    UniqueFd fd_;
    std::vector<char> buf_;
    size_t pos_ = 0;
    size_t end_ = 0;
};

} // namespace novrix::library
