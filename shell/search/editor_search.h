#pragma once
// One search or replace command carried out on the editor through QScintilla's find and replace: the
// range searched (whole text, from the caret, or the selection), the direction, the plain-text or the
// regular-expression engine (C++11 ECMAScript syntax, groups \1 .. \9 in replacements), and the replace
// loop that asks before each replacement until the user answers "Yes to all".
#include "shell/search/search_state.h"

#include <QString>
#include <Qsci/qsciscintilla.h>
#include <functional>
#include <optional>

namespace novrix::shell {

// A stretch of the editor's text in Scintilla positions, start <= end.
struct EditorRange {
    long start = 0;
    long end = 0;

    bool empty() const { return start == end; }
    bool contains(const EditorRange& other) const { return start <= other.start && other.end <= end; }
    bool operator==(const EditorRange&) const = default;
};

enum class ReplaceAction { Replace, Skip, ReplaceAll, Cancel };

// What the replace loop asks about one found occurrence (selected in the editor while it asks).
struct ReplaceQuestion {
    QString foundText;
    QString replacement;
    long position = 0; // of the found text's first character
    int line = 0;      // 0-based
    int index = 0;     // 0-based, in the line
};

using ReplaceConfirmer = std::function<ReplaceAction(const ReplaceQuestion&)>;

class EditorSearch {
public:
    explicit EditorSearch(QsciScintilla& editor) : editor_(editor) {}

    // Searches `text` with the options and selects the first occurrence found. When replacing it
    // replaces occurrences by `replacement`, asking `confirm` first while prompting; "Yes to all" stops
    // the asking. The whole replace command is one undo step. Returns how many occurrences were found.
    int run(const QString& text, const QString& replacement, const EditorSearchOptions& options,
            const ReplaceConfirmer& confirm);

    // What is done when nothing was found: the selection shrinks to its start (backwards) or end, and
    // the caret goes there.
    void collapseSelection(bool toStart);

    // The text was edited: a later "selected text only" search starts over in the new selection.
    void textChanged();

private:
    EditorRange selection() const;
    void select(const EditorRange& range, bool caretAtStart);
    std::optional<EditorRange> findIn(const EditorRange& range, const QString& expression, bool forward,
                                      const EditorSearchOptions& options);
    long positionAfter(long position) const;
    long positionBefore(long position) const;

    QsciScintilla& editor_;
    bool running_ = false;
    // The selection a "selected text only" search runs in and the occurrence selected last: while the
    // selection is still that occurrence, Find next and Find previous go on inside the same selection.
    std::optional<EditorRange> scope_;
    std::optional<EditorRange> lastMatch_;
};

} // namespace novrix::shell
