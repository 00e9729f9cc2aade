#include "shell/search/search_state.h"

#include <algorithm>

namespace novrix::shell {

void moveToTop(std::vector<std::string>& history, std::string_view text) {
    if (text.empty())
        return;
    auto found = std::find(history.begin(), history.end(), text);
    if (found == history.end()) {
        history.insert(history.begin(), std::string(text));
    } else {
        std::rotate(history.begin(), found, found + 1);
    }
}

std::vector<std::string> keptHistory(const std::vector<std::string>& history) {
    std::size_t kept = std::min(history.size(), kSearchHistoryLength);
    return {history.begin(), history.begin() + static_cast<std::ptrdiff_t>(kept)};
}

SearchDialogFields SearchState::dialogFields(bool replacing, std::string textAtCaret) const {
    SearchDialogFields fields;
    fields.options = options_;
    fields.options.regularExpression = false;
    fields.searchText = std::move(textAtCaret);
    fields.searchHistory = searchHistory_;
    if (replacing) {
        fields.replaceText = replaceText_;
        fields.replaceHistory = replaceHistory_;
    }
    return fields;
}

void SearchState::accept(const SearchDialogFields& fields, bool replacing) {
    options_ = fields.options;
    searchText_ = fields.searchText;
    std::vector<std::string> history = fields.searchHistory;
    moveToTop(history, searchText_);
    searchHistory_ = keptHistory(history);
    if (replacing) {
        replaceText_ = fields.replaceText;
        history = fields.replaceHistory;
        moveToTop(history, replaceText_);
        replaceHistory_ = keptHistory(history);
    }
    searchFromCaret_ = false;
}

EditorSearchOptions SearchState::editorOptions(bool replace, bool backwards) const {
    EditorSearchOptions editor;
    editor.replace = replace;
    editor.replaceAll = replace;
    editor.prompt = replace;
    editor.backwards = backwards;
    editor.matchCase = options_.caseSensitive;
    editor.entireScope = !searchFromCaret_;
    editor.selectedOnly = options_.selectedOnly;
    editor.wholeWord = options_.wholeWords;
    editor.regularExpression = options_.regularExpression;
    return editor;
}

} // namespace novrix::shell
