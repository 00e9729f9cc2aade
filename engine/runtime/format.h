#pragma once
// SysUtils.Format: %d %u %x %s %f %e %g %n %m and %%, with "%<index>:", '-', width, '.precision' and '*'.
#include "engine/runtime/format_settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace novrix::rt {

// One element of the "array of const". Integer holds a 32-bit value in `i`; Char holds its byte in `s`.
struct FormatArg {
    enum class Kind { Integer, Int64, Real, String, Char, Boolean };
    Kind kind = Kind::Integer;
    int64_t i = 0;
    double d = 0;
    std::string s;

    static FormatArg integer(int32_t v) { return {Kind::Integer, v, 0, {}}; }
    static FormatArg int64(int64_t v) { return {Kind::Int64, v, 0, {}}; }
    static FormatArg real(double v) { return {Kind::Real, 0, v, {}}; }
    static FormatArg string(std::string v) { return {Kind::String, 0, 0, std::move(v)}; }
    static FormatArg character(char c) { return {Kind::Char, 0, 0, std::string(1, c)}; }
    static FormatArg boolean(bool b) { return {Kind::Boolean, b ? 1 : 0, 0, {}}; }
};

// Follows Delphi 7 to the letter:
//  - %d/%u/%x take Integer or Int64 (%u and %x of an Integer use its 32 bits); precision = minimum digits.
//  - %s takes String or Char; precision = maximum characters.
//  - %f %n %m: precision = decimals (0..18; default 2, CurrencyDecimals for %m), 18 significant digits,
//    so Format('%.18f', [0.1]) is "0.100000000000000006" and a larger precision falls back to the default.
//  - %e %g: precision = significant digits (2..18, default 15); exponent of at least 3 digits for %e.
//  - '*' takes the width or precision from an Integer argument (any other argument gives 0).
//  - A Boolean argument fits no conversion (Delphi does not format Booleans).
// Errors raise EConvertError with Delphi's texts: "Format '%d' invalid or incompatible with argument" and
// "No argument for format '%d'" (the specifier, cut to 31 characters). A format ending inside a specifier
// stops the output there, silently. A width beyond 16M characters raises EOutOfMemory instead of padding.
std::string format(std::string_view fmt, const std::vector<FormatArg>& args, const FormatSettings& fs);

} // namespace novrix::rt
