#include "engine/runtime/float_text.h"

#include "engine/runtime/float_decimal.h"
#include "engine/runtime/script_error.h"

#include <algorithm>
#include <cmath>

namespace novrix::rt {
namespace {

using detail::FloatRec;

// Reads a FloatRec's digits; past the end it yields '0' (Delphi's GetDigit).
class DigitReader {
public:
    explicit DigitReader(const std::string& digits) : digits_(digits) {}
    char next() { return pos_ < digits_.size() ? digits_[pos_++] : '0'; }
    bool atEnd() const { return pos_ >= digits_.size(); }
    char take() { return digits_[pos_++]; }

private:
    const std::string& digits_;
    size_t pos_ = 0;
};

// 'E', sign, at least `minDigits` exponent digits. A zero value always shows exponent 0.
void putExponent(std::string& out, char letter, char plusSign, bool nonZero, int minDigits, int exponent) {
    out += letter;
    if (!nonZero)
        exponent = 0;
    if (exponent < 0) {
        out += '-';
        exponent = -exponent;
    } else if (plusSign) {
        out += plusSign;
    }
    std::string digits;
    do {
        digits += static_cast<char>('0' + exponent % 10);
        exponent /= 10;
        --minDigits;
    } while (exponent != 0 || minDigits > 0);
    out.append(digits.rbegin(), digits.rend());
}

int exponentDigits(int digits) {
    return digits >= 0 && digits <= 4 ? digits : 0;
}

void putGeneral(std::string& out, const FloatRec& rec, int precision, int digits, char decimalSep) {
    if (rec.negative)
        out += '-';
    const std::string& d = rec.digits;
    const int e = rec.exponent;
    if (e > precision || e < -3) {
        out += d.empty() ? '0' : d[0];
        if (d.size() > 1) {
            out += decimalSep;
            out.append(d, 1);
        }
        putExponent(out, 'E', 0, !d.empty(), exponentDigits(digits), e - 1);
    } else if (e <= 0) {
        out += '0';
        if (!d.empty()) {
            out += decimalSep;
            out.append(static_cast<size_t>(-e), '0');
            out += d;
        }
    } else {
        for (int i = 0; i < e; ++i)
            out += i < static_cast<int>(d.size()) ? d[i] : '0';
        if (static_cast<int>(d.size()) > e) {
            out += decimalSep;
            out.append(d, static_cast<size_t>(e));
        }
    }
}

void putExponentFormat(std::string& out, const FloatRec& rec, int precision, int digits, char decimalSep) {
    if (rec.negative)
        out += '-';
    DigitReader r(rec.digits);
    out += r.next();
    out += decimalSep;
    for (int i = 1; i < precision; ++i)
        out += r.next();
    putExponent(out, 'E', '+', !rec.digits.empty(), exponentDigits(digits), rec.exponent - 1);
}

// Integer part (grouped for Number and Currency), then `decimals` places.
void putNumber(std::string& out, const FloatRec& rec, int decimals, bool grouped, const FormatSettings& fs) {
    DigitReader r(rec.digits);
    int places = decimals < 0 || decimals >= 18 ? 18 : decimals;
    int intDigits = rec.exponent;
    if (intDigits <= 0) {
        out += '0';
    } else {
        int group = grouped ? (intDigits - 1) % 3 + 1 : -1;
        for (;;) {
            out += r.next();
            if (--intDigits == 0)
                break;
            if (--group == 0 && fs.thousandSeparator) {
                out += fs.thousandSeparator;
                group = 3;
            }
        }
    }
    if (places == 0)
        return;
    if (fs.decimalSeparator)
        out += fs.decimalSeparator;
    for (; intDigits != 0; ++intDigits) { // leading zeros of a value below 0.1
        out += '0';
        if (--places == 0)
            return;
    }
    while (places-- > 0)
        out += r.next();
}

void putCurrency(std::string& out, const FloatRec& rec, int decimals, const FormatSettings& fs) {
    // '$' the currency string, '*' the number, '@' the end (Delphi's table, positive formats first).
    static constexpr const char* kMoneyFormats[20] = {
        "$*@@@", "*$@@@", "$ *@@", "* $@@", "($*)@", "-$*@@", "$-*@@", "$*-@@", "(*$)@", "-*$@@",
        "*-$@@", "*$-@@", "-* $@", "-$ *@", "* $-@", "$ *-@", "$ -*@", "*- $@", "($ *)", "(* $)"};
    const unsigned format =
        rec.negative ? static_cast<unsigned>(fs.negCurrFormat) : static_cast<unsigned>(fs.currencyFormat);
    const unsigned index = rec.negative ? std::min(format, 15u) + 4 : std::min(format, 3u);
    for (const char* p = kMoneyFormats[index]; *p && *p != '@'; ++p) {
        if (*p == '$')
            out += fs.currencyString;
        else if (*p == '*')
            putNumber(out, rec, decimals, true, fs);
        else
            out += *p;
    }
}

// ---- FormatFloat ----------------------------------------------------------------------------------

class FormatFloatWriter {
public:
    FormatFloatWriter(std::string_view format, const FormatSettings& fs) : fmt_(format), fs_(fs) {}

