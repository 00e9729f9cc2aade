// Search and replace on the editor through the Search menu's slots, with the dialogs answered by the
// test: the scope (whole text, from the caret, the selection), the direction, case, whole words, regular
// expressions, the replace loop with its questions, and the beep and caret when nothing is found.
#include "shell/search/search_controller.h"

#include <Qsci/qsciscintilla.h>
#include <QtTest>
#include <deque>
#include <optional>
#include <vector>

using novrix::shell::EditorRange;
using novrix::shell::ReplaceAction;
using novrix::shell::ReplaceQuestion;
using novrix::shell::SearchController;
using novrix::shell::SearchControllerHooks;
using novrix::shell::SearchDialogFields;
using novrix::shell::SearchOptions;

namespace novrix::shell {
char* toString(const EditorRange& range) {
    return QTest::toString(QStringLiteral("[%1, %2)").arg(range.start).arg(range.end));
}
} // namespace novrix::shell

Q_DECLARE_METATYPE(SearchOptions)
Q_DECLARE_METATYPE(std::optional<EditorRange>)

namespace {

using Sci = QsciScintillaBase;

// An editor in a window, its search controller, and the test's answers to the dialogs.
struct Fixture {
    explicit Fixture(const QString& text) {
        editor.setUtf8(true);
        editor.setText(text);
        editor.setCursorPosition(0, 0);
        controller.setHooks(SearchControllerHooks{
            .showDialog =
                [this](bool replacing, const SearchDialogFields& shown) {
                    shownDialogs.push_back(shown);
                    return dialogAnswer ? dialogAnswer(replacing, shown) : std::nullopt;
                },
            .confirmReplace =
                [this](const ReplaceQuestion& question) {
                    questions.push_back(question);
                    selectionsAsked.push_back(selection());
                    if (answers.empty())
                        return ReplaceAction::Cancel;
                    ReplaceAction answer = answers.front();
                    answers.pop_front();
                    return answer;
                },
            .beep = [this] { ++beeps; },
        });
    }

    // Find from the dialog, with `text` typed and `options` chosen.
    void find(const QString& text, SearchOptions options = {}) {
        dialogAnswer = [=](bool, const SearchDialogFields& shown) {
            SearchDialogFields fields = shown;
            fields.searchText = text.toStdString();
            fields.options = options;
            return std::optional(fields);
        };
        controller.find();
    }

    // Replace from the dialog; `answers` are given to the questions in turn (Cancel when they run out).
    void replace(const QString& text, const QString& replacement, std::deque<ReplaceAction> replies,
                 SearchOptions options = {}) {
        answers = std::move(replies);
        dialogAnswer = [=](bool, const SearchDialogFields& shown) {
            SearchDialogFields fields = shown;
            fields.searchText = text.toStdString();
            fields.replaceText = replacement.toStdString();
            fields.options = options;
            return std::optional(fields);
        };
        controller.replace();
    }

    EditorRange selection() const {
        return {editor.SendScintilla(Sci::SCI_GETSELECTIONSTART),
                editor.SendScintilla(Sci::SCI_GETSELECTIONEND)};
    }
    long caret() const { return editor.SendScintilla(Sci::SCI_GETCURRENTPOS); }
    void select(long anchor, long caretPosition) {
        editor.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(anchor), caretPosition);
    }

    QWidget window;
    QsciScintilla editor{&window};
    SearchController controller{editor, &window};
    std::function<std::optional<SearchDialogFields>(bool, const SearchDialogFields&)> dialogAnswer;
    std::vector<SearchDialogFields> shownDialogs;
    std::deque<ReplaceAction> answers;
    std::vector<ReplaceQuestion> questions;
    std::vector<EditorRange> selectionsAsked;
    int beeps = 0;
};

} // namespace

class SearchReplaceTest : public QObject {
    Q_OBJECT
private slots:
    void findNextBeforeAnySearchFindsNothingAndBeeps() {
        Fixture fx("some text");
        fx.controller.findNext();
        QCOMPARE(fx.beeps, 1);
        fx.controller.findPrevious();
        QCOMPARE(fx.beeps, 2);
        QCOMPARE(fx.selection(), (EditorRange{0, 0}));
        QCOMPARE(fx.editor.text(), QStringLiteral("some text"));
    }

