#pragma once
// The script's file functions (NOVRIX_File*): a row buffer appended to text data files, one text file
// read by line or character, and testing for, deleting and opening files. None of them stops a script on
// an ordinary file problem: writing fails silently, opening and closing answer a Boolean; only
// NOVRIX_FileReadEof and NOVRIX_FileRead raise a run-time error (EInOutError), when no file is open or
// reading fails.
#include "engine/runtime/format_settings.h"
#include "library/files_buffer.h"
#include "library/files_read.h"
#include "library/named_native.h"

#include <string>
#include <vector>

namespace novrix::library {

// What the file functions keep for the life of the host, across runs.
struct FileState {
    FileBuffer buffer;       // the rows collected by NOVRIX_FileAddToBuffer
    ScriptReadFile readFile; // the one file open for reading
    // Dates added to the buffer are written in this locale; the host may hand over its own.
    rt::FormatSettings locale = rt::FormatSettings::fromLocale();
    // The program that opens documents and addresses for NOVRIX_FileExecute (found on PATH).
    std::string documentOpener = "xdg-open";
};

// The twelve NOVRIX_File* functions, named as declared, in registration order.
std::vector<NamedNative> fileBindings(FileState& state);

} // namespace novrix::library
