#include "shell/core/debug_window_height.h"

#include <climits>

namespace novrix::shell {

int debugWindowHeight(int requested) {
    if (requested <= kDebugWindowMinimumHeight)
        return kDebugWindowMinimumHeight;
    const long long above = static_cast<long long>(requested) - kDebugWindowMinimumHeight;
    const long long lines = (above + kDebugWindowLineStep - 1) / kDebugWindowLineStep;
    const long long height = kDebugWindowMinimumHeight + lines * kDebugWindowLineStep;
    // Heights this close to INT_MAX do not occur on a screen; stay within int there.
    return height <= INT_MAX ? static_cast<int>(height)
                             : INT_MAX - (INT_MAX - kDebugWindowMinimumHeight) % kDebugWindowLineStep;
}

} // namespace novrix::shell
