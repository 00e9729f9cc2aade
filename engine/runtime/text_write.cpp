#include "engine/runtime/text_write.h"

#include "engine/runtime/float_decimal.h"

#include <cmath>

namespace novrix::rt {
namespace {

constexpr int kMaxWidth = 255;    // Delphi's Str works in a short string
constexpr int kMaxDecimals = 216; // its digit buffer (256) less room for the integer part
constexpr int kDefaultWidth = 23;

std::string padLeft(std::string s, int width) {
    if (width > static_cast<int>(s.size()))
        s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
    return s;
}

// Delphi's _EmitDigits: `count` digits from an 18-digit string, rounded half up at the first dropped
// digit, behind a carry slot. Returns the slot plus the digits.
std::string emitDigits(const std::string& digits18, int count) {
    std::string buf = "0";
    if (count >= detail::kMaxDigits) {
        buf += digits18;
        buf.append(static_cast<size_t>(count - detail::kMaxDigits), '0');
        return buf;
    }
    buf.append(digits18, 0, static_cast<size_t>(count));
    if (digits18[static_cast<size_t>(count)] >= '5')
        detail::incrementDigits(buf);
    return buf;
}

std::string specialValue(double v, int width) {
    if (std::isnan(v))
        return padLeft("Nan", width);
    return padLeft(v < 0 ? "-Inf" : "+Inf", width);
}

std::string scientific(double v, int width) {
    int count = width - 8;
    if (count < 2)
        count = 2;
    if (count > detail::kMaxDigits)
        count = detail::kMaxDigits;

    std::string digits(detail::kMaxDigits, '0');
    int exponent = 0; // of the first digit
    if (v != 0) {
        detail::significantDigits(v, detail::kMaxDigits, digits, exponent);
        --exponent;
    }
    std::string buf = emitDigits(digits, count);
    size_t first = 1;
    if (buf[0] != '0') { // rounding carried into a new leading digit
        first = 0;
        ++exponent;
    }
    std::string out;
    const int blanks = width - count - 8;
    if (blanks > 0)
        out.append(static_cast<size_t>(blanks), ' ');
    out += std::signbit(v) ? '-' : ' ';
    out += buf[first];
    out += '.';
    out.append(buf, first + 1, static_cast<size_t>(count - 1));
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    const int e = exponent < 0 ? -exponent : exponent;
    out += static_cast<char>('0' + e / 1000 % 10);
    out += static_cast<char>('0' + e / 100 % 10);
    out += static_cast<char>('0' + e / 10 % 10);
    out += static_cast<char>('0' + e % 10);
    return out;
}

std::string fixed(double v, int width, int decimals) {
    if (decimals > kMaxDecimals)
        decimals = kMaxDecimals;
    const double a = std::fabs(v);
    std::string digits;
    int intDigits = 1;
    if (a < 10) {
        digits = detail::unitDigits(a); // Delphi does not scale small values: 17 decimals at most
    } else {
        int exponent = 0;
        detail::significantDigits(a, detail::kMaxDigits, digits, exponent);
        if (exponent - 1 > 35)
            return scientific(v, width);
        intDigits = exponent;
    }
    std::string buf = emitDigits(digits, intDigits + decimals);
    size_t first = 1;
    if (buf[0] != '0') {
        first = 0;
        ++intDigits;
    }
    const bool negative = std::signbit(v);
    std::string out;
    const int numWidth = (negative ? 1 : 0) + intDigits + (decimals > 0 ? decimals + 1 : 0);
    if (width > numWidth)
        out.append(static_cast<size_t>(width - numWidth), ' ');
    if (negative)
        out += '-';
    out.append(buf, first, static_cast<size_t>(intDigits));
    if (decimals > 0) {
        out += '.';
        out.append(buf, first + static_cast<size_t>(intDigits), static_cast<size_t>(decimals));
    }
    return out;
}

} // namespace

std::string writeReal(double v) {
    return writeReal(v, kDefaultWidth);
}

std::string writeReal(double v, int width) {
    if (width > kMaxWidth)
        width = kMaxWidth;
    if (!std::isfinite(v))
        return specialValue(v, width);
    return scientific(v, width);
}

std::string writeReal(double v, int width, int decimals) {
    if (width > kMaxWidth)
        width = kMaxWidth;
    if (!std::isfinite(v))
        return specialValue(v, width);
    return decimals < 0 ? scientific(v, width) : fixed(v, width, decimals);
}

std::string writeInt(int64_t v, int width) {
    return padLeft(std::to_string(v), width);
}

std::string writeStr(std::string_view s, int width) {
    return padLeft(std::string(s), width);
}

std::string writeBool(bool b, int width) {
    return padLeft(b ? "TRUE" : "FALSE", width);
}

} // namespace novrix::rt
