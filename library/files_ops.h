#pragma once
// File-system questions and actions of the script file functions: does a file exist, delete a file.
#include <string>
#include <string_view>

namespace novrix::library {

// True when `name` is an existing file (anything but a folder). A last path component holding '*' or '?'
// is a pattern ('*' any run of characters, '?' one character; a pattern ending in ".*" also matches a
// name without an extension): true when any file in that folder matches. Wildcards elsewhere in the
// path match nothing.
bool fileExists(const std::string& name);

// Whether `name` matches a wildcard pattern as fileExists uses it.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// Deletes the file `name`. Folders are not deleted, and neither is a file that is open for reading here
// or being written by another program (it holds an advisory lock). True when the file was removed.
bool deleteFile(const std::string& name);

} // namespace novrix::library
