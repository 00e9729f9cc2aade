#include "shell/printing/rich_text_lines.h"

#include "shell/printing/print_qt_conversions.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace novrix::shell {

namespace {

QTextCharFormat lineFormat(const QTextBlock& block) {
    const QTextBlock::iterator first = block.begin();
    if (!first.atEnd() && first.fragment().isValid())
        return first.fragment().charFormat();
    return block.charFormat();
}

FontSpec resolvedFont(const QTextCharFormat& format, const QFont& fieldFont, RgbColor fieldColor) {
    const QFont font = format.font().resolve(fieldFont);
    const QBrush foreground = format.foreground();
    const QColor color = foreground.style() != Qt::NoBrush ? foreground.color() : toQColor(fieldColor);
    return toFontSpec(font, color);
}

} // namespace

void appendLine(QTextEdit& field, const std::string& text, const FontSpec& font, LinePlace place) {
    const QTextCharFormat format = toCharFormat(font);
    QTextCursor cursor(field.document());
    cursor.movePosition(QTextCursor::End);
    if (place == LinePlace::Next)
        cursor.insertBlock(QTextBlockFormat(), format);
    cursor.setBlockCharFormat(format);
    cursor.insertText(toQString(text), format);
}

std::vector<FieldLine> fieldLines(const QTextEdit& field, const FontSpec& defaultFont) {
    std::vector<FieldLine> lines;
    const QTextDocument& document = *field.document();
    if (document.isEmpty())
        return lines;
    const QFont fieldFont = toQFont(defaultFont);
    const QTextBlock last = document.lastBlock();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block == last && block.length() <= 1 && block != document.begin())
            break;
        lines.push_back(
            {toStdString(block.text()), resolvedFont(lineFormat(block), fieldFont, defaultFont.color)});
    }
    return lines;
}

QTextCharFormat cursorLineFormat(const QTextEdit& field) {
    QTextCharFormat format = lineFormat(field.textCursor().block());
    const QFont font = format.font().resolve(field.document()->defaultFont());
    format.setFont(font, QTextCharFormat::FontPropertiesAll);
    return format;
}

void changeCursorLine(QTextEdit& field, const QTextCharFormat& change) {
    QTextCursor cursor = field.textCursor();
    const int position = cursor.position();
    QTextCursor line(cursor.block());
    line.movePosition(QTextCursor::StartOfBlock);
    line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    line.mergeCharFormat(change);
    line.mergeBlockCharFormat(change);

    cursor.clearSelection();
    cursor.setPosition(position);
    field.setTextCursor(cursor);
    // Typing on at the end of the line continues in the line's new style.
    field.mergeCurrentCharFormat(change);
}

} // namespace novrix::shell
