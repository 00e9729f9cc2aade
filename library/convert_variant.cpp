// What the conversion functions make of a Variant argument: its general text and its real value.
#include "engine/runtime/float_parse.h"
#include "engine/runtime/float_text.h"
#include "engine/runtime/script_error.h"
#include "library/convert.h"
#include "library/text_value.h"

#include <cmath>
#include <limits>

namespace novrix::library::convert {
namespace {

// StrToFloat's syntax; a number too large for a double reads as an infinity instead of failing.
bool readReal(std::string_view s, const rt::FormatSettings& fs, double& out) {
    try {
        return rt::tryStrToFloat(s, out, fs);
    } catch (const rt::ScriptError&) {
        const size_t first = s.find_first_not_of(' ');
        out = std::copysign(std::numeric_limits<double>::infinity(),
                            first != std::string_view::npos && s[first] == '-' ? -1.0 : 1.0);
        return true;
    }
}

} // namespace

std::string generalText(const engine::NativeVariant& v, const rt::FormatSettings& locale) {
    // Only reals differ from the text written to the console: no fixed-width exponent form here.
    if (v.tag == engine::NativeVariant::Tag::Real)
        return rt::floatToStr(v.d, locale);
    return textOfValue(v, locale);
}

std::optional<double> realValue(const engine::NativeVariant& v, const rt::FormatSettings& locale) {
    using Tag = engine::NativeVariant::Tag;
    switch (v.tag) {
    case Tag::Empty:
        return 0.0;
    case Tag::Null:
        return std::nullopt;
    case Tag::Integer:
    case Tag::Int64:
        return static_cast<double>(v.i);
    case Tag::Real:
    case Tag::Date:
        return v.d;
    case Tag::Boolean:
        return v.i != 0 ? -1.0 : 0.0;
    case Tag::String: {
        double d = 0;
        if (readReal(v.s, locale, d))
            return d;
        // Texts these functions wrote (a decimal point) must read back in a decimal-comma locale too.
        if (locale.decimalSeparator != '.' && readReal(v.s, rt::FormatSettings::invariant(), d))
            return d;
        return std::nullopt;
    }
    }
    return std::nullopt;
}

} // namespace novrix::library::convert
