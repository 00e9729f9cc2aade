#pragma once
// Places a top-level window in the middle of the available area of its screen.
#include <QWidget>

namespace novrix::shell {

void centreOnScreen(QWidget& window);

} // namespace novrix::shell
