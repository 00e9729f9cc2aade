#pragma once
// The conversion and string functions of the script vocabulary as plain functions: taking instrument
// answers apart, text to numbers, numbers to fixed-layout text for instruments and data files.
//
// Texts written for instruments and files always carry a decimal point, whatever the user's locale;
// only the general text of a value (FloatToStr) and the parsing of a text held in a Variant follow the
// locale. None of these functions fails: invalid input gives the documented neutral result.
#include "engine/native_call.h"
#include "engine/runtime/format_settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace novrix::library::convert {

// The n-th field (from 1) of `text` split at every `delimiter`; empty for n < 1 or past the last field.
std::string nthArgument(int32_t n, std::string_view text, char delimiter);

// Val for an Integer, with Val's partial result for invalid text: the digits read before the offending
// character, without the sign ("12 V" is 12, "-5\r\n" is 5, "abc" is 0). "$", "x", "0x" start hex digits;
// up to eight of them are read as a 32-bit pattern ("$FFFFFFFF" is -1). A decimal number beyond the
// Integer range saturates at the nearest bound (invalid text: at 2147483647, being unsigned).
int32_t toIntNumber(std::string_view text);

// Val for a real, with Val's partial result for invalid text: every mantissa digit read so far as one
// whole number, unsigned and unscaled ("1.5 V" is 15). A valid number beyond the double range is an
// infinity of its sign.
double toFloatNumber(std::string_view text);

// The general text of a Variant: strings as they are, integers in decimal, reals by FloatToStr (15
// significant digits, the locale's decimal separator), Booleans "True"/"False", dates by DateTimeToStr.
std::string generalText(const engine::NativeVariant& v, const rt::FormatSettings& locale);

// The real value of a Variant. A string is read with the locale's decimal separator and, failing that,
// with a decimal point (the form these functions write); Empty is 0, True is -1. Nothing for Null and
// for a text that is not a number.
std::optional<double> realValue(const engine::NativeVariant& v, const rt::FormatSettings& locale);

// Fixed-point text with `digits` decimals (0..18; others mean 18), at most 18 significant digits, a
// decimal point and no grouping. More than 18 integer digits give the general form; "INF", "-INF", "NAN".
std::string toFixed(double x, int32_t digits);

// "+1.250E+01": the sign always written, TotalLength - 1 significant digits (2..18), an exponent of at
// least ExponentLength digits (0..3; others mean 0). NaN gives "NAN", infinities "+INF" and "-INF".
std::string toExponential(double x, int32_t totalLength, int32_t exponentLength);

// Cuts everything before the first sign or digit and after the last digit; then "," becomes ".".
std::string stripToNumber(std::string_view text);

// The Modified Julian Date of a TDateTime in fixed form with 12 decimals, computed in extended
// precision. Before 1899-12-30 the fraction still counts forward from the start of the day (-1.25 is
// 1899-12-29 06:00, MJD 15017.25), as everywhere else in TDateTime arithmetic.
std::string toMjd(double dateTime);

std::string toDecimalComma(std::string_view text); // every "." becomes ","
std::string toDecimalPoint(std::string_view text); // every "," becomes "."

// The decimal text of a run of hex digits ("FF" is "255", "7fffffff" is "2147483647"), or "-1" for
// anything else: empty, any prefix, sign or blank, or a value above 7FFFFFFF.
std::string hexToInt(std::string_view hexDigits);

// Deletes the first occurrence of `what` from `text` until none is left, so occurrences that a deletion
// forms go too ("ab" from "aabb" leaves ""). An empty `what` changes nothing.
std::string removeAll(std::string_view what, std::string_view text);

} // namespace novrix::library::convert
