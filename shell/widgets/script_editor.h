#pragma once
// The source editor: QScintilla with the Pascal highlighter (identifiers blue, numbers red), a line-number
// gutter sized to its content, the colours of breakpoint and paused lines, the Ctrl+E key that pastes
// "NOVRIX_" through the clipboard, and the window's own pop-up menu. Text is loaded and saved as bytes,
// keeping the file's line ends and its encoding (UTF-8, or one Latin-1 character per byte).
#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <functional>
#include <optional>

#include "shell/core/editor_lines.h"
#include "shell/core/text_file_format.h"

class QMenu;

namespace novrix::shell {

class ScriptEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit ScriptEditor(QWidget* parent = nullptr);

    // Replaces the whole text, the undo history included, and clears the modified flag.
    void loadBytes(const QByteArray& bytes);
    // Empties the editor completely (text, undo history, modified flag); new text uses LF.
    void clearAll();
    // The text as the file holds it.
    QByteArray bytes() const;
    const TextFileFormat& fileFormat() const { return format_; }

    // Recolours every line: `hasBreakpoint` says which lines (1-based) carry one; `activeLine` is the
    // paused line (0: none).
    void showLineColours(const std::function<bool(int line)>& hasBreakpoint, int activeLine);
    // The colours shown on a line (1-based), as the markers and indicators on it say.
    std::optional<LineColours> shownColours(int line) const;

    // 1-based editor positions.
    int caretLine() const;
    int topLine() const { return firstVisibleLine() + 1; }
    void setTopLine(int line) { setFirstVisibleLine(line < 1 ? 0 : line - 1); }
    int visibleLines() const { return static_cast<int>(SendScintilla(SCI_LINESONSCREEN)); }

    // The menu shown on a right click.
    void setPopupMenu(QMenu* menu) { popup_ = menu; }

    // Keys the window's menus own: the editor's own bindings of them are removed, so the menus get them.
    void releaseKeys(const QList<QKeySequence>& keys);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void pastePrefix();
    void sizeGutter();

    enum Marker { BreakpointMarker = 1, ActiveMarker = 2, ActiveBreakpointMarker = 3 };
    enum Indicator { WhiteTextIndicator = 8, RedTextIndicator = 9 };

    TextFileFormat format_;
    QMenu* popup_ = nullptr;
};

} // namespace novrix::shell
