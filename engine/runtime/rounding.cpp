#include "engine/runtime/rounding.h"

#include "engine/runtime/script_error.h"

#include <cmath>

namespace novrix::rt {

int64_t roundBankers(double v) {
    // The default rounding mode is round-to-nearest-even; nearbyint uses it without raising inexact.
    const double r = std::nearbyint(v);
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (!(r >= -kTwoTo63 && r < kTwoTo63))
        throw ScriptError(ExcClass::EInvalidOp, "Invalid Floating Point Operation");
    return static_cast<int64_t>(r);
}

} // namespace novrix::rt
