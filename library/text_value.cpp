#include "library/text_value.h"

#include "engine/runtime/date_format.h"
#include "engine/runtime/float_text.h"
#include "engine/runtime/int_text.h"
#include "engine/runtime/string_utils.h"
#include "engine/runtime/text_write.h"

namespace novrix::library {

std::string textOfValue(const engine::NativeVariant& v, const rt::FormatSettings& locale) {
    using Tag = engine::NativeVariant::Tag;
    switch (v.tag) {
    case Tag::Empty:
    case Tag::Null:
        return {};
    case Tag::Integer:
    case Tag::Int64:
        return rt::intToStr(v.i);
    case Tag::Real:
        // Double values in the fixed 23-character form; single-precision ones by the general conversion,
        // with the digits a Single holds (7), so 0.1 stays 0.1.
        if (v.isSingle) return rt::floatToStrF(v.d, rt::FloatFormat::General, 7, 0, locale);
        return rt::writeReal(v.d);
    case Tag::Boolean:
        // The Variant conversion of Delphi 6 and later names the value instead of printing -1 / 0.
        return rt::boolToStr(v.i != 0, true);
    case Tag::String:
        return v.s;
    case Tag::Date:
        return rt::dateTimeToStr(v.d, locale);
    }
    return {};
}

} // namespace novrix::library
