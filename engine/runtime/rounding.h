#pragma once
// Round as Delphi's FPU does it: to the nearest integer, halves to the even one (Round(2.5) = 2).
#include <cstdint>

namespace novrix::rt {

// Raises EInvalidOp "Invalid Floating Point Operation" for NaN, infinities and results outside Int64.
int64_t roundBankers(double v);

} // namespace novrix::rt
