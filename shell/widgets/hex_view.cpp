#include "shell/widgets/hex_view.h"

#include "shell/widgets/fixed_font.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace novrix::shell {

namespace {

constexpr int kMargin = 2;
const QColor kCursorBackground(128, 0, 0); // maroon
const QColor kCursorText(Qt::white);
const QColor kCursorFrame(0, 0, 128); // navy
const QColor kText(Qt::black);

bool isPrintable(unsigned char byte) {
    return (byte >= 0x20 && byte < 0x7f) || byte >= 0xa0;
}

QChar shownChar(unsigned char byte) {
    return isPrintable(byte) ? QChar(byte) : QLatin1Char('.');
}

QString hexByte(unsigned char byte) {
    return QStringLiteral("%1").arg(uint(byte), 2, 16, QLatin1Char('0')).toUpper();
}

// Enough digits for the offset of the last line, and never fewer than four.
int offsetDigitsFor(qint64 size) {
    qint64 last = std::max<qint64>(0, size - 1) / HexView::kBytesPerLine * HexView::kBytesPerLine;
    int digits = 1;
    while (last >= 16) {
        last /= 16;
        ++digits;
    }
    return std::max(4, digits);
}

} // namespace

HexView::HexView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFont(fixedPitchFont(QStringLiteral("Courier"), 16));
    const QFontMetrics metrics(font());
    charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    lineHeight_ = std::max(1, metrics.height());
    ascent_ = metrics.ascent();
    setFocusPolicy(Qt::StrongFocus);
    QPalette colours = palette();
    colours.setColor(QPalette::Text, kText);
    setPalette(colours);
    horizontalScrollBar()->setSingleStep(charWidth_);
    updateScrollRanges();
}

void HexView::setData(const QByteArray& data) {
    data_ = data;
    offsetDigits_ = offsetDigitsFor(data_.size());
    cursor_ = 0;
    updateScrollRanges();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    emit cursorOffsetChanged(cursor_);
}

void HexView::setCursorOffset(qint64 offset) {
    const qint64 clamped = std::clamp<qint64>(offset, 0, std::max<qint64>(0, data_.size() - 1));
    const bool moved = clamped != cursor_;
    cursor_ = clamped;
    scrollToCursor();
    viewport()->update();
    if (moved)
        emit cursorOffsetChanged(cursor_);
}

qint64 HexView::firstVisibleLine() const {
    return verticalScrollBar()->value();
}

int HexView::visibleLineCount() const {
    return std::max(1, viewport()->height() / lineHeight_);
}

bool HexView::isOffsetVisible(qint64 offset) const {
    const qint64 line = offset / kBytesPerLine;
    return line >= firstVisibleLine() && line < firstVisibleLine() + visibleLineCount();
}

QString HexView::lineText(qint64 line) const {
    if (line < 0 || line >= lineCount())
        return {};
    const qint64 start = line * kBytesPerLine;
    const qint64 end = std::min<qint64>(start + kBytesPerLine, data_.size());
    QString text = QStringLiteral("%1:").arg(start, offsetDigits_, 16, QLatin1Char('0')).toUpper();
    QString chars;
    for (qint64 i = start; i < start + kBytesPerLine; ++i) {
        if (i < end) {
            const auto byte = static_cast<unsigned char>(data_[i]);
            text += QLatin1Char(' ') + hexByte(byte);
            chars += shownChar(byte);
        } else {
            text += QStringLiteral("   ");
        }
    }
    return text + QStringLiteral("  ") + chars;
}

qint64 HexView::offsetAt(QPoint point) const {
    const qint64 line = firstVisibleLine() + point.y() / lineHeight_;
    if (point.y() < 0 || line >= lineCount())
        return -1;
    const int column = (point.x() - xOf(0)) / charWidth_;
    if (point.x() < xOf(0))
        return -1;
    int byteInLine = -1;
    if (column >= hexColumn(0) && column < hexColumn(kBytesPerLine))
        byteInLine = (column - hexColumn(0)) / 3;
    else if (column >= charColumn(0) && column < charColumn(kBytesPerLine))
        byteInLine = column - charColumn(0);
    const qint64 offset = line * kBytesPerLine + byteInLine;
    return byteInLine < 0 || offset >= data_.size() ? -1 : offset;
}

QSize HexView::sizeHint() const {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return {2 * kMargin + contentColumns() * charWidth_ + 2 * frameWidth() + bar,
            16 * lineHeight_ + 2 * frameWidth()};
}

int HexView::xOf(int column) const {
    return kMargin + column * charWidth_ - horizontalScrollBar()->value();
}

