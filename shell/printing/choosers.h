#pragma once
// The font and colour dialogs the page set-up dialog opens, as replaceable functions so tests can answer
// them. Each returns nothing when the user cancels.
#include <QColor>
#include <QFont>
#include <functional>
#include <optional>

class QWidget;

namespace novrix::shell {

using FontChooser = std::function<std::optional<QFont>(const QFont& initial, QWidget* parent)>;
using ColorChooser = std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)>;

// QFontDialog and QColorDialog.
FontChooser systemFontChooser();
ColorChooser systemColorChooser();

} // namespace novrix::shell
