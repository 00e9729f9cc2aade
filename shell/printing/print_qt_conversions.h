#pragma once
// Between the plain print set-up types and Qt's: fonts, colours and texts (UTF-8).
#include "shell/printing/print_setup.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextCharFormat>

namespace novrix::shell {

QColor toQColor(RgbColor color);
RgbColor toRgbColor(const QColor& color);

// The font at its point size (colour aside; see FontSpec::color).
QFont toQFont(const FontSpec& font);
FontSpec toFontSpec(const QFont& font, const QColor& color);

// A character format carrying the whole font and its colour.
QTextCharFormat toCharFormat(const FontSpec& font);

inline QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string toStdString(const QString& text) {
    return text.toStdString();
}

} // namespace novrix::shell
