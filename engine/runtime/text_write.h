#pragma once
// Write/WriteLn and Str formatting of values, as Delphi's System unit does it.
#include <cstdint>
#include <string>
#include <string_view>

namespace novrix::rt {

// A real without width: the 23-character exponent form " 1.50000000000000E+0000" (Delphi; Free Pascal
// writes " 1.5000000000000000E+000" for a Double). NaN and infinities: "Nan", "+Inf", "-Inf".
std::string writeReal(double v);

// x:w - exponent form with w-8 significant digits (at least 2, at most 18), right-aligned in w.
std::string writeReal(double v, int width);

// x:w:d - fixed form with d decimals, halves rounded away from zero, right-aligned in w; a negative value
// that rounds to zero keeps its sign ("-0.00"). A d below zero selects the exponent form; magnitudes of
// 1E36 and more also print in exponent form. d is limited to 216.
std::string writeReal(double v, int width, int decimals);

// Str(x:w:d, s) gives the same text as Write.
inline std::string strReal(double v, int width, int decimals) {
    return writeReal(v, width, decimals);
}

std::string writeInt(int64_t v, int width);          // right-aligned in width
std::string writeStr(std::string_view s, int width); // right-aligned; never cut
std::string writeBool(bool b, int width);            // "TRUE" / "FALSE", right-aligned

} // namespace novrix::rt
