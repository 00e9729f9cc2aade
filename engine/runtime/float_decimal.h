#pragma once
// Decimal digits of a double, the raw material of every real-to-text routine.
// Delphi works on 80-bit Extended values and takes 18 significant digits; a double widens to Extended
// exactly, so taking 18 correctly rounded digits of the double's exact value gives Delphi's digits
// (Delphi scales with inexact powers of ten, so it can differ in the 18th digit; we do not copy that).
#include <string>

namespace novrix::rt::detail {

inline constexpr int kMaxDigits = 18;

// `count` significant digits of |v| (v finite, non-zero), correctly rounded: |v| ~ 0.d1d2.. * 10^exponent.
void significantDigits(double v, int count, std::string& digits, int& exponent);

// The 18 digits of |v| for v < 10 at the places 10^0 .. 10^-17 (so the first digit may be '0').
std::string unitDigits(double v);

// Adds one to the last digit of `digits`, carrying leftwards. Returns false when the carry runs off the
// front (the digits were all nines and are now all zeros).
bool incrementDigits(std::string& digits);

// Delphi's TFloatRec: value = 0.<digits> * 10^exponent, no trailing zeros, digits empty for zero.
struct FloatRec {
    enum class Kind { Finite, Infinite, NaN };
    Kind kind = Kind::Finite;
    bool negative = false;
    int exponent = 0;
    std::string digits;
};

// FloatToDecimal: rounds half away from zero to `precision` significant digits and to at most
// `decimals` places after the point. A result that rounds to zero loses its sign, as in Delphi.
FloatRec floatToDecimal(double v, int precision, int decimals);

} // namespace novrix::rt::detail
