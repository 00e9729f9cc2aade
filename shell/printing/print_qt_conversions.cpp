#include "shell/printing/print_qt_conversions.h"

#include <QBrush>

namespace novrix::shell {

QColor toQColor(RgbColor color) {
    return QColor(color.red, color.green, color.blue);
}

RgbColor toRgbColor(const QColor& color) {
    return {color.red(), color.green(), color.blue()};
}

QFont toQFont(const FontSpec& font) {
    QFont qfont(QString::fromStdString(font.family));
    if (font.pointSize > 0)
        qfont.setPointSizeF(font.pointSize);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    return qfont;
}

FontSpec toFontSpec(const QFont& font, const QColor& color) {
    FontSpec described;
    described.family = font.family().toStdString();
    described.pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : pointsFromPixels(font.pixelSize());
    described.bold = font.bold();
    described.italic = font.italic();
    described.underline = font.underline();
    described.strikeOut = font.strikeOut();
    described.color = toRgbColor(color);
    return described;
}

QTextCharFormat toCharFormat(const FontSpec& font) {
    QTextCharFormat format;
    format.setFont(toQFont(font), QTextCharFormat::FontPropertiesAll);
    format.setForeground(QBrush(toQColor(font.color)));
    return format;
}

} // namespace novrix::shell
