#include "library/text_value.h"

#include "engine/runtime/date_format.h"
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
