#pragma once
// Where the replace confirmation goes: near the found text but never over its line. Below the line while
// the line is in the upper two thirds of the main window, above it otherwise; level with the found text
// when the window is wider than the dialog, kept inside the window's right edge.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace novrix::shell {

// `occurrence` is the found text's top-left corner and `window` the main window's client rectangle, both
// in screen coordinates; `lineHeight` is the editor's line height and `dialog` the dialog's size. Returns
// the dialog's top-left corner in screen coordinates.
QPoint confirmDialogPosition(QPoint occurrence, int lineHeight, const QRect& window, QSize dialog);

} // namespace novrix::shell
