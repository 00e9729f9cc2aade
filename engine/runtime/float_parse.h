#pragma once
// Text-to-real routines: StrToFloat (SysUtils, uses the decimal separator) and Val (System, always '.').
// Results are correctly rounded doubles. A number that fits Delphi's Extended but not a double raises
// EOverflow "Floating point overflow", as storing it into a Double does in Delphi.
#include "engine/runtime/format_settings.h"

#include <string_view>

namespace novrix::rt {

// TextToFloat's syntax: blanks (spaces only) around, an optional sign, digits with an optional decimal
// separator (fs.decimalSeparator), an optional exponent 'E'/'e' with optional sign and digits. As in
// Delphi, "." alone is 0 and "1E" is 1. Raises EConvertError "'x' is not a valid floating point value".
double strToFloat(std::string_view s, const FormatSettings& fs);
double strToFloatDef(std::string_view s, double def, const FormatSettings& fs);
bool tryStrToFloat(std::string_view s, double& out, const FormatSettings& fs);

// Val(s, x, code): leading spaces, sign, digits, '.', digits, exponent with at least one digit; nothing
// after. code is 0 or the 1-based position of the offending character; on failure x holds the digits
// read so far, as Delphi leaves it.
void valReal(std::string_view s, double& v, int& code);

} // namespace novrix::rt
