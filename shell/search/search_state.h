#pragma once
// The search the main window remembers for the whole program run (it is never saved): the search and
// replacement texts with their histories, the options of the last accepted dialog, and whether the next
// search starts at the caret. It decides what a newly opened dialog shows, what an accepted dialog
// leaves behind, and which options the editor searches with for a command. Plain C++, no widgets.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace novrix::shell {

inline constexpr std::size_t kSearchHistoryLength = 10;

// The check boxes and the direction of the search and replace dialogs.
struct SearchOptions {
    bool backwards = false;
    bool caseSensitive = false;
    bool selectedOnly = false;
    bool wholeWords = false;
    bool regularExpression = false;

    bool operator==(const SearchOptions&) const = default;
};

// What the search and replace dialogs show and give back. Histories are newest first; the replace
// fields are used by the replace dialog only.
struct SearchDialogFields {
    std::string searchText;
    std::vector<std::string> searchHistory;
    std::string replaceText;
    std::vector<std::string> replaceHistory;
    SearchOptions options;

    bool operator==(const SearchDialogFields&) const = default;
};

// The options of one editor search. `regularExpression` chooses the regular-expression engine instead of
// the plain-text one; `entireScope` means the whole text (or selection) rather than from the caret on.
struct EditorSearchOptions {
    bool replace = false;
    bool replaceAll = false;
    bool prompt = false;
    bool backwards = false;
    bool matchCase = false;
    bool entireScope = false;
    bool selectedOnly = false;
    bool wholeWord = false;
    bool regularExpression = false;

    bool operator==(const EditorSearchOptions&) const = default;
};

// Moves a non-empty text to the top of a newest-first history, or inserts it there; an empty text
// leaves the history as it is. The history is not shortened here.
void moveToTop(std::vector<std::string>& history, std::string_view text);

// The first kSearchHistoryLength entries of a history.
std::vector<std::string> keptHistory(const std::vector<std::string>& history);

class SearchState {
public:
    // The fields of a newly opened dialog. `textAtCaret` (the one-line selection or the word at the
    // caret) becomes the search text. The regular-expression box always starts unchecked.
    SearchDialogFields dialogFields(bool replacing, std::string textAtCaret) const;

    // Takes over what an accepted dialog gives back: the texts go to the top of their histories (10
    // kept) and the next search covers the whole text again.
    void accept(const SearchDialogFields& fields, bool replacing);

    // The editor's options for a search command: replacing asks before each replacement and goes on
    // through the whole scope.
    EditorSearchOptions editorOptions(bool replace, bool backwards) const;

    void setSearchFromCaret(bool fromCaret) { searchFromCaret_ = fromCaret; }
    bool searchFromCaret() const { return searchFromCaret_; }

    const SearchOptions& options() const { return options_; }
    const std::string& searchText() const { return searchText_; }
    const std::vector<std::string>& searchHistory() const { return searchHistory_; }
    const std::string& replaceText() const { return replaceText_; }
    const std::vector<std::string>& replaceHistory() const { return replaceHistory_; }

private:
    SearchOptions options_;
    std::string searchText_;
    std::vector<std::string> searchHistory_;
    std::string replaceText_;
    std::vector<std::string> replaceHistory_;
    bool searchFromCaret_ = false;
};

} // namespace novrix::shell