    void dialogSearchesTheWholeTextThenFindNextAndPreviousWalkOn() {
        Fixture fx("alpha beta alpha gamma alpha");
        fx.select(28, 28); // the caret at the end does not matter for the dialog's search
        fx.find("alpha");
        QCOMPARE(fx.selection(), (EditorRange{0, 5}));
        QCOMPARE(fx.caret(), 5L);
        QVERIFY(fx.controller.state().searchFromCaret());

        fx.controller.findNext();
        QCOMPARE(fx.selection(), (EditorRange{11, 16}));
        fx.controller.findNext();
        QCOMPARE(fx.selection(), (EditorRange{23, 28}));
        QCOMPARE(fx.beeps, 0);
        fx.controller.findNext();
        QCOMPARE(fx.beeps, 1);
        QCOMPARE(fx.selection(), (EditorRange{28, 28}));

        fx.controller.findPrevious();
        QCOMPARE(fx.selection(), (EditorRange{23, 28}));
        QCOMPARE(fx.caret(), 23L); // backwards the caret stands before the occurrence
        fx.controller.findPrevious();
        QCOMPARE(fx.selection(), (EditorRange{11, 16}));
        fx.controller.findNext(); // turning round does not find the selected occurrence again
        QCOMPARE(fx.selection(), (EditorRange{23, 28}));
        fx.controller.findPrevious();
        fx.controller.findPrevious();
        QCOMPARE(fx.selection(), (EditorRange{0, 5}));
        fx.controller.findPrevious();
        QCOMPARE(fx.beeps, 2);
        QCOMPARE(fx.selection(), (EditorRange{0, 0}));
    }

    void backwardDialogSearchStartsAtTheEnd() {
        Fixture fx("ab ab ab");
        fx.find("ab", {.backwards = true});
        QCOMPARE(fx.selection(), (EditorRange{6, 8}));
        // Adjacent occurrences are all found going backwards.
        Fixture adjacent("ababab");
        adjacent.find("ab", {.backwards = true});
        QCOMPARE(adjacent.selection(), (EditorRange{4, 6}));
        adjacent.controller.findPrevious();
        QCOMPARE(adjacent.selection(), (EditorRange{2, 4}));
        adjacent.controller.findPrevious();
        QCOMPARE(adjacent.selection(), (EditorRange{0, 2}));
    }

    void afterTheDialogTheSearchGoesOnFromTheCaret() {
        Fixture fx("x one x two x");
        fx.find("x");
        QCOMPARE(fx.selection(), (EditorRange{0, 1}));
        fx.select(9, 9); // the user moves the caret into "two"
        fx.controller.findNext();
        QCOMPARE(fx.selection(), (EditorRange{12, 13}));
        fx.select(9, 9);
        fx.controller.findPrevious();
        QCOMPARE(fx.selection(), (EditorRange{6, 7}));
    }

