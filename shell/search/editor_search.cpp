#include "shell/search/editor_search.h"

#include <algorithm>

namespace novrix::shell {
namespace {

using Sci = QsciScintillaBase;

long send(const QsciScintilla& editor, unsigned int message, long wParam = 0, long lParam = 0) {
    return editor.SendScintilla(message, static_cast<unsigned long>(wParam), lParam);
}

// Every change of one replace command becomes a single undo step.
class UndoGroup {
public:
    UndoGroup(QsciScintilla& editor, bool active) : editor_(editor), active_(active) {
        if (active_)
            editor_.beginUndoAction();
    }
    ~UndoGroup() {
        if (active_)
            editor_.endUndoAction();
    }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    QsciScintilla& editor_;
    bool active_;
};

// Marks the search as running, so that its own replacements do not count as the user's edits.
class RunningGuard {
public:
    explicit RunningGuard(bool& running) : running_(running) { running_ = true; }
    ~RunningGuard() { running_ = false; }
    RunningGuard(const RunningGuard&) = delete;
    RunningGuard& operator=(const RunningGuard&) = delete;

private:
    bool& running_;
};

} // namespace

int EditorSearch::run(const QString& text, const QString& replacement, const EditorSearchOptions& options,
                      const ReplaceConfirmer& confirm) {
    if (text.isEmpty())
        return 0;
    RunningGuard running(running_);
    const bool forward = !options.backwards;
    const EditorRange selected = selection();
    const long length = send(editor_, Sci::SCI_GETLENGTH);
    const bool onLastMatch = lastMatch_ && selected == *lastMatch_;

    // The scope: the whole text, or with "selected text only" the selection. A selection that is the
    // occurrence found last belongs to the selection searched before, which Find next goes on through;
    // any other selection is a new scope and is searched from its start (its end backwards).
    EditorRange scope{0, length};
    bool inSelection = false;
    bool fromCaret = !options.entireScope;
    if (options.selectedOnly) {
        if (onLastMatch && scope_ && scope_->contains(selected) && scope_->end <= length) {
            scope = *scope_;
            inSelection = true;
        } else if (!selected.empty()) {
            scope = selected;
            inSelection = true;
            fromCaret = false;
        }
    }

    // From the caret, a search goes on behind the selection (before it backwards), so that it does not
    // find the selected occurrence again; an empty occurrence is stepped over by one character.
    EditorRange remaining = scope;
    if (fromCaret) {
        const bool stepOver = onLastMatch && lastMatch_->empty();
        if (forward) {
            const long from = stepOver ? positionAfter(selected.end) : selected.end;
            remaining.start = std::clamp(from, scope.start, scope.end);
        } else {
            const long to = stepOver ? positionBefore(selected.start) : selected.start;
            remaining.end = std::clamp(to, scope.start, scope.end);
        }
    }

    // The regular-expression engine ignores the whole-word flag, so the expression is bounded instead.
    const QString expression = options.regularExpression && options.wholeWord
                                   ? QStringLiteral("\\b(?:") + text + QStringLiteral(")\\b")
                                   : text;

    UndoGroup undo(editor_, options.replace);
    int found = 0;
    bool prompt = options.prompt;
    while (std::optional<EditorRange> match = findIn(remaining, expression, forward, options)) {
        ++found;
        select(*match, !forward);
        lastMatch_ = *match;
        if (!options.replace)
            break;

        ReplaceAction action = ReplaceAction::Replace;
        if (prompt && confirm) {
            ReplaceQuestion question{editor_.selectedText(), replacement, match->start, 0, 0};
            editor_.lineIndexFromPosition(static_cast<int>(match->start), &question.line, &question.index);
            action = confirm(question);
        }
        if (action == ReplaceAction::Cancel)
            break;
        if (action == ReplaceAction::ReplaceAll)
            prompt = false;

        long end = match->end;
        if (action != ReplaceAction::Skip) {
            editor_.replace(replacement);
            end = send(editor_, Sci::SCI_GETSELECTIONEND);
            const long growth = end - match->end;
            remaining.end += growth;
            scope.end += growth;
            lastMatch_ = EditorRange{match->start, end};
            select(*lastMatch_, !forward);
        }
        if (!options.replaceAll)
            break;

        if (forward) {
            remaining.start = match->empty() ? positionAfter(end) : end;
        } else if (match->empty()) {
            if (match->start <= remaining.start)
                break;
            remaining.end = positionBefore(match->start);
        } else {
            remaining.end = match->start;
        }
    }

    if (inSelection) {
        scope_ = scope;
    } else {
        scope_.reset();
    }
    return found;
}

void EditorSearch::collapseSelection(bool toStart) {
    const EditorRange selected = selection();
    const long position = toStart ? selected.start : selected.end;
    send(editor_, Sci::SCI_SETSEL, position, position);
}

void EditorSearch::textChanged() {
    if (running_)
        return;
    scope_.reset();
    lastMatch_.reset();
}

EditorRange EditorSearch::selection() const {
    return {send(editor_, Sci::SCI_GETSELECTIONSTART), send(editor_, Sci::SCI_GETSELECTIONEND)};
}

void EditorSearch::select(const EditorRange& range, bool caretAtStart) {
    if (caretAtStart) {
        send(editor_, Sci::SCI_SETSEL, range.end, range.start);
    } else {
        send(editor_, Sci::SCI_SETSEL, range.start, range.end);
    }
}

std::optional<EditorRange> EditorSearch::findIn(const EditorRange& range, const QString& expression,
                                                bool forward, const EditorSearchOptions& options) {
    if (range.start >= range.end)
        return std::nullopt;
    const long anchor = send(editor_, Sci::SCI_GETANCHOR);
    const long caret = send(editor_, Sci::SCI_GETCURRENTPOS);
    const long firstLine = send(editor_, Sci::SCI_GETFIRSTVISIBLELINE);
    const long xOffset = send(editor_, Sci::SCI_GETXOFFSET);

    // QScintilla bounds a search at both ends only inside the selection, so the range is selected first
    // (without scrolling). When nothing is found, the selection and the view are put back as they were.
    send(editor_, Sci::SCI_SETANCHOR, range.start);
    send(editor_, Sci::SCI_SETCURRENTPOS, range.end);
    const bool regex = options.regularExpression;
    const bool found =
        editor_.findFirstInSelection(expression, regex, options.matchCase, options.wholeWord && !regex,
                                     forward, /*show=*/true, /*posix=*/false, /*cxx11=*/regex);
    if (found)
        return selection();

    send(editor_, Sci::SCI_SETANCHOR, anchor);
    send(editor_, Sci::SCI_SETCURRENTPOS, caret);
    send(editor_, Sci::SCI_SETFIRSTVISIBLELINE, firstLine);
    send(editor_, Sci::SCI_SETXOFFSET, xOffset);
    return std::nullopt;
}

long EditorSearch::positionAfter(long position) const {
    return send(editor_, Sci::SCI_POSITIONAFTER, position);
}

long EditorSearch::positionBefore(long position) const {
    return send(editor_, Sci::SCI_POSITIONBEFORE, position);
}

} // namespace novrix::shell
