// The remembered search: histories newest first without doubles and 10 long, what a newly opened dialog
// shows, what an accepted dialog leaves behind, and the editor options each command searches with.
#include "shell/search/search_state.h"

#include <QtTest>
#include <algorithm>
#include <string>
#include <vector>

using novrix::shell::EditorSearchOptions;
using novrix::shell::kSearchHistoryLength;
using novrix::shell::SearchDialogFields;
using novrix::shell::SearchState;

using History = std::vector<std::string>;
Q_DECLARE_METATYPE(History)
Q_DECLARE_METATYPE(EditorSearchOptions)

namespace {

SearchDialogFields accepted(std::string text, History history = {}) {
    SearchDialogFields fields;
    fields.searchText = std::move(text);
    fields.searchHistory = std::move(history);
    return fields;
}

} // namespace

class SearchStateTest : public QObject {
    Q_OBJECT
private slots:
    void moveToTop_data() {
        QTest::addColumn<History>("history");
        QTest::addColumn<QString>("text");
        QTest::addColumn<History>("expected");
        QTest::newRow("new text goes first") << History{"b", "c"} << "a" << History{"a", "b", "c"};
        QTest::newRow("known text moves up, not doubled")
            << History{"a", "b", "c"} << "c" << History{"c", "a", "b"};
        QTest::newRow("already first") << History{"a", "b"} << "a" << History{"a", "b"};
        QTest::newRow("empty text ignored") << History{"a"} << "" << History{"a"};
        QTest::newRow("case counts") << History{"abc"} << "ABC" << History{"ABC", "abc"};
        QTest::newRow("into an empty history") << History{} << "x" << History{"x"};
    }
    void moveToTop() {
        QFETCH(History, history);
        QFETCH(QString, text);
        QFETCH(History, expected);
        novrix::shell::moveToTop(history, text.toStdString());
        QCOMPARE(history, expected);
    }

    void acceptedTextsLeadTheirHistoriesAndTenAreKept() {
        SearchState state;
        for (int i = 1; i <= 12; ++i) {
            SearchDialogFields fields = state.dialogFields(false, "");
            fields.searchText = "text" + std::to_string(i);
            state.accept(fields, false);
        }
        History expected;
        for (int i = 12; i > 2; --i)
            expected.push_back("text" + std::to_string(i));
        QCOMPARE(state.searchHistory(), expected);
        QCOMPARE(state.searchHistory().size(), kSearchHistoryLength);

        // A text searched again moves up without doubling; the oldest stays out.
        SearchDialogFields again = state.dialogFields(false, "");
        again.searchText = "text7";
        state.accept(again, false);
        QCOMPARE(state.searchHistory().front(), std::string("text7"));
        QCOMPARE(std::count(state.searchHistory().begin(), state.searchHistory().end(), "text7"), 1);
        QCOMPARE(state.searchHistory().size(), kSearchHistoryLength);
        QCOMPARE(state.searchText(), std::string("text7"));
    }

    void replaceFieldsCountOnlyWhenReplacing() {
        SearchState state;
        SearchDialogFields fields = accepted("find");
        fields.replaceText = "with";
        state.accept(fields, true);
        QCOMPARE(state.replaceText(), std::string("with"));
        QCOMPARE(state.replaceHistory(), History{"with"});

        // A plain search dialog leaves the replacement alone, and only the replace dialog shows it.
        SearchDialogFields search = accepted("other", state.searchHistory());
        search.replaceText = "ignored";
        state.accept(search, false);
        QCOMPARE(state.replaceText(), std::string("with"));
        QCOMPARE(state.searchHistory(), (History{"other", "find"}));
        QCOMPARE(state.dialogFields(false, "").replaceText, std::string());
        QVERIFY(state.dialogFields(false, "").replaceHistory.empty());
        QCOMPARE(state.dialogFields(true, "").replaceText, std::string("with"));
        QCOMPARE(state.dialogFields(true, "").replaceHistory, History{"with"});

        // An empty replacement is taken over but does not enter the history.
        SearchDialogFields emptied = state.dialogFields(true, "find");
        emptied.replaceText.clear();
        state.accept(emptied, true);
        QCOMPARE(state.replaceText(), std::string());
        QCOMPARE(state.replaceHistory(), History{"with"});
    }

