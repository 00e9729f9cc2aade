#pragma once
// String routines of SysUtils. Strings are byte strings; case mapping is ASCII only, as Delphi's
// UpperCase/LowerCase/CompareText (bytes of 128 and above are left alone, so UTF-8 text stays intact).
#include <string>
#include <string_view>

namespace novrix::rt {

std::string upperCase(std::string_view s);
std::string lowerCase(std::string_view s);

// Remove leading/trailing bytes <= ' ' (spaces and control characters).
std::string trim(std::string_view s);
std::string trimLeft(std::string_view s);
std::string trimRight(std::string_view s);

// Difference of the first differing bytes (unsigned), else of the lengths: CompareStr('a','c') = -2.
int compareStr(std::string_view a, std::string_view b);
// The same after mapping 'a'..'z' to upper case.
int compareText(std::string_view a, std::string_view b);
bool sameText(std::string_view a, std::string_view b);

std::string quotedStr(std::string_view s); // 'it''s'

// rfReplaceAll / rfIgnoreCase; an empty pattern replaces nothing.
std::string stringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          bool replaceAll, bool ignoreCase);

// BoolToStr(True) = '-1', BoolToStr(False) = '0'; with useBoolStrs 'True' / 'False'.
std::string boolToStr(bool b, bool useBoolStrs = false);

} // namespace novrix::rt
