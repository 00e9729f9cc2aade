#include "shell/widgets/led_indicator.h"

#include <QPainter>

namespace novrix::shell {

LedIndicator::LedIndicator(QWidget* parent) : QWidget(parent) { setFixedSize(15, 15); }

void LedIndicator::setOn(bool on) {
    if (on == on_) return;
    on_ = on;
    update();
}

void LedIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(on_ ? QColor(255, 255, 0) : QColor(128, 128, 0));
    p.drawEllipse(QRectF(1.5, 1.5, width() - 3, height() - 3));
}

} // namespace novrix::shell
