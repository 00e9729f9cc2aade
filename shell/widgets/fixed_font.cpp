#include "shell/widgets/fixed_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace novrix::shell {

QFont fixedPitchFont(const QString& family, int pixelSize) {
    QFont font(family);
    font.setFamilies({family, QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
    font.setStyleHint(QFont::Monospace, QFont::PreferDefault);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace novrix::shell