    std::string run(double v) {
        bool empty = false;
        size_t section = findSection(std::signbit(v) ? 1 : (v == 0 ? 2 : 0), empty);
        if (empty)
            return general(v);
        scanSection(section);
        const int precision = scientific_ ? digitCount_ : 18;
        const int decimals = scientific_ ? 9999 : digitCount_ - decimalIndex_;
        const FloatRec rec = detail::floatToDecimal(v, precision, decimals);
        if (rec.kind != FloatRec::Kind::Finite || (rec.exponent > 18 && !scientific_))
            return general(v);
        if (rec.digits.empty()) {
            // A value that rounds to zero takes the third section, or else the first.
            const size_t zero = findSection(2, empty);
            if (empty)
                return general(v);
            if (zero != section) {
                section = zero;
                scanSection(section);
            }
        }
        return apply(section, rec);
    }

private:
    char at(size_t i) const { return i < fmt_.size() ? fmt_[i] : '\0'; }
    std::string general(double v) const { return floatToStrF(v, FloatFormat::General, 15, 0, fs_); }

    // Start of section `index`; a missing or empty section means the first one. `empty` when that is empty.
    size_t findSection(int index, bool& empty) const {
        if (index > 0) {
            size_t i = 0;
            int remaining = index;
            bool found = false;
            for (;;) {
                char c = at(i++);
                if (c == '\'' || c == '"') {
                    const char quote = c;
                    do
                        c = at(i++);
                    while (c != quote && c != '\0');
                    if (c == '\0')
                        break;
                    continue;
                }
                if (c == '\0')
                    break;
                if (c == ';' && --remaining == 0) {
                    found = true;
                    break;
                }
            }
            if (found && at(i) != '\0' && at(i) != ';') {
                empty = false;
                return i;
            }
        }
        empty = at(0) == '\0' || at(0) == ';';
        return 0;
    }

    void scanSection(size_t start) {
        int firstZero = 32767, afterLastZero = 0, count = 0;
        decimalIndex_ = -1;
        thousandSep_ = scientific_ = false;
        size_t i = start;
        char c = at(i++);
        for (;;) {
            if (c == '#') {
                ++count;
            } else if (c == '0') {
                firstZero = std::min(firstZero, count);
                afterLastZero = ++count;
            } else if (c == '.') {
                if (decimalIndex_ == -1)
                    decimalIndex_ = count;
            } else if (c == ',') {
                thousandSep_ = true;
            } else if (c == '\'' || c == '"') {
                const char quote = c;
                do
                    c = at(i++);
                while (c != quote && c != '\0');
                if (c == '\0')
                    break;
            } else if (c == 'E' || c == 'e') {
                c = at(i++);
                if (c == '+' || c == '-') {
                    scientific_ = true;
                    do
                        c = at(i++);
                    while (c == '0');
                }
                continue; // look at the character after the exponent as usual
            } else if (c == ';' || c == '\0') {
                break;
            }
            c = at(i++);
        }
        digitCount_ = count;
        if (decimalIndex_ == -1)
            decimalIndex_ = count;
        lastDigit_ = std::min(decimalIndex_ - afterLastZero, 0);
        firstDigit_ = std::max(decimalIndex_ - firstZero, 0);
    }

