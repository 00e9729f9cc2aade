#include "engine/runtime/format.h"

#include "engine/runtime/float_text.h"
#include "engine/runtime/script_error.h"

#include <cstdint>

namespace novrix::rt {
namespace {

using Kind = FormatArg::Kind;

constexpr size_t kMaxWidth = size_t{1} << 24;

// Delphi's CvtInt/CvtInt64: digits zero-padded to `precision`, a minus sign in front of them.
std::string integerText(uint64_t magnitude, bool negative, unsigned base, unsigned precision) {
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789ABCDEF"[magnitude % base]);
        magnitude /= base;
    } while (magnitude != 0);
    if (digits.size() < precision)
        digits.insert(0, precision - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

class Formatter {
public:
    Formatter(std::string_view fmt, const std::vector<FormatArg>& args, const FormatSettings& fs)
        : fmt_(fmt), args_(args), fs_(fs) {}

    std::string run() {
        std::string out;
        size_t i = 0;
        while (i < fmt_.size()) {
            const char c = fmt_[i++];
            if (c != '%') {
                out += c;
                continue;
            }
            if (i >= fmt_.size())
                break;
            if (fmt_[i] == '%') {
                out += fmt_[i++];
                continue;
            }
            const size_t start = i - 1;
            if (!specifier(out, start, i))
                break; // the format ended inside a specifier
        }
        return out;
    }

private:
    // Parses "[index:][-][width][.precision]type" from `i` and appends the converted argument.
    bool specifier(std::string& out, size_t start, size_t& i) {
        bool leftJustify = false;
        uint32_t width = 0;
        for (;;) {
            leftJustify = fmt_[i] == '-';
            if (leftJustify && ++i >= fmt_.size())
                return false;
            if (!number(i, width))
                return false;
            if (fmt_[i] != ':')
                break;
            argIndex_ = width;
            if (++i >= fmt_.size())
                return false;
        }
        uint32_t precision = UINT32_MAX; // "none"; compared unsigned, like Delphi
        if (fmt_[i] == '.') {
            if (++i >= fmt_.size())
                return false;
            if (!number(i, precision))
                return false;
        }
        const char type = static_cast<char>(fmt_[i++] & 0xDF); // upper case, as Delphi's AND 0DFH
        const std::string_view specifier = fmt_.substr(start, i - start);

        if (argIndex_ >= args_.size())
            missingArgument(specifier);
        const FormatArg& arg = args_[argIndex_++];
        std::string text = convert(type, arg, precision, specifier);

        // A width from '*' below zero would pad endlessly in Delphi; it pads nothing here. A huge one
        // exhausts Delphi's memory; we refuse it before trying.
        const size_t w = static_cast<int32_t>(width) < 0 ? 0 : width;
        if (w > kMaxWidth)
            throw ScriptError(ExcClass::EOutOfMemory, "Out of memory");
        if (text.size() < w) {
            if (leftJustify)
                text.append(w - text.size(), ' ');
            else
                text.insert(0, w - text.size(), ' ');
        }
        out += text;
        return true;
    }

    // Digits, or '*' taking an Integer argument. Leaves `i` on the character after it.
    bool number(size_t& i, uint32_t& value) {
        value = 0;
        if (fmt_[i] == '*') {
            if (argIndex_ < args_.size()) {
                const FormatArg& arg = args_[argIndex_++];
                value = arg.kind == Kind::Integer ? static_cast<uint32_t>(arg.i) : 0;
            }
            return ++i < fmt_.size();
        }
        while (fmt_[i] >= '0' && fmt_[i] <= '9') {
            value = value * 10 + static_cast<uint32_t>(fmt_[i] - '0');
            if (++i >= fmt_.size())
                return false;
        }
        return true;
    }

    std::string convert(char type, const FormatArg& arg, uint32_t precision,
                        std::string_view specifier) const {
        switch (arg.kind) {
        case Kind::Integer:
        case Kind::Int64: {
            const bool wide = arg.kind == Kind::Int64;
            const unsigned digits = precision <= (wide ? 32u : 16u) ? precision : 0;
            const uint64_t bits = wide ? static_cast<uint64_t>(arg.i) : static_cast<uint32_t>(arg.i);
            if (type == 'D') {
                const int64_t v = wide ? arg.i : static_cast<int32_t>(arg.i);
                const uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
                return integerText(magnitude, v < 0, 10, digits);
            }
            if (type == 'U')
                return integerText(bits, false, 10, digits);
            if (type == 'X')
                return integerText(bits, false, 16, digits);
            break;
        }
        case Kind::String:
            if (type == 'S')
                return precision < arg.s.size() ? arg.s.substr(0, precision) : arg.s;
            break;
        case Kind::Char:
            if (type == 'S')
                return arg.s.substr(0, 1);
            break;
        case Kind::Real:
            return realText(type, arg.d, precision, specifier);
        case Kind::Boolean:
            break;
        }
        incompatible(specifier);
    }

    std::string realText(char type, double v, uint32_t precision, std::string_view specifier) const {
        switch (type) {
        case 'G':
        case 'E': {
            const int digits = precision <= 18 ? static_cast<int>(precision) : 15;
            return floatToStrF(v, type == 'G' ? FloatFormat::General : FloatFormat::Exponent, digits, 3, fs_);
        }
        case 'F':
        case 'N':
        case 'M': {
            int decimals = precision <= 18 ? static_cast<int>(precision) : 2;
            if (precision > 18 && type == 'M')
                decimals = fs_.currencyDecimals;
            const FloatFormat f = type == 'F'   ? FloatFormat::Fixed
                                  : type == 'N' ? FloatFormat::Number
                                                : FloatFormat::Currency;
            return floatToStrF(v, f, 18, decimals, fs_);
        }
        default:
            incompatible(specifier);
        }
    }

    // Delphi copies at most 31 characters of the specifier into its messages.
    [[noreturn]] static void incompatible(std::string_view specifier) {
        throw ScriptError(ExcClass::EConvertError, "Format '" + std::string(specifier.substr(0, 31)) +
                                                       "' invalid or incompatible with argument");
    }
    [[noreturn]] static void missingArgument(std::string_view specifier) {
        throw ScriptError(ExcClass::EConvertError,
                          "No argument for format '" + std::string(specifier.substr(0, 31)) + "'");
    }

    std::string_view fmt_;
    const std::vector<FormatArg>& args_;
    const FormatSettings& fs_;
    size_t argIndex_ = 0;
};

} // namespace

std::string format(std::string_view fmt, const std::vector<FormatArg>& args, const FormatSettings& fs) {
    return Formatter(fmt, args, fs).run();
}

} // namespace novrix::rt