    void options_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<SearchOptions>("options");
        QTest::addColumn<std::optional<EditorRange>>("expected");
        using R = std::optional<EditorRange>;
        QTest::newRow("case ignored") << "foo Foo"
                                      << "FOO" << SearchOptions{} << R{{0, 3}};
        QTest::newRow("case sensitive") << "foo Foo"
                                        << "Foo" << SearchOptions{.caseSensitive = true} << R{{4, 7}};
        QTest::newRow("case sensitive, absent") << "foo"
                                                << "FOO" << SearchOptions{.caseSensitive = true} << R{};
        QTest::newRow("part of a word") << "foobar foo"
                                        << "foo" << SearchOptions{} << R{{0, 3}};
        QTest::newRow("whole words") << "foobar foo"
                                     << "foo" << SearchOptions{.wholeWords = true} << R{{7, 10}};
        QTest::newRow("plain text is literal") << "x12 x[0-9]+"
                                               << "x[0-9]+" << SearchOptions{} << R{{4, 11}};
        QTest::newRow("expression") << "ab x12 y3"
                                    << "x[0-9]+" << SearchOptions{.regularExpression = true} << R{{3, 6}};
        QTest::newRow("alternatives") << "a dog a cat"
                                      << "cat|dog" << SearchOptions{.regularExpression = true} << R{{2, 5}};
        QTest::newRow("expression, case ignored")
            << "xFoo"
            << "foo" << SearchOptions{.regularExpression = true} << R{{1, 4}};
        QTest::newRow("expression, case sensitive")
            << "Foo foo"
            << "foo" << SearchOptions{.caseSensitive = true, .regularExpression = true} << R{{4, 7}};
        QTest::newRow("expression, whole words")
            << "foobar fooo"
            << "fo+" << SearchOptions{.wholeWords = true, .regularExpression = true} << R{{7, 11}};
        QTest::newRow("expression with alternatives, whole words")
            << "cats dog"
            << "cat|dog" << SearchOptions{.wholeWords = true, .regularExpression = true} << R{{5, 8}};
        QTest::newRow("broken expression finds nothing")
            << "a (b"
            << "(" << SearchOptions{.regularExpression = true} << R{};
        QTest::newRow("past the first line") << "a\nb\nfind me"
                                             << "me" << SearchOptions{} << R{{9, 11}};
    }
    void options() {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(SearchOptions, options);
        QFETCH(std::optional<EditorRange>, expected);
        Fixture fx(text);
        fx.find(search, options);
        if (expected) {
            QCOMPARE(fx.selection(), *expected);
            QCOMPARE(fx.beeps, 0);
        } else {
            QCOMPARE(fx.beeps, 1);
        }
    }

    void findNextKeepsTheRegularExpressionTheReopenedDialogDropsIt() {
        Fixture fx("bar bir bur");
        fx.find("b.r", {.regularExpression = true});
        QCOMPARE(fx.selection(), (EditorRange{0, 3}));

        fx.dialogAnswer = nullptr; // the dialog is opened and cancelled
        fx.controller.find();
        QVERIFY(!fx.shownDialogs.back().options.regularExpression);
        QVERIFY(fx.controller.state().options().regularExpression);

        fx.controller.findNext();
        QCOMPARE(fx.selection(), (EditorRange{4, 7}));

        // Accepted as shown, the box is off and "b.r" is plain text again.
        fx.dialogAnswer = [](bool, const SearchDialogFields& shown) {
            SearchDialogFields fields = shown;
            fields.searchText = "b.r";
            return std::optional(fields);
        };
        fx.controller.find();
        QVERIFY(!fx.controller.state().options().regularExpression);
        QCOMPARE(fx.beeps, 1);
    }

    void dialogOpensWithTheTextAtTheCaret_data() {
        QTest::addColumn<long>("anchor");
        QTest::addColumn<long>("caretPosition");
        QTest::addColumn<QString>("expected");
        // "first line\nsecond word"
        QTest::newRow("selection on one line") << 2L << 8L << "rst li";
        QTest::newRow("selection over two lines: the word at the caret") << 6L << 13L << "second";
        QTest::newRow("caret inside a word") << 13L << 13L << "second";
        QTest::newRow("caret just behind a word") << 5L << 5L << "first";
        QTest::newRow("caret between spaces") << 18L << 18L << "";
    }
    void dialogOpensWithTheTextAtTheCaret() {
        QFETCH(long, anchor);
        QFETCH(long, caretPosition);
        QFETCH(QString, expected);
        Fixture fx("first line\nsecond  word");
        fx.find("remembered");
        fx.select(anchor, caretPosition);
        fx.dialogAnswer = nullptr;
        fx.controller.replace();
        QCOMPARE(QString::fromStdString(fx.shownDialogs.back().searchText), expected);
        QCOMPARE(fx.shownDialogs.back().searchHistory, std::vector<std::string>{"remembered"});
    }

    void selectedTextOnlyStaysInsideTheSelection() {
        Fixture fx("foo [foo foo] foo");
        fx.select(4, 13);
        fx.find("foo", {.selectedOnly = true});
        QCOMPARE(fx.selection(), (EditorRange{5, 8}));
        fx.controller.findNext();
        QCOMPARE(fx.selection(), (EditorRange{9, 12}));
        fx.controller.findPrevious();
        QCOMPARE(fx.selection(), (EditorRange{5, 8}));
        fx.controller.findPrevious();
        QCOMPARE(fx.beeps, 1); // not the "foo" before the selection
        QCOMPARE(fx.selection(), (EditorRange{5, 5}));

        fx.select(9, 12);
        fx.controller.findNext(); // a new selection is searched from its start
        QCOMPARE(fx.selection(), (EditorRange{9, 12}));
        fx.controller.findNext();
        QCOMPARE(fx.beeps, 2); // not the "foo" after the selection

        fx.select(4, 13);
        fx.find("foo", {.backwards = true, .selectedOnly = true});
        QCOMPARE(fx.selection(), (EditorRange{9, 12}));
    }

    void selectedTextOnlyWithoutSelectionSearchesTheWholeText() {
        Fixture fx("one foo");
        fx.find("foo", {.selectedOnly = true});
        QCOMPARE(fx.selection(), (EditorRange{4, 7}));
    }

    void editingEndsTheWalkThroughASelection() {
        Fixture fx("foo [foo foo] foo");
        fx.select(4, 13);
        fx.find("foo", {.selectedOnly = true});
        QCOMPARE(fx.selection(), (EditorRange{5, 8}));
        fx.editor.SendScintilla(Sci::SCI_INSERTTEXT, 17UL, "x");
        fx.select(5, 8); // the same occurrence, selected again by the user after the edit
        fx.controller.findNext();
        QCOMPARE(fx.selection(), (EditorRange{5, 8})); // a new scope: just this selection
    }

    void notFoundCollapsesTheSelectionTowardsTheSearch() {
        Fixture fx("one two three");
        fx.select(4, 7);
        fx.find("zzz");
        QCOMPARE(fx.beeps, 1);
        QCOMPARE(fx.selection(), (EditorRange{7, 7}));
        QCOMPARE(fx.caret(), 7L);

        fx.select(7, 4);
        fx.find("zzz", {.backwards = true});
        QCOMPARE(fx.beeps, 2);
        QCOMPARE(fx.selection(), (EditorRange{4, 4}));
        QCOMPARE(fx.caret(), 4L);
    }

    void cancelledOrEmptyDialogSearchesNothing() {
        Fixture fx("text");
        fx.controller.find();
        QCOMPARE(fx.shownDialogs.size(), std::size_t{1});
        QVERIFY(fx.controller.state().searchText().empty());
        fx.find("");
        QCOMPARE(fx.beeps, 0);
        QVERIFY(!fx.controller.state().searchFromCaret());
        QCOMPARE(fx.selection(), (EditorRange{0, 0}));
    }

    void replaceAsksEachTimeUntilYesToAll() {
        Fixture fx("a1 a2\na3 a4 a5");
        fx.replace("a", "xyz", {ReplaceAction::Replace, ReplaceAction::Skip, ReplaceAction::ReplaceAll});
        QCOMPARE(fx.editor.text(), QStringLiteral("xyz1 a2\nxyz3 xyz4 xyz5"));
        QCOMPARE(fx.questions.size(), std::size_t{3});
        QCOMPARE(fx.beeps, 0);
        const std::vector<EditorRange> asked{{0, 1}, {5, 6}, {8, 9}};
        QCOMPARE(fx.selectionsAsked, asked); // the occurrence is selected while asking
        QCOMPARE(fx.questions[2].foundText, QStringLiteral("a"));
        QCOMPARE(fx.questions[2].replacement, QStringLiteral("xyz"));
        QCOMPARE(fx.questions[2].position, 8L);
        QCOMPARE(fx.questions[2].line, 1);
        QCOMPARE(fx.questions[2].index, 0);
        QCOMPARE(fx.controller.state().replaceHistory(), std::vector<std::string>{"xyz"});

        fx.editor.undo(); // the whole command is one step
        QCOMPARE(fx.editor.text(), QStringLiteral("a1 a2\na3 a4 a5"));
    }

    void cancelEndsReplacingAndFindNextOnlyFinds() {
        Fixture fx("a1 a2 a3");
        fx.replace("a", "b", {ReplaceAction::Replace, ReplaceAction::Cancel});
        QCOMPARE(fx.editor.text(), QStringLiteral("b1 a2 a3"));
        QCOMPARE(fx.questions.size(), std::size_t{2});
        QCOMPARE(fx.selection(), (EditorRange{3, 4}));

        fx.controller.findNext();
        QCOMPARE(fx.selection(), (EditorRange{6, 7}));
        QCOMPARE(fx.questions.size(), std::size_t{2});
        QCOMPARE(fx.editor.text(), QStringLiteral("b1 a2 a3"));
    }

    void replaceBackwards() {
        Fixture fx("a1 a2 a3");
        fx.replace("a", "bb", {ReplaceAction::Replace, ReplaceAction::Skip, ReplaceAction::Replace},
                   {.backwards = true});
        QCOMPARE(fx.editor.text(), QStringLiteral("bb1 a2 bb3"));
        const std::vector<EditorRange> asked{{6, 7}, {3, 4}, {0, 1}};
        QCOMPARE(fx.selectionsAsked, asked);
    }

    void noQuestionWhenTheFoundTextEqualsTheReplacement() {
        Fixture same("a a a");
        same.replace("a", "a", {ReplaceAction::Replace, ReplaceAction::Replace, ReplaceAction::Replace});
        QVERIFY(same.questions.empty());
        QCOMPARE(same.editor.text(), QStringLiteral("a a a"));
        QCOMPARE(same.beeps, 0);

        // Case ignored, "A" is found for "a" and differs from the replacement "a": that one is asked.
        Fixture differing("A a");
        differing.replace("a", "a", {ReplaceAction::Replace});
        QCOMPARE(differing.questions.size(), std::size_t{1});
        QCOMPARE(differing.questions[0].foundText, QStringLiteral("A"));
        QCOMPARE(differing.editor.text(), QStringLiteral("a a"));
    }

    void replaceInsideTheSelectionFollowsItsGrowth() {
        Fixture fx("a [a a] a");
        fx.select(2, 7);
        fx.replace("a", "bbb", {ReplaceAction::ReplaceAll}, {.selectedOnly = true});
        QCOMPARE(fx.editor.text(), QStringLiteral("a [bbb bbb] a"));
        QCOMPARE(fx.questions.size(), std::size_t{1});

        Fixture shrinking("aa [aa aa aa] aa");
        shrinking.select(3, 13);
        shrinking.replace("aa", "", {ReplaceAction::ReplaceAll}, {.selectedOnly = true});
        QCOMPARE(shrinking.editor.text(), QStringLiteral("aa [  ] aa"));
    }

    void regularExpressionReplacement() {
        Fixture groups("x1 y2 z");
        groups.replace("([a-z])([0-9])", "\\2\\1", {ReplaceAction::ReplaceAll}, {.regularExpression = true});
        QCOMPARE(groups.editor.text(), QStringLiteral("1x 2y z"));
        QCOMPARE(groups.questions[0].foundText, QStringLiteral("x1"));

        Fixture lineStarts("one\ntwo\n\nthree");
        lineStarts.replace("^", "// ", {ReplaceAction::ReplaceAll}, {.regularExpression = true});
        QCOMPARE(lineStarts.editor.text(), QStringLiteral("// one\n// two\n// \n// three"));
    }

    void emptyMatchesDoNotRepeatForever() {
        Fixture fx("bab");
        fx.replace("a*", "-", {ReplaceAction::ReplaceAll}, {.regularExpression = true});
        const QString result = fx.editor.text();
        QVERIFY2(!result.contains('a'), qPrintable(result));
        QCOMPARE(QString(result).remove('-'), QStringLiteral("bb"));
        QVERIFY2(result.size() <= 6, qPrintable(result));

        Fixture finding("ab");
        finding.find("x*", {.regularExpression = true});
        QCOMPARE(finding.selection(), (EditorRange{0, 0}));
        finding.controller.findNext();
        QCOMPARE(finding.selection(), (EditorRange{1, 1}));
        finding.controller.findNext(); // the end of the text is no range to search any more
        QCOMPARE(finding.beeps, 1);
    }
};

QTEST_MAIN(SearchReplaceTest)
#include "search_replace_test.moc"
