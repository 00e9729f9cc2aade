#pragma once
// Integer <-> text routines of SysUtils and System (IntToStr, IntToHex, StrToInt, Val).
// Delphi has an Integer (32-bit) and an Int64 flavour of most of them; they differ in range and in what
// they accept, so both are here and the caller picks by the static type, as Delphi's overloads do.
#include <cstdint>
#include <string>
#include <string_view>

namespace novrix::rt {

std::string intToStr(int64_t v);

// IntToHex: upper-case digits, zero-padded to `digits` (a count outside 0..32 means no padding).
// Negative values print their two's complement: 16 digits for Int64, 8 for the Integer overload.
std::string intToHex(int64_t v, int digits);
std::string intToHex32(int32_t v, int digits);

// Val for an Integer variable (Delphi's _ValLong): leading blanks, an optional sign, decimal digits, or
// '$', 'x', '0x' and hex digits (no sign before hex); nothing may follow. `code` is 0 on success, else
// the 1-based position of the offending character (length+1 when the value is out of range at the end).
// On failure `v` holds what was read so far, as in Delphi.
void valInt(std::string_view s, int64_t& v, int& code);
// Val for an Int64 variable (Delphi's _ValInt64): the same syntax, 64-bit range, a sign may precede hex.
void valInt64(std::string_view s, int64_t& v, int& code);

// StrToInt and friends raise EConvertError "'abc' is not a valid integer value".
int64_t strToInt(std::string_view s); // Integer range; '$FFFFFFFF' is -1
int64_t strToIntDef(std::string_view s, int64_t def);
bool tryStrToInt(std::string_view s, int64_t& out);
int64_t strToInt64(std::string_view s);
int64_t strToInt64Def(std::string_view s, int64_t def);
bool tryStrToInt64(std::string_view s, int64_t& out);

} // namespace novrix::rt
