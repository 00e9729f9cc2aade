#include "shell/printing/preview_zoom.h"

#include <algorithm>

namespace novrix::shell {

int scaleAfterClick(PreviewClick click, bool showingWholePage, int currentPercent) {
    if (click == PreviewClick::LeftButton) {
        if (showingWholePage)
            return 100;
        return std::min(currentPercent * 2, kMaximumClickScale);
    }
    return std::max(currentPercent / 2, kMinimumClickScale);
}

} // namespace novrix::shell
