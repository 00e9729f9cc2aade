#include "shell/printing/header_footer_band.h"

#include "shell/printing/print_qt_conversions.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <algorithm>

namespace novrix::shell {

namespace {

HFAlignment placedAlignment(HFAlignment alignment, bool mirrored) {
    if (!mirrored)
        return alignment;
    switch (alignment) {
    case HFAlignment::Left:
        return HFAlignment::Right;
    case HFAlignment::Right:
        return HFAlignment::Left;
    case HFAlignment::Center:
        return HFAlignment::Center;
    }
    return alignment;
}

} // namespace

HeaderFooterBand::HeaderFooterBand(const HeaderFooter& band, Edge edge, const PageMargins& margins,
                                   const QPaintDevice* device, double dotsPerMillimetre)
    : band_(band), edge_(edge), device_(device), dotsPerMillimetre_(dotsPerMillimetre),
      leftIndent_(margins.leftHFTextIndent * dotsPerMillimetre),
      rightIndent_(margins.rightHFTextIndent * dotsPerMillimetre),
      internalMargin_(margins.hfInternalMargin * dotsPerMillimetre) {
    const int count = band.lineCount();
    if (count == 0)
        return;

    const QFontMetricsF defaultMetrics(toQFont(band.defaultFont), device);
    lines_.assign(static_cast<std::size_t>(count), Line{});
    std::vector<bool> hasItem(lines_.size(), false);
    for (const HeaderFooterItem& item : band.items) {
        if (item.lineNumber < 1)
            continue;
        const QFontMetricsF metrics(toQFont(item.font), device);
        Line& line = lines_[static_cast<std::size_t>(item.lineNumber - 1)];
        line.ascent = std::max(line.ascent, metrics.ascent());
        line.height = std::max(line.height, metrics.height());
        hasItem[static_cast<std::size_t>(item.lineNumber - 1)] = true;
    }
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!hasItem[i])
            lines_[i] = {defaultMetrics.ascent(), defaultMetrics.height()};
        height_ += lines_[i].height;
    }
    height_ += 2 * internalMargin_;
}

void HeaderFooterBand::paint(QPainter& painter, const Box& box, int pageNumber,
                             const MacroValues& macros) const {
    if (lines_.empty())
        return;
    painter.save();
    paintFrame(painter, box);

    const bool mirrored = band_.mirrorPosition && pageNumber % 2 == 0;
    const double textLeft = box.left + leftIndent_;
    const double textRight = box.right - rightIndent_;

    std::vector<double> baselines;
    double top = box.top + internalMargin_;
    for (const Line& line : lines_) {
        baselines.push_back(top + line.ascent);
        top += line.height;
    }

    for (const HeaderFooterItem& item : band_.items) {
        if (item.lineNumber < 1)
            continue;
        const QString text = toQString(expandMacros(item.text, macros));
        const QFont font = toQFont(item.font);
        const double width = QFontMetricsF(font, device_).horizontalAdvance(text);
        double x = textLeft;
        switch (placedAlignment(item.alignment, mirrored)) {
        case HFAlignment::Left:
            x = textLeft;
            break;
        case HFAlignment::Center:
            x = (textLeft + textRight - width) / 2;
            break;
        case HFAlignment::Right:
            x = textRight - width;
            break;
        }
        painter.setFont(font);
        painter.setPen(toQColor(item.font.color));
        painter.drawText(QPointF(x, baselines[static_cast<std::size_t>(item.lineNumber - 1)]), text);
    }
    painter.restore();
}

void HeaderFooterBand::paintFrame(QPainter& painter, const Box& box) const {
    const FrameSpec& frame = band_.frame;
    const QRectF rect(box.left, box.top, box.width(), box.height());
    // A quarter of a millimetre reads as a hairline on paper and stays visible in the preview.
    const double penWidth = 0.25 * dotsPerMillimetre_;
    QPen pen(toQColor(frame.lineColor), penWidth);
    pen.setCapStyle(Qt::FlatCap);

    if (frame.shadow) {
        const double offset = 1.0 * dotsPerMillimetre_;
        painter.fillRect(rect.translated(offset, offset), toQColor(frame.shadowColor));
        painter.fillRect(rect, Qt::white);
    }
    if (frame.box || frame.shadow) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
    }
    if (frame.line) {
        painter.setPen(pen);
        const double y = edge_ == Edge::Top ? rect.bottom() : rect.top();
        painter.drawLine(QPointF(rect.left(), y), QPointF(rect.right(), y));
    }
}

} // namespace novrix::shell
