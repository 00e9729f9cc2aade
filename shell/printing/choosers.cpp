#include "shell/printing/choosers.h"

#include <QColorDialog>
#include <QFontDialog>

namespace novrix::shell {

FontChooser systemFontChooser() {
    return [](const QFont& initial, QWidget* parent) -> std::optional<QFont> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
        if (!ok)
            return std::nullopt;
        return chosen;
    };
}

ColorChooser systemColorChooser() {
    return [](const QColor& initial, QWidget* parent) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, parent);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    };
}

} // namespace novrix::shell
