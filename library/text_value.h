#pragma once
// The text a script value becomes when a script function writes it out (console output, the debug log,
// data-file rows): a Double in the 23-character exponent form " 1.50000000000000E+0000", everything else
// by the general Variant-to-text conversion.
#include "engine/native_call.h"
#include "engine/runtime/format_settings.h"

#include <string>

namespace novrix::library {

// Reals: the exponent form of Write without a width (NaN and infinities as "Nan", "+Inf", "-Inf",
// right-aligned in 23). Strings unchanged; integers in decimal; Booleans "True" / "False"; dates by
// DateTimeToStr in `locale`; an empty or null value as the empty text.
std::string textOfValue(const engine::NativeVariant& v, const rt::FormatSettings& locale);

} // namespace novrix::library
