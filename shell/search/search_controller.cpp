#include "shell/search/search_controller.h"

#include "shell/search/confirm_placement.h"
#include "shell/search/confirm_replace_dialog.h"
#include "shell/search/text_search_dialog.h"

#include <QApplication>
#include <QWidget>
#include <Qsci/qsciscintilla.h>

namespace novrix::shell {
namespace {

template <typename Dialog>
std::optional<SearchDialogFields> execDialog(QWidget* parent, const SearchDialogFields& shown) {
    Dialog dialog(parent);
    dialog.setFields(shown);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.fields();
}

} // namespace

SearchController::SearchController(QsciScintilla& editor, QWidget* dialogParent)
    : QObject(dialogParent), editor_(editor), dialogParent_(dialogParent), search_(editor) {
    connect(&editor_, &QsciScintilla::textChanged, this, [this] { search_.textChanged(); });
}

SearchController::~SearchController() = default;

void SearchController::find() {
    showDialog(false);
}

void SearchController::replace() {
    showDialog(true);
}

void SearchController::findNext() {
    search(false, false);
}

void SearchController::findPrevious() {
    search(false, true);
}

void SearchController::showDialog(bool replacing) {
    const SearchDialogFields shown = state_.dialogFields(replacing, textAtCaret().toStdString());
    const std::optional<SearchDialogFields> answer =
        hooks_.showDialog ? hooks_.showDialog(replacing, shown) : runDialog(replacing, shown);
    if (!answer)
        return;
    state_.accept(*answer, replacing);
    if (state_.searchText().empty())
        return;
    search(replacing, state_.options().backwards);
    state_.setSearchFromCaret(true);
}

std::optional<SearchDialogFields> SearchController::runDialog(bool replacing,
                                                              const SearchDialogFields& shown) {
    if (replacing)
        return execDialog<TextReplaceDialog>(window(), shown);
    return execDialog<TextSearchDialog>(window(), shown);
}

void SearchController::search(bool replace, bool backwards) {
    const EditorSearchOptions options = state_.editorOptions(replace, backwards);
    const int found =
        search_.run(QString::fromStdString(state_.searchText()), QString::fromStdString(state_.replaceText()),
                    options, [this](const ReplaceQuestion& question) { return confirm(question); });
    if (found == 0) {
        if (hooks_.beep) {
            hooks_.beep();
        } else {
            QApplication::beep();
        }
        search_.collapseSelection(backwards);
    }
    confirmDialog_.reset();
}

ReplaceAction SearchController::confirm(const ReplaceQuestion& question) {
    if (question.foundText == question.replacement)
        return ReplaceAction::Skip;
    if (hooks_.confirmReplace)
        return hooks_.confirmReplace(question);
    return askWithDialog(question);
}

ReplaceAction SearchController::askWithDialog(const ReplaceQuestion& question) {
    if (!confirmDialog_)
        confirmDialog_ = std::make_unique<ConfirmReplaceDialog>(window());
    confirmDialog_->prepare(question.foundText);

    const auto position = static_cast<unsigned long>(question.position);
    const QPoint inViewport(
        static_cast<int>(editor_.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, position)),
        static_cast<int>(editor_.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, position)));
    const QPoint occurrence = editor_.viewport()->mapToGlobal(inViewport);
    const QWidget* area = window();
    const QRect client(area->mapToGlobal(QPoint(0, 0)), area->size());
    confirmDialog_->move(confirmDialogPosition(occurrence, editor_.textHeight(question.line), client,
                                               confirmDialog_->frameGeometry().size()));
    return confirmDialog_->ask();
}

QString SearchController::textAtCaret() const {
    int lineFrom = -1;
    int indexFrom = -1;
    int lineTo = -1;
    int indexTo = -1;
    editor_.getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    if (lineFrom >= 0 && lineFrom == lineTo)
        return editor_.selectedText();
    int line = 0;
    int index = 0;
    editor_.getCursorPosition(&line, &index);
    return editor_.wordAtLineIndex(line, index);
}

QWidget* SearchController::window() const {
    return dialogParent_ ? dialogParent_ : editor_.window();
}

} // namespace novrix::shell
