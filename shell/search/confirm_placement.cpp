#include "shell/search/confirm_placement.h"

#include <cmath>

namespace novrix::shell {
namespace {

// value * numerator / denominator, rounded half away from zero.
int mulDiv(int value, int numerator, int denominator) {
    return static_cast<int>(std::lround(static_cast<double>(value) * numerator / denominator));
}

} // namespace

QPoint confirmDialogPosition(QPoint occurrence, int lineHeight, const QRect& window, QSize dialog) {
    const int windowWidth = window.width();
    const int windowHeight = window.height();
    const int windowRight = window.left() + windowWidth;

    int x = occurrence.x();
    if (windowWidth <= dialog.width()) {
        x = window.left() - (dialog.width() - windowWidth) / 2;
    } else if (x + dialog.width() > windowRight) {
        x = windowRight - dialog.width();
    }

    const int lineTop = occurrence.y();
    const int lineBottom = lineTop + lineHeight;
    const bool inLowerThird = lineBottom > window.top() + mulDiv(windowHeight, 2, 3);
    const int y = inLowerThird ? lineTop - dialog.height() - 4 : lineBottom + 4;
    return {x, y};
}

} // namespace novrix::shell
