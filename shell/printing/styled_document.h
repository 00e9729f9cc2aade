#pragma once
// The editor's text as the renderer prints it: one entry per line, tabs expanded to spaces, and the
// colour and style of each run of characters taken from the editor's syntax styles.
#include <QColor>
#include <QString>
#include <vector>

class QsciScintilla;

namespace novrix::shell {

struct TextStyle {
    QColor color = Qt::black;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const TextStyle&) const = default;
};

struct StyleRun {
    int start = 0; // in UTF-16 units of StyledLine::text
    int length = 0;
    TextStyle style;
};

struct StyledLine {
    QString text;
    std::vector<StyleRun> runs; // empty when printed plain
};

struct StyledDocument {
    std::vector<StyledLine> lines;
};

enum class StyleSource { Plain, SyntaxStyles };

// The editor's whole text (at least one line, even when empty). With SyntaxStyles the editor's lexer
// styles the whole text first, and each run carries its style's colour, bold, italic and underline.
StyledDocument styledDocumentOf(const QsciScintilla& editor, StyleSource source, int tabWidth);

} // namespace novrix::shell
