#include "shell/windows/window_centring.h"

#include <QGuiApplication>
#include <QScreen>

namespace novrix::shell {

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
}

} // namespace novrix::shell