    std::string apply(size_t section, const FloatRec& rec) {
        out_.clear();
        digits_ = &rec.digits;
        digitPos_ = 0;
        if (scientific_) {
            digitPlace_ = decimalIndex_;
            digitDelta_ = 0;
        } else {
            digitPlace_ = std::max(rec.exponent, decimalIndex_);
            digitDelta_ = rec.exponent - decimalIndex_;
        }
        // Only the first section gets a minus sign; the others carry their own.
        if (rec.negative && section == 0)
            out_ += '-';
        size_t i = section;
        for (;;) {
            const char c = at(i++);
            if (c == '#' || c == '0') {
                putFormatDigit();
            } else if (c == '.' || c == ',') {
                continue;
            } else if (c == '\'' || c == '"') {
                for (char q = at(i++); q != c; q = at(i++)) {
                    if (q == '\0')
                        return out_;
                    out_ += q;
                }
            } else if ((c == 'E' || c == 'e') && (at(i) == '+' || at(i) == '-')) {
                const char plus = at(i) == '+' ? '+' : 0;
                int zeros = 0;
                while (at(++i) == '0')
                    ++zeros;
                putExponent(out_, c, plus, !rec.digits.empty(), std::min(zeros, 4),
                            rec.exponent - decimalIndex_);
            } else if (c == ';' || c == '\0') {
                return out_;
            } else {
                out_ += c;
            }
        }
    }

    void putFormatDigit() {
        if (digitDelta_ == 0) {
            nextDigit();
        } else if (digitDelta_ > 0) {
            // The first placeholder takes all integer digits that have no placeholder of their own.
            while (digitDelta_ > 0) {
                nextDigit();
                --digitDelta_;
            }
            nextDigit();
        } else {
            ++digitDelta_;
            if (digitPlace_ <= firstDigit_)
                emitDigit('0');
            else
                --digitPlace_;
        }
    }

    void nextDigit() {
        if (digitPos_ < digits_->size()) {
            emitDigit((*digits_)[digitPos_++]);
        } else if (digitPlace_ <= lastDigit_) {
            --digitPlace_;
        } else {
            emitDigit('0');
        }
    }

    void emitDigit(char d) {
        if (digitPlace_ == 0) {
            out_ += fs_.decimalSeparator;
            out_ += d;
        } else {
            out_ += d;
            if (thousandSep_ && digitPlace_ > 1 && digitPlace_ % 3 == 1 && fs_.thousandSeparator)
                out_ += fs_.thousandSeparator;
        }
        --digitPlace_;
    }

    std::string_view fmt_;
    const FormatSettings& fs_;
    int digitCount_ = 0, decimalIndex_ = 0, firstDigit_ = 0, lastDigit_ = 0;
    bool thousandSep_ = false, scientific_ = false;
    std::string out_;
    const std::string* digits_ = nullptr;
    size_t digitPos_ = 0;
    int digitPlace_ = 0, digitDelta_ = 0;
};

} // namespace

std::string floatToStrF(double v, FloatFormat format, int precision, int digits, const FormatSettings& fs) {
    precision = std::clamp(precision, 2, detail::kMaxDigits);
    const int decimals = format >= FloatFormat::Fixed ? digits : 9999;
    const FloatRec rec = detail::floatToDecimal(v, precision, decimals);
    std::string out;
    if (rec.kind != FloatRec::Kind::Finite) {
        if (rec.negative)
            out += '-';
        out += rec.kind == FloatRec::Kind::Infinite ? "INF" : "NAN";
        return out;
    }
    if (format != FloatFormat::Exponent && rec.exponent > precision)
        format = FloatFormat::General;
    switch (format) {
    case FloatFormat::General:
        putGeneral(out, rec, precision, digits, fs.decimalSeparator);
        break;
    case FloatFormat::Exponent:
        putExponentFormat(out, rec, precision, digits, fs.decimalSeparator);
        break;
    case FloatFormat::Fixed:
    case FloatFormat::Number:
        if (rec.negative)
            out += '-';
        putNumber(out, rec, digits, format == FloatFormat::Number, fs);
        break;
    case FloatFormat::Currency:
        putCurrency(out, rec, digits, fs);
        break;
    }
    return out;
}

std::string floatToStr(double v, const FormatSettings& fs) {
    return floatToStrF(v, FloatFormat::General, 15, 0, fs);
}

std::string formatFloat(std::string_view format, double v, const FormatSettings& fs) {
    if (format.size() > 224)
        throw ScriptError(ExcClass::EConvertError, "Format string too long");
    // Delphi reads the format as a C string: it ends at the first NUL.
    format = format.substr(0, format.find('\0'));
    return FormatFloatWriter(format, fs).run(v);
}

} // namespace novrix::rt
