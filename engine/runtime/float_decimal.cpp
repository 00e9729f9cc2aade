#include "engine/runtime/float_decimal.h"

#include <charconv>
#include <cmath>

namespace novrix::rt::detail {

// to_chars prints the exact binary value correctly rounded, and ignores the C library's locale.
void significantDigits(double v, int count, std::string& digits, int& exponent) {
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, count - 1);
    digits.clear();
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.')
            digits += *p;
    exponent = 1;
    if (p < res.ptr) {
        int e = 0;
        std::from_chars(p + (p[1] == '+' ? 2 : 1), res.ptr, e);
        exponent += e;
    }
}

std::string unitDigits(double v) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::fixed, 17);
    std::string digits;
    for (const char* p = buf; p < res.ptr; ++p)
        if (*p != '.')
            digits += *p;
    return digits; // "d" + 17 decimals; v < 10 keeps it at 18 digits
}

bool incrementDigits(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return true;
        }
        digits[i] = '0';
    }
    return false;
}

FloatRec floatToDecimal(double v, int precision, int decimals) {
    FloatRec rec;
    if (std::isnan(v)) {
        rec.kind = FloatRec::Kind::NaN;
        return rec;
    }
    if (std::isinf(v)) {
        rec.kind = FloatRec::Kind::Infinite;
        rec.negative = v < 0;
        return rec;
    }
    if (v == 0)
        return rec; // also -0: Delphi reports zero without a sign

    std::string d;
    int exponent = 0;
    significantDigits(v, kMaxDigits, d, exponent);

    // The first digit that is dropped; Delphi compares the count unsigned, so it is clamped here too.
    const long long cut = static_cast<long long>(exponent) + decimals;
    if (cut < 0)
        return rec;
    size_t keep = static_cast<size_t>(cut);
    if (precision >= 0 && keep > static_cast<size_t>(precision))
        keep = static_cast<size_t>(precision);

    rec.negative = v < 0;
    rec.exponent = exponent;
    if (keep < d.size() && d[keep] >= '5') {
        d.resize(keep);
        if (!incrementDigits(d)) {
            d.assign(1, '1');
            ++rec.exponent;
        }
    } else if (keep < d.size()) {
        d.resize(keep);
    }
    while (!d.empty() && d.back() == '0')
        d.pop_back();
    if (d.empty())
        rec.negative = false;
    rec.digits = d;
    return rec;
}

} // namespace novrix::rt::detail
