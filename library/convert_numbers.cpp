// Text to numbers: Val's rules, including the partial results that scripts get for instrument answers
// that were not cleaned first.
#include "engine/runtime/float_parse.h"
#include "engine/runtime/int_text.h"
#include "engine/runtime/script_error.h"
#include "library/convert.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace novrix::library::convert {
namespace {

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Val reads its argument as a C string: it ends at the first NUL.
std::string_view asCString(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

// A decimal number whose digits leave the Integer range. Val gives up at the digit that overflows and
// returns the value so far (or wraps it); a saturated value is what a measurement script can live with.
std::optional<int32_t> saturatedDecimal(std::string_view text) {
    const std::string_view s = asCString(text);
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    const uint64_t kBeyond = uint64_t(1) << 32;
    uint64_t value = 0;
    const size_t firstDigit = i;
    for (; i < s.size() && isDigit(s[i]); ++i)
        value = std::min(kBeyond, value * 10 + uint64_t(s[i] - '0'));
    if (i == firstDigit)
        return std::nullopt;
    const bool valid = i == s.size();
    const uint64_t limit = valid && negative ? uint64_t(kIntMax) + 1 : uint64_t(kIntMax);
    if (value <= limit)
        return std::nullopt;
    if (!valid)
        return kIntMax; // a partial result has no sign
    return negative ? kIntMin : kIntMax;
}

} // namespace

int32_t toIntNumber(std::string_view text) {
    int64_t value = 0;
    int code = 0;
    rt::valInt(text, value, code);
    if (code == 0)
        return static_cast<int32_t>(value);
    if (const auto saturated = saturatedDecimal(text))
        return *saturated;
    return static_cast<int32_t>(value);
}

double toFloatNumber(std::string_view text) {
    double value = 0;
    int code = 0;
    try {
        rt::valReal(text, value, code);
    } catch (const rt::ScriptError&) {
        // Only a valid number too large for a double gets here.
        const std::string_view s = asCString(text);
        const size_t first = s.find_first_not_of(' ');
        const bool negative = first != std::string_view::npos && s[first] == '-';
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return value;
}

std::string hexToInt(std::string_view hexDigits) {
    if (hexDigits.empty())
        return "-1";
    for (char c : hexDigits)
        if (!isHexDigit(c))
            return "-1";
    int64_t value = 0;
    int code = 0;
    rt::valInt("$" + std::string(hexDigits), value, code);
    // Nine significant digits stop Val (code != 0); eight above 7FFFFFFF come back negative.
    if (code != 0 || value < 0)
        return "-1";
    return rt::intToStr(value);
}

} // namespace novrix::library::convert
