// Numbers to fixed-layout text for instruments and data files: fixed point, exponential, MJD. Always a
// decimal point: the text is formatted with it directly rather than with the locale's separator and a
// replacement afterwards, which gives the same text for "," and "." locales and a point for all others.
#include "engine/runtime/float_decimal.h"
#include "engine/runtime/float_text.h"
#include "library/convert.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace novrix::library::convert {
namespace {

constexpr int kMaxDigits = rt::detail::kMaxDigits; // significant digits of every real-to-text conversion
constexpr long double kMjdOfDayZero = 15018;       // 1899-12-30 is MJD 15018

const rt::FormatSettings& pointSettings() {
    static const rt::FormatSettings fs = rt::FormatSettings::invariant();
    return fs;
}

// The decimal digits of |v| with the number of them before the point, as FloatToStrF's fixed format
// rounds them (half away from zero, first to 18 significant digits, then to `decimals` places).
class FixedDigits {
public:
    FixedDigits(long double v, int decimals) {
        char buf[160];
        // Exact for every |v| >= 2^-80 below 1E18; that covers every MJD.
        const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::fixed, 80);
        const std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
        const size_t point = text.find('.');
        intLen_ = point;
        digits_ = std::string(text.substr(0, point)) + std::string(text.substr(point + 1));
        roundTo(firstSignificant() + kMaxDigits);
        roundTo(std::min(intLen_ + static_cast<size_t>(decimals), firstSignificant() + kMaxDigits));
        digits_.resize(intLen_ + static_cast<size_t>(decimals), '0');
    }

    bool isZero() const { return digits_.find_first_not_of('0') == std::string::npos; }
    size_t integerDigits() const {
        return std::max<size_t>(1, intLen_ - std::min(intLen_, firstSignificant()));
    }

    std::string text(bool negative) const {
        std::string out = negative && !isZero() ? "-" : "";
        out += digits_.substr(intLen_ - integerDigits(), integerDigits());
        if (digits_.size() > intLen_)
            out += "." + digits_.substr(intLen_);
        return out;
    }

private:
    // The index of the first digit that is not 0 (the count of leading zeros).
    size_t firstSignificant() const { return std::min(digits_.find_first_not_of('0'), digits_.size()); }

    void roundTo(size_t keep) {
        if (keep >= digits_.size())
            return;
        const bool up = digits_[keep] >= '5';
        digits_.resize(keep);
        if (up && !rt::detail::incrementDigits(digits_)) {
            digits_.insert(digits_.begin(), '1');
            ++intLen_;
        }
    }

    std::string digits_; // integer digits, then fraction digits
    size_t intLen_ = 0;
};

// The fixed format of a long double, for results that a double would round visibly.
std::string fixedText(long double v, int decimals) {
    if (std::isfinite(v) && std::fabs(v) < 1e18L) {
        const FixedDigits digits(v, decimals);
        if (digits.integerDigits() <= static_cast<size_t>(kMaxDigits))
            return digits.text(v < 0);
    }
    return toFixed(static_cast<double>(v), decimals);
}

} // namespace

std::string toFixed(double x, int32_t digits) {
    const int decimals = digits < 0 || digits > kMaxDigits ? kMaxDigits : digits;
    return rt::floatToStrF(x, rt::FloatFormat::Fixed, kMaxDigits, decimals, pointSettings());
}

std::string toExponential(double x, int32_t totalLength, int32_t exponentLength) {
    const int precision = static_cast<int>(std::clamp<int64_t>(int64_t(totalLength) - 1, 2, kMaxDigits));
    const int exponentDigits = exponentLength >= 0 && exponentLength <= 3 ? exponentLength : 0;
    std::string text =
        rt::floatToStrF(x, rt::FloatFormat::Exponent, precision, exponentDigits, pointSettings());
    // Zero (also -0) counts as positive; a NaN has no sign to show.
    if (!(x < 0) && !std::isnan(x))
        text.insert(text.begin(), '+');
    return text;
}

std::string toMjd(double dateTime) {
    if (!std::isfinite(dateTime))
        return toFixed(dateTime, 12);
    // The date of a TDateTime is its integer part and the time of day the size of its fraction, also
    // before 1899-12-30. An MJD needs up to 22 bits before the point, so a double would round a time
    // of day already near the twelfth decimal; long double keeps 42 bits after it.
    const long double day = std::trunc(static_cast<long double>(dateTime));
    const long double timeOfDay = std::fabs(static_cast<long double>(dateTime) - day);
    return fixedText(day + kMjdOfDayZero + timeOfDay, 12);
}

} // namespace novrix::library::convert
