#include "shell/printing/margin_illustration.h"

#include <QPainter>

namespace novrix::shell {

MarginIllustration::MarginIllustration(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
}

void MarginIllustration::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF sheet = QRectF(rect()).adjusted(10, 5, -10, -5);
    painter.fillRect(sheet.translated(3, 3), palette().color(QPalette::Mid));
    painter.fillRect(sheet, Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(sheet);

    // Proportions of an A4 sheet with the start-up margins.
    const double w = sheet.width();
    const double h = sheet.height();
    const double left = sheet.left() + w * 25 / 210;
    const double right = sheet.right() - w * 15 / 210;
    const double top = sheet.top() + h * 25 / 297;
    const double bottom = sheet.bottom() - h * 25 / 297;
    const double headerTop = sheet.top() + h * 15 / 297;
    const double footerBottom = sheet.bottom() - h * 15 / 297;

    painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
    painter.drawLine(QPointF(left, sheet.top()), QPointF(left, sheet.bottom()));
    painter.drawLine(QPointF(right, sheet.top()), QPointF(right, sheet.bottom()));
    painter.drawLine(QPointF(sheet.left(), top), QPointF(sheet.right(), top));
    painter.drawLine(QPointF(sheet.left(), bottom), QPointF(sheet.right(), bottom));

    painter.fillRect(QRectF(QPointF(left, headerTop), QPointF(right, top - 2)), QColor(210, 225, 245));
    painter.fillRect(QRectF(QPointF(left, bottom + 2), QPointF(right, footerBottom)), QColor(210, 225, 245));

    painter.setPen(QPen(Qt::darkGray, 1));
    for (double y = top + 4; y < bottom - 2; y += 5) {
        const double length = (static_cast<int>(y) % 3 == 0) ? 0.6 : 0.9;
        painter.drawLine(QPointF(left + 2, y), QPointF(left + 2 + (right - left - 4) * length, y));
    }
}

} // namespace novrix::shell
