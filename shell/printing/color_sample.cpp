#include "shell/printing/color_sample.h"

#include <QPainter>

namespace novrix::shell {

ColorSample::ColorSample(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
}

void ColorSample::setColor(const QColor& color) {
    if (color == color_)
        return;
    color_ = color;
    update();
}

void ColorSample::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(box, color_);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
}

} // namespace novrix::shell