    void openingDialogShowsTextAtCaretAndOptionsButNeverTheRegularExpression() {
        SearchState state;
        SearchDialogFields fields = accepted("remembered");
        fields.options = {.backwards = true,
                          .caseSensitive = true,
                          .selectedOnly = true,
                          .wholeWords = true,
                          .regularExpression = true};
        state.accept(fields, false);
        QVERIFY(state.options().regularExpression);

        SearchDialogFields shown = state.dialogFields(false, "wordAtCaret");
        QCOMPARE(shown.searchText, std::string("wordAtCaret"));
        QCOMPARE(shown.searchHistory, History{"remembered"});
        QVERIFY(shown.options.backwards);
        QVERIFY(shown.options.caseSensitive);
        QVERIFY(shown.options.selectedOnly);
        QVERIFY(shown.options.wholeWords);
        QVERIFY(!shown.options.regularExpression);
        // The remembered search still uses the regular expression until a dialog says otherwise.
        QVERIFY(state.editorOptions(false, false).regularExpression);
    }

    void editorOptions_data() {
        QTest::addColumn<bool>("replace");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<bool>("fromCaret");
        QTest::addColumn<EditorSearchOptions>("expected");
        QTest::newRow("find from the dialog")
            << false << false << false
            << EditorSearchOptions{.matchCase = true, .entireScope = true, .wholeWord = true};
        QTest::newRow("find next") << false << false << true
                                   << EditorSearchOptions{.matchCase = true, .wholeWord = true};
        QTest::newRow("find previous")
            << false << true << true
            << EditorSearchOptions{.backwards = true, .matchCase = true, .wholeWord = true};
        QTest::newRow("replace from the dialog") << true << false << false
                                                 << EditorSearchOptions{.replace = true,
                                                                        .replaceAll = true,
                                                                        .prompt = true,
                                                                        .matchCase = true,
                                                                        .entireScope = true,
                                                                        .wholeWord = true};
        QTest::newRow("replace backwards") << true << true << false
                                           << EditorSearchOptions{.replace = true,
                                                                  .replaceAll = true,
                                                                  .prompt = true,
                                                                  .backwards = true,
                                                                  .matchCase = true,
                                                                  .entireScope = true,
                                                                  .wholeWord = true};
    }
    void editorOptions() {
        QFETCH(bool, replace);
        QFETCH(bool, backwards);
        QFETCH(bool, fromCaret);
        QFETCH(EditorSearchOptions, expected);
        SearchState state;
        SearchDialogFields fields = accepted("x");
        fields.options.caseSensitive = true;
        fields.options.wholeWords = true;
        state.accept(fields, false);
        state.setSearchFromCaret(fromCaret);
        QCOMPARE(state.editorOptions(replace, backwards), expected);
    }

    void eachOptionReachesTheEditor() {
        struct Case {
            const char* name;
            novrix::shell::SearchOptions options;
            EditorSearchOptions expected;
        };
        const Case cases[] = {
            {"case", {.caseSensitive = true}, {.matchCase = true, .entireScope = true}},
            {"selection", {.selectedOnly = true}, {.entireScope = true, .selectedOnly = true}},
            {"whole words", {.wholeWords = true}, {.entireScope = true, .wholeWord = true}},
            {"regular expression",
             {.regularExpression = true},
             {.entireScope = true, .regularExpression = true}},
            // The dialog's direction is the dialog's search; Find next always goes forward.
            {"backwards chosen", {.backwards = true}, {.entireScope = true}},
        };
        for (const Case& c : cases) {
            SearchState state;
            SearchDialogFields fields = accepted("x");
            fields.options = c.options;
            state.accept(fields, false);
            QVERIFY2(state.editorOptions(false, false) == c.expected, c.name);
        }
    }

    void acceptingStartsOverFromTheWholeText() {
        SearchState state;
        QVERIFY(!state.searchFromCaret());
        QVERIFY(state.editorOptions(false, false).entireScope);
        state.setSearchFromCaret(true);
        state.accept(accepted("again"), false);
        QVERIFY(!state.searchFromCaret());
    }
};

QTEST_MAIN(SearchStateTest)
#include "search_state_test.moc"
