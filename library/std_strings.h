#pragma once
// The string set of the script vocabulary: Delphi 7's StrUtils routines as plain functions on byte
// strings. Parameter and result types are the Pascal ones (Integer = int32_t, Cardinal = uint32_t,
// Word = uint16_t), so that the script adapters only move values.
//
// Case-insensitive comparisons fold ASCII letters only, as the rest of the run time does (bytes of 128
// and above compare as they are, so UTF-8 text stays intact). Where Delphi and Free Pascal differ, Delphi
// holds: Copy-based routines treat a start below 1 as 1 without shortening the count, AnsiEndsText and
// AnsiEndsStr are False for an empty sub-text, and Soundex keeps the first letter's code as the one to
// skip. Where Delphi reads through a nil string the routine raises "Access violation".
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace novrix::library::strutils {

// --- searching and comparing; the Ansi...Text forms ignore case
bool ansiResemblesText(std::string_view text, std::string_view other); // SoundexProc
bool ansiContainsText(std::string_view text, std::string_view subText);
bool ansiStartsText(std::string_view subText, std::string_view text);
bool ansiEndsText(std::string_view subText, std::string_view text);
std::string ansiReplaceText(std::string_view text, std::string_view fromText, std::string_view toText);
bool ansiMatchText(std::string_view text, std::span<const std::string_view> values);
int32_t ansiIndexText(std::string_view text, std::span<const std::string_view> values); // -1: none

bool ansiContainsStr(std::string_view text, std::string_view subText);
bool ansiStartsStr(std::string_view subText, std::string_view text);
bool ansiEndsStr(std::string_view subText, std::string_view text);
std::string ansiReplaceStr(std::string_view text, std::string_view fromText, std::string_view toText);
bool ansiMatchStr(std::string_view text, std::span<const std::string_view> values);
int32_t ansiIndexStr(std::string_view text, std::span<const std::string_view> values);

// --- building strings
std::string dupeString(std::string_view text, int32_t count);
std::string reverseString(std::string_view text);
// Copy(text, 1, start - 1) + subText + Copy(text, start + length, MaxInt), in Cardinal arithmetic.
std::string stuffString(std::string_view text, uint32_t start, uint32_t length, std::string_view subText);
std::string leftStr(std::string_view text, int32_t count);
std::string rightStr(std::string_view text, int32_t count);
std::string midStr(std::string_view text, int32_t start, int32_t count);

// Delphi's Copy on a string: a start below 1 counts as 1 (the count stays), a count reaching past the
// end stops there, a negative count or a start past the end gives ''.
std::string_view delphiCopy(std::string_view s, int64_t index, int64_t count);

// --- SearchBuf
struct SearchOptions {
    bool down = false;      // soDown: search forward from the end of the selection, else backward
    bool matchCase = false; // soMatchCase
    bool wholeWord = false; // soWholeWord
};
// The offset into `buf` of the match SearchBuf returns a pointer to, or nothing for nil. `buf` holds
// the characters of the PChar; positions past its end read as #0, as the terminator does.
std::optional<int64_t> searchBuf(std::string_view buf, int32_t bufLen, int32_t selStart, int32_t selLength,
                                 std::string_view searchString, SearchOptions options);

// --- Soundex
std::string soundex(std::string_view text, int32_t length);
int32_t soundexInt(std::string_view text, int32_t length);
std::string decodeSoundexInt(int32_t value);
uint16_t soundexWord(std::string_view text);
std::string decodeSoundexWord(uint16_t value);
bool soundexSimilar(std::string_view text, std::string_view other, int32_t length);
int32_t soundexCompare(std::string_view text, std::string_view other, int32_t length); // -1, 0, 1
bool soundexProc(std::string_view text, std::string_view other);                       // length 4

} // namespace novrix::library::strutils
