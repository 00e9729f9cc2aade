#include "engine/runtime/float_parse.h"

#include "engine/runtime/script_error.h"

#include <charconv>
#include <string>

namespace novrix::rt {
namespace {

// Digits and a power of ten, turned into a double by from_chars (correctly rounded, and deaf to the
// C library's locale, which may want a decimal comma).
class DecimalNumber {
public:
    void digit(char c) { mantissa_ += c; }
    void fractionDigit(char c) {
        mantissa_ += c;
        --scale_;
    }
    void setExponent(long e) { exponent_ = e; }
    void setNegative(bool n) { negative_ = n; }

    // Delphi computes in Extended; what does not fit there is an error, what fits there but not in a
    // double overflows when stored.
    bool fitsExtended() const {
        long double x = 0;
        const std::string t = text();
        const auto res = std::from_chars(t.data(), t.data() + t.size(), x);
        return res.ec != std::errc::result_out_of_range || !isOverflow();
    }
    double value() const {
        double d = 0;
        const std::string t = text();
        const auto res = std::from_chars(t.data(), t.data() + t.size(), d);
        if (res.ec == std::errc::result_out_of_range) {
            if (isOverflow())
                throw ScriptError(ExcClass::EOverflow, "Floating point overflow");
            return negative_ ? -0.0 : 0.0; // underflow
        }
        return d;
    }
    double mantissaOnly() const {
        double d = 0;
        const std::string m = mantissa_.empty() ? "0" : mantissa_;
        std::from_chars(m.data(), m.data() + m.size(), d);
        return d;
    }

private:
    std::string text() const {
        return (negative_ ? "-" : "") + (mantissa_.empty() ? std::string("0") : mantissa_) + "e" +
               std::to_string(exponent_ + scale_);
    }
    // from_chars reports both overflow and underflow as out of range; the magnitude tells them apart.
    bool isOverflow() const {
        const size_t first = mantissa_.find_first_not_of('0');
        if (first == std::string::npos)
            return false;
        const long magnitude = static_cast<long>(mantissa_.size() - first) + exponent_ + scale_;
        return magnitude > 0;
    }
    std::string mantissa_;
    long scale_ = 0;
    long exponent_ = 0;
    bool negative_ = false;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Delphi's TextToFloat, including its leniencies.
bool textToFloat(std::string_view s, char decimalSep, DecimalNumber& num) {
    s = s.substr(0, s.find('\0'));
    auto at = [&](size_t i) { return i < s.size() ? s[i] : '\0'; };
    size_t i = 0;
    while (at(i) == ' ')
        ++i;
    if (at(i) == '+' || at(i) == '-')
        num.setNegative(at(i++) == '-');
    const size_t start = i;
    for (; isDigit(at(i)); ++i)
        num.digit(at(i));
    if (at(i) == decimalSep && decimalSep != '\0') {
        ++i;
        for (; isDigit(at(i)); ++i)
            num.fractionDigit(at(i));
    }
    if (i == start)
        return false;
    if (at(i) == 'E' || at(i) == 'e') {
        ++i;
        const bool negExp = at(i) == '-';
        if (at(i) == '+' || at(i) == '-')
            ++i;
        long e = 0;
        // Stops once the exponent reaches 500; further digits are then left over and rejected.
        while (isDigit(at(i)) && e < 500)
            e = e * 10 + (at(i++) - '0');
        num.setExponent(negExp ? -e : e);
    }
    while (at(i) == ' ')
        ++i;
    return at(i) == '\0' && num.fitsExtended();
}

[[noreturn]] void notAFloat(std::string_view s) {
    throw ScriptError(ExcClass::EConvertError,
                      "'" + std::string(s) + "' is not a valid floating point value");
}

} // namespace

bool tryStrToFloat(std::string_view s, double& out, const FormatSettings& fs) {
    DecimalNumber num;
    if (!textToFloat(s, fs.decimalSeparator, num))
        return false;
    out = num.value();
    return true;
}

double strToFloat(std::string_view s, const FormatSettings& fs) {
    double v = 0;
    if (!tryStrToFloat(s, v, fs))
        notAFloat(s);
    return v;
}

double strToFloatDef(std::string_view s, double def, const FormatSettings& fs) {
    DecimalNumber num;
    if (!textToFloat(s, fs.decimalSeparator, num))
        return def;
    return num.value();
}

void valReal(std::string_view s, double& v, int& code) {
    DecimalNumber num;
    v = 0;
    if (s.empty()) {
        code = 1;
        return;
    }
    const std::string_view text = s.substr(0, s.find('\0'));
    auto at = [&](size_t i) { return i < text.size() ? text[i] : '\0'; };
    size_t i = 0; // index of the next character; after reading one, i is its 1-based position
    auto fail = [&] {
        code = static_cast<int>(i);
        v = num.mantissaOnly();
    };
    char c;
    do
        c = at(i++);
    while (c == ' ');
    if (c == '-' || c == '+') {
        num.setNegative(c == '-');
        c = at(i++);
    }
    if (c == '\0')
        return fail();
    for (; isDigit(c); c = at(i++))
        num.digit(c);
    if (c == '.') {
        c = at(i++);
        for (; isDigit(c); c = at(i++))
            num.fractionDigit(c);
    }
    if (c != '\0') {
        if (c != 'E' && c != 'e')
            return fail();
        c = at(i++);
        const bool negExp = c == '-';
        if (c == '-' || c == '+')
            c = at(i++);
        if (!isDigit(c))
            return fail();
        long e = 0;
        for (; isDigit(c); c = at(i++))
            if (e < 100000)
                e = e * 10 + (c - '0');
        if (c != '\0')
            return fail();
        num.setExponent(negExp ? -e : e);
    }
    v = num.value();
    code = 0;
}

} // namespace novrix::rt