void HexView::updateScrollRanges() {
    const int visible = visibleLineCount();
    QScrollBar* const v = verticalScrollBar();
    v->setRange(0, int(std::max<qint64>(0, lineCount() - visible)));
    v->setPageStep(visible);
    QScrollBar* const h = horizontalScrollBar();
    h->setRange(0, std::max(0, 2 * kMargin + contentColumns() * charWidth_ - viewport()->width()));
    h->setPageStep(viewport()->width());
}

void HexView::scrollToCursor() {
    const qint64 line = cursor_ / kBytesPerLine;
    QScrollBar* const v = verticalScrollBar();
    if (line < v->value())
        v->setValue(int(line));
    else if (line >= v->value() + visibleLineCount())
        v->setValue(int(line - visibleLineCount() + 1));

    const int byteInLine = int(cursor_ % kBytesPerLine);
    const int left = kMargin + hexColumn(byteInLine) * charWidth_;
    const int right = kMargin + (charColumn(byteInLine) + 1) * charWidth_;
    QScrollBar* const h = horizontalScrollBar();
    if (right > h->value() + viewport()->width())
        h->setValue(right - viewport()->width());
    if (left < h->value())
        h->setValue(left);
}

void HexView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));

    const qint64 first = firstVisibleLine();
    const qint64 last = std::min(lineCount() - 1, first + viewport()->height() / lineHeight_);
    for (qint64 line = first; line <= last; ++line) {
        const int top = int(line - first) * lineHeight_;
        const int baseline = top + ascent_;
        const qint64 start = line * kBytesPerLine;
        painter.drawText(QPoint(xOf(0), baseline),
                         QStringLiteral("%1:").arg(start, offsetDigits_, 16, QLatin1Char('0')).toUpper());
        const qint64 end = std::min<qint64>(start + kBytesPerLine, data_.size());
        for (qint64 offset = start; offset < end; ++offset) {
            const int i = int(offset - start);
            const auto byte = static_cast<unsigned char>(data_[offset]);
            const QRect hexCell(xOf(hexColumn(i)), top, 2 * charWidth_, lineHeight_);
            const QRect charCell(xOf(charColumn(i)), top, charWidth_, lineHeight_);
            if (offset == cursor_) {
                painter.fillRect(hexCell, kCursorBackground);
                painter.setPen(kCursorText);
                painter.drawText(QPoint(hexCell.left(), baseline), hexByte(byte));
                painter.setPen(palette().color(QPalette::Text));
                painter.drawText(QPoint(charCell.left(), baseline), QString(shownChar(byte)));
                painter.setPen(kCursorFrame);
                painter.drawRect(charCell.adjusted(0, 0, -1, -1));
                if (hasFocus())
                    painter.drawRect(hexCell.adjusted(-1, -1, 0, 0));
                painter.setPen(palette().color(QPalette::Text));
                continue;
            }
            painter.drawText(QPoint(hexCell.left(), baseline), hexByte(byte));
            painter.drawText(QPoint(charCell.left(), baseline), QString(shownChar(byte)));
        }
    }
}

void HexView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

void HexView::scrollContentsBy(int, int) {
    viewport()->update();
}

void HexView::keyPressEvent(QKeyEvent* event) {
    const qint64 page = qint64(visibleLineCount()) * kBytesPerLine;
    const bool control = event->modifiers() & Qt::ControlModifier;
    qint64 target = cursor_;
    switch (event->key()) {
    case Qt::Key_Left:
        target -= 1;
        break;
    case Qt::Key_Right:
        target += 1;
        break;
    case Qt::Key_Up:
        target -= kBytesPerLine;
        break;
    case Qt::Key_Down:
        target += kBytesPerLine;
        break;
    case Qt::Key_PageUp:
        target -= page;
        break;
    case Qt::Key_PageDown:
        target += page;
        break;
    case Qt::Key_Home:
        target = control ? 0 : cursor_ - cursor_ % kBytesPerLine;
        break;
    case Qt::Key_End:
        target = control ? qint64(data_.size()) - 1 : cursor_ - cursor_ % kBytesPerLine + kBytesPerLine - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    // A step up or down past either end stops on the first or last line, in the same column where the
    // last line has one.
    const int key = event->key();
    const qint64 size = data_.size();
    const qint64 column = cursor_ % kBytesPerLine;
    if (target < 0)
        target = key == Qt::Key_Up || key == Qt::Key_PageUp ? column : 0;
    if (target >= size) {
        const qint64 sameColumnOnLastLine = (size - 1) / kBytesPerLine * kBytesPerLine + column;
        target = (key == Qt::Key_Down || key == Qt::Key_PageDown) && sameColumnOnLastLine < size
                     ? sameColumnOnLastLine
                     : size - 1;
    }
    setCursorOffset(target);
    event->accept();
}

void HexView::mousePressEvent(QMouseEvent* event) {
    const qint64 offset = offsetAt(event->position().toPoint());
    if (offset < 0 || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setCursorOffset(offset);
    event->accept();
}

} // namespace novrix::shell
