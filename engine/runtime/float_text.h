#pragma once
// Real-to-text conversions of SysUtils: FloatToStr, FloatToStrF and FormatFloat.
// NaN and infinities come out as Delphi 7 writes them: "NAN", "INF", "-INF".
#include "engine/runtime/format_settings.h"

#include <string>
#include <string_view>

namespace novrix::rt {

enum class FloatFormat { General, Exponent, Fixed, Number, Currency }; // Delphi's TFloatFormat

// FloatToStrF / FloatToText. `precision` is clamped to 2..18 significant digits; `digits` is the number
// of decimals for Fixed/Number/Currency and the minimum exponent digits (0..4) for General/Exponent.
// A value with more integer digits than `precision` falls back to General, as in Delphi.
std::string floatToStrF(double v, FloatFormat format, int precision, int digits, const FormatSettings& fs);

// FloatToStr: General format with 15 significant digits ("0.1", "1E15", "1.5E-5").
std::string floatToStr(double v, const FormatSettings& fs);

// FormatFloat: '0' and '#' digit places, '.', ',' (grouping), 'E+'/'E-'/'e+'/'e-' exponents, up to three
// ';' sections (positive;negative;zero) and quoted literals. An empty format gives FloatToStr's text.
// Throws EConvertError "Format string too long" past 224 characters, as Delphi's buffer does.
std::string formatFloat(std::string_view format, double v, const FormatSettings& fs);

} // namespace novrix::rt
