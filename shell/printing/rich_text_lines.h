#pragma once
// Header and footer texts as lines of a rich-text field: appending a line in a font, reading each line
// with the font of its text, and changing the font of the line that holds the cursor.
#include "shell/printing/print_setup.h"

#include <QTextCharFormat>
#include <functional>
#include <vector>

class QTextEdit;

namespace novrix::shell {

struct FieldLine {
    std::string text;
    FontSpec font;
};

// Appends `text` in `font` as a new last line of `field`, or as its first line into the field's one
// empty line.
enum class LinePlace { First, Next };
void appendLine(QTextEdit& field, const std::string& text, const FontSpec& font, LinePlace place);

// The field's lines, each with the attributes of its text (of its first character; an empty line's own
// format). An empty field has no lines; a last empty line after a line break is no line of its own.
// `defaultFont` supplies what a line's format leaves open.
std::vector<FieldLine> fieldLines(const QTextEdit& field, const FontSpec& defaultFont);

// The format of the line holding the cursor, with what it leaves open taken from the field's font.
QTextCharFormat cursorLineFormat(const QTextEdit& field);

// Merges `change` into the whole line holding the cursor, then puts the cursor back where it was with
// nothing selected.
void changeCursorLine(QTextEdit& field, const QTextCharFormat& change);

} // namespace novrix::shell
