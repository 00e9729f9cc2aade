#include "shell/printing/body_layout.h"

#include "shell/printing/print_qt_conversions.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextCharFormat>
#include <QTextOption>
#include <algorithm>
#include <cmath>

namespace novrix::shell {

namespace {

QList<QTextLayout::FormatRange> formatsOf(const StyledLine& line, bool useColors) {
    QList<QTextLayout::FormatRange> formats;
    for (const StyleRun& run : line.runs) {
        QTextLayout::FormatRange range;
        range.start = run.start;
        range.length = run.length;
        if (run.style.bold)
            range.format.setFontWeight(QFont::Bold);
        range.format.setFontItalic(run.style.italic);
        range.format.setFontUnderline(run.style.underline);
        range.format.setForeground(useColors ? run.style.color : QColor(Qt::black));
        formats.append(range);
    }
    return formats;
}

} // namespace

BodyLayout::BodyLayout(const StyledDocument& document, const PrintSetup& setup, const QPaintDevice* device,
                       double bodyWidth, double bodyHeight)
    : setup_(setup), device_(device), font_(toQFont(setup.textFont)) {
    // Source text prints letter for letter: no ligatures.
    font_.setStyleStrategy(QFont::PreferNoShaping);
    const QFontMetricsF metrics(font_, device);
    lineSpacing_ = std::max(1.0, metrics.lineSpacing());
    ascent_ = metrics.ascent();
    // At least one line per page however large the margins; clamped before it becomes an int.
    const double fitting = std::floor(bodyHeight / lineSpacing_);
    linesPerPage_ = std::isfinite(fitting) ? static_cast<int>(std::clamp(fitting, 1.0, 1.0e6)) : 1;

    const PrintOptions& options = setup.options;
    if (options.lineNumbers) {
        const int lastLine = static_cast<int>(document.lines.size());
        numberGap_ = metrics.horizontalAdvance(QStringLiteral("  "));
        numberWidth_ = metrics.horizontalAdvance(QString::number(lastLine)) + numberGap_;
    }
    const double numbersInside = options.lineNumbers && !options.lineNumbersInMargin ? numberWidth_ : 0;
    const double textWidth = std::max(1.0, bodyWidth - numbersInside);

    QTextOption option;
    option.setWrapMode(options.wrapLines ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);

    std::vector<PrintedLine> page;
    layouts_.reserve(document.lines.size());
    for (std::size_t i = 0; i < document.lines.size(); ++i) {
        const StyledLine& line = document.lines[i];
        auto layout = std::make_unique<QTextLayout>(line.text, font_, device);
        layout->setTextOption(option);
        layout->setFormats(formatsOf(line, options.useColors));
        layout->beginLayout();
        for (QTextLine printed = layout->createLine(); printed.isValid(); printed = layout->createLine()) {
            printed.setLineWidth(textWidth);
            printed.setPosition(QPointF(0, 0));
        }
        layout->endLayout();

        const int parts = std::max(1, layout->lineCount());
        for (int part = 0; part < parts; ++part) {
            if (static_cast<int>(page.size()) == linesPerPage_) {
                pages_.push_back(std::move(page));
                page.clear();
            }
            page.push_back({static_cast<int>(i), part});
        }
        layouts_.push_back(std::move(layout));
    }
    if (!page.empty() || pages_.empty())
        pages_.push_back(std::move(page));
}

BodyLayout::~BodyLayout() = default;

void BodyLayout::paintPage(QPainter& painter, int pageNumber, const Box& body) const {
    if (pageNumber < 1 || pageNumber > pageCount())
        return;
    const PrintOptions& options = setup_.options;
    const bool numbers = options.lineNumbers;
    const double textLeft = body.left + (numbers && !options.lineNumbersInMargin ? numberWidth_ : 0);
    const QRectF textClip(textLeft, body.top, std::max(0.0, body.right - textLeft), body.height());

    painter.save();
    painter.setFont(font_);
    double top = body.top;
    for (const PrintedLine& printed : pages_[static_cast<std::size_t>(pageNumber - 1)]) {
        if (numbers && printed.part == 0) {
            painter.setClipping(false);
            painter.setPen(Qt::black);
            const QString number = QString::number(printed.sourceLine + 1);
            const double width = QFontMetricsF(font_, device_).horizontalAdvance(number);
            painter.drawText(QPointF(textLeft - numberGap_ - width, top + ascent_), number);
        }
        const QTextLayout& layout = *layouts_[static_cast<std::size_t>(printed.sourceLine)];
        if (printed.part < layout.lineCount()) {
            painter.setClipRect(textClip);
            painter.setPen(Qt::black);
            layout.lineAt(printed.part).draw(&painter, QPointF(textLeft, top));
        }
        top += lineSpacing_;
    }
    painter.restore();
}

} // namespace novrix::shell
