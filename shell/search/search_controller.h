#pragma once
// The Search menu on the script editor. Find and Replace open their dialog, loaded from the remembered
// search and the text at the caret, and on OK search the whole text (from its end backwards); Find next
// and Find previous search again from the caret with the remembered text and options. Replacing asks
// before each replacement, except where the found text already equals the replacement. When nothing is
// found the computer beeps and the selection shrinks to where the search would have gone on.
#include "shell/search/editor_search.h"
#include "shell/search/search_state.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class QWidget;
class QsciScintilla;

namespace novrix::shell {

class ConfirmReplaceDialog;

// Stand-ins for what needs a person or a loudspeaker. Tests set them; an empty member means the real
// dialog or the system's beep.
struct SearchControllerHooks {
    // Shows the search (replacing false) or the replace dialog filled with `shown`; what the dialog gives
    // back after OK, nothing when it was left otherwise.
    std::function<std::optional<SearchDialogFields>(bool replacing, const SearchDialogFields& shown)>
        showDialog;
    // Asks about one replacement; by default "Confirm replace" beside the occurrence.
    std::function<ReplaceAction(const ReplaceQuestion& question)> confirmReplace;
    // Sounds when nothing was found.
    std::function<void()> beep;
};

class SearchController : public QObject {
    Q_OBJECT
public:
    // `dialogParent` is the main window: the dialogs' parent, the area the confirmation is placed in, and
    // this object's parent. Without one the editor's window takes its place and nobody owns this object.
    SearchController(QsciScintilla& editor, QWidget* dialogParent);
    ~SearchController() override;

    void setHooks(SearchControllerHooks hooks) { hooks_ = std::move(hooks); }
    const SearchState& state() const { return state_; }

public slots:
    void find();         // "&Find", Ctrl+F
    void replace();      // "&Replace", Ctrl+R
    void findNext();     // "&Find next", F3
    void findPrevious(); // "Find &previous", F4

private:
    void showDialog(bool replacing);
    std::optional<SearchDialogFields> runDialog(bool replacing, const SearchDialogFields& shown);
    void search(bool replace, bool backwards);
    ReplaceAction confirm(const ReplaceQuestion& question);
    ReplaceAction askWithDialog(const ReplaceQuestion& question);
    QString textAtCaret() const;
    QWidget* window() const;

    QsciScintilla& editor_;
    QWidget* dialogParent_;
    SearchControllerHooks hooks_;
    SearchState state_;
    EditorSearch search_;
    // Exists from the first question of a replace command to its end.
    std::unique_ptr<ConfirmReplaceDialog> confirmDialog_;
};

} // namespace novrix::shell
