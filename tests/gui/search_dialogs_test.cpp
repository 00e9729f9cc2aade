// The search, replace and confirmation dialogs as the user meets them: driven through their widgets while
// their modal loop runs, and where the confirmation goes relative to the found text.
#include "shell/search/confirm_placement.h"
#include "shell/search/confirm_replace_dialog.h"
#include "shell/search/search_controller.h"
#include "shell/search/text_search_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>
#include <QtTest>
#include <functional>
#include <vector>

using novrix::shell::confirmDialogPosition;
using novrix::shell::ConfirmReplaceDialog;
using novrix::shell::SearchController;
using novrix::shell::SearchControllerHooks;
using novrix::shell::SearchDialogFields;
using novrix::shell::TextReplaceDialog;
using novrix::shell::TextSearchDialog;

namespace {

using Sci = QsciScintillaBase;

// Answers each showing of a modal dialog of type Dialog while a command runs. An answer that leaves the
// dialog open is followed by Cancel, so that a failing test never hangs in the dialog.
template <typename Dialog>
class Answerer {
public:
    explicit Answerer(std::function<void(Dialog&)> answer) : answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(5);
    }
    int showings() const { return showings_; }

private:
    void poll() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<Dialog*>(widget);
            if (!dialog || !dialog->isVisible())
                continue;
            ++showings_;
            answer_(*dialog);
            if (dialog->isVisible())
                dialog->reject();
            return;
        }
    }

    std::function<void(Dialog&)> answer_;
    QTimer timer_;
    int showings_ = 0;
};

template <typename T>
T* child(QWidget& parent, const char* name) {
    return parent.findChild<T*>(QString::fromLatin1(name));
}

void typeInto(QComboBox* box, const QString& text) {
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
}

void press(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

int confirmDialogsAlive() {
    int alive = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        alive += qobject_cast<ConfirmReplaceDialog*>(widget) ? 1 : 0;
    return alive;
}

// A shown window filled by the editor, with its search controller; only the beep is counted.
struct EditorWindow {
    explicit EditorWindow(const QString& text) {
        window.setGeometry(40, 40, 640, 480);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(&editor);
        editor.setUtf8(true);
        editor.setText(text);
        SearchControllerHooks hooks;
        hooks.beep = [this] { ++beeps; };
        controller.setHooks(hooks);
        window.show();
    }

    std::pair<long, long> selection() const {
        return {editor.SendScintilla(Sci::SCI_GETSELECTIONSTART),
                editor.SendScintilla(Sci::SCI_GETSELECTIONEND)};
    }
    // The line of the selected occurrence, in screen coordinates.
    QRect occurrenceLine() const {
        const auto start = static_cast<unsigned long>(selection().first);
        const QPoint topLeft(static_cast<int>(editor.SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, start)),
                             static_cast<int>(editor.SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, start)));
        int line = 0;
        int index = 0;
        editor.lineIndexFromPosition(static_cast<int>(start), &line, &index);
        return {editor.viewport()->mapToGlobal(topLeft), QSize(1, editor.textHeight(line))};
    }

    QWidget window;
    QsciScintilla editor;
    SearchController controller{editor, &window};
    int beeps = 0;
};

} // namespace

class SearchDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void confirmPlacement_data() {
        QTest::addColumn<QPoint>("occurrence");
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QPoint>("expected");
        // Dialog 328 x 98, line height 20; the window's two-thirds mark is at 50 + 400 = 450.
        const QRect window(100, 50, 800, 600);
        QTest::newRow("upper part: below the line") << QPoint(300, 200) << window << QPoint(300, 224);
        QTest::newRow("lower third: above the line") << QPoint(300, 500) << window << QPoint(300, 398);
        QTest::newRow("line ending on the mark: below") << QPoint(300, 430) << window << QPoint(300, 454);
        QTest::newRow("line ending past the mark: above") << QPoint(300, 431) << window << QPoint(300, 329);
        // 100 * 2 / 3 is rounded to 67, not cut to 66: a line ending at 50 + 67 is still below.
        const QRect low(100, 50, 800, 100);
        QTest::newRow("two thirds rounded, below") << QPoint(300, 97) << low << QPoint(300, 121);
        QTest::newRow("two thirds rounded, above") << QPoint(300, 98) << low << QPoint(300, -4);
        QTest::newRow("kept inside the right edge") << QPoint(800, 200) << window << QPoint(900 - 328, 224);
        QTest::newRow("just fits at the right edge") << QPoint(572, 200) << window << QPoint(572, 224);
        QTest::newRow("narrower window: centred")
            << QPoint(150, 200) << QRect(100, 50, 200, 600) << QPoint(100 - 64, 224);
        QTest::newRow("as wide as the dialog: centred")
            << QPoint(150, 200) << QRect(100, 50, 328, 600) << QPoint(100, 224);
    }
    void confirmPlacement() {
        QFETCH(QPoint, occurrence);
        QFETCH(QRect, window);
        QFETCH(QPoint, expected);
        QCOMPARE(confirmDialogPosition(occurrence, 20, window, QSize(328, 98)), expected);
    }

    void dialogsCarryTheirCaptionsAndControls() {
        TextSearchDialog search;
        QCOMPARE(search.windowTitle(), QStringLiteral("Search Text"));
        QVERIFY(!child<QComboBox>(search, "cbReplaceText"));
        TextReplaceDialog replace;
        QCOMPARE(replace.windowTitle(), QStringLiteral("Replace text"));
        QVERIFY(child<QComboBox>(replace, "cbReplaceText"));
        QStringList labels;
        for (QLabel* label : replace.findChildren<QLabel*>())
            labels << label->text();
        QCOMPARE(labels, (QStringList{"&Search for:", "&Replace with:"}));

        const std::pair<const char*, const char*> boxes[] = {{"cbSearchCaseSensitive", "C&ase sensitivity"},
                                                             {"cbSearchWholeWords", "&Whole words only"},
                                                             {"cbSearchSelectedOnly", "&Selected text only"},
                                                             {"cbRegularExpression", "&Regular expression"}};
        for (const auto& [name, caption] : boxes) {
            auto* box = child<QCheckBox>(search, name);
            QVERIFY2(box, name);
            QCOMPARE(box->text(), QString::fromLatin1(caption));
            QCOMPARE(box->parentWidget(), child<QGroupBox>(search, "gbSearchOptions"));
        }
        QCOMPARE(child<QGroupBox>(search, "gbSearchOptions")->title(), QStringLiteral("Options"));
        auto* direction = child<QGroupBox>(search, "rgSearchDirection");
        QCOMPARE(direction->title(), QStringLiteral("Direction"));
        const QList<QRadioButton*> radios = direction->findChildren<QRadioButton*>();
        QCOMPARE(radios.size(), 2);
        QCOMPARE(radios[0]->text(), QStringLiteral("&Forward"));
        QCOMPARE(radios[1]->text(), QStringLiteral("&Backward"));
        QVERIFY(radios[0]->isChecked());
        QVERIFY(child<QPushButton>(search, "btnOK")->isDefault());
        QCOMPARE(child<QPushButton>(search, "btnCancel")->text(), QStringLiteral("Cancel"));

        ConfirmReplaceDialog confirm;
        QCOMPARE(confirm.windowTitle(), QStringLiteral("Confirm replace"));
        const std::pair<const char*, const char*> buttons[] = {{"btnReplace", "&Yes"},
                                                               {"btnSkip", "&No"},
                                                               {"btnCancel", "Cancel"},
                                                               {"btnReplaceAll", "Yes to &all"}};
        for (const auto& [name, caption] : buttons) {
            auto* button = child<QPushButton>(confirm, name);
            QVERIFY2(button, name);
            QCOMPARE(button->text(), QString::fromLatin1(caption));
        }
        QVERIFY(child<QPushButton>(confirm, "btnReplace")->isDefault());
        QVERIFY(child<QLabel>(confirm, "Image1"));
        QVERIFY(confirm.width() >= 328 && confirm.height() >= 98);
        confirm.prepare(QStringLiteral("<b>x</b> & y"));
        QCOMPARE(confirm.question(), QStringLiteral("Replace this occurence of \"<b>x</b> & y\"?"));
        QCOMPARE(child<QLabel>(confirm, "lblConfirmation")->textFormat(), Qt::PlainText);
        // A long found text is wrapped and shown whole: the dialog grows.
        confirm.prepare(QStringLiteral("word ").repeated(60));
        QVERIFY(confirm.height() > 98);
        QVERIFY(confirm.layout()->totalHeightForWidth(confirm.width()) <= confirm.height());
    }

    void dialogShowsAndReturnsItsFieldsButNeverARegularExpression() {
        TextReplaceDialog dialog;
        SearchDialogFields fields;
        fields.searchText = "now";
        fields.searchHistory = {"older", "oldest"};
        fields.replaceText = "with";
        fields.replaceHistory = {"w1"};
        fields.options = {
            .backwards = true, .caseSensitive = true, .wholeWords = true, .regularExpression = true};
        dialog.setFields(fields);

        SearchDialogFields shown = fields;
        shown.options.regularExpression = false;
        QCOMPARE(dialog.fields(), shown);
        QVERIFY(!child<QCheckBox>(dialog, "cbRegularExpression")->isChecked());
        QVERIFY(child<QGroupBox>(dialog, "rgSearchDirection")->findChildren<QRadioButton*>()[1]->isChecked());

        // OK puts the texts on top of their lists.
        dialog.accept();
        QCOMPARE(dialog.fields().searchHistory, (std::vector<std::string>{"now", "older", "oldest"}));
        QCOMPARE(dialog.fields().replaceHistory, (std::vector<std::string>{"with", "w1"}));
        QCOMPARE(dialog.fields().searchText, std::string("now"));
    }

    void findThroughTheDialog() {
        EditorWindow fx("alpha beta gamma beta");
        QVERIFY(QTest::qWaitForWindowExposed(&fx.window));
        fx.editor.setCursorPosition(0, 7); // inside "beta"

        QString offered;
        {
            Answerer<TextSearchDialog> answer([&](TextSearchDialog& dialog) {
                offered = child<QComboBox>(dialog, "cbSearchText")->currentText();
                typeInto(child<QComboBox>(dialog, "cbSearchText"), QStringLiteral("b.ta"));
                child<QCheckBox>(dialog, "cbRegularExpression")->click();
                dialog.findChildren<QRadioButton*>()[1]->click(); // "&Backward"
                QTest::keyClick(child<QComboBox>(dialog, "cbSearchText")->lineEdit(), Qt::Key_Return);
            });
            fx.controller.find();
            QCOMPARE(answer.showings(), 1);
        }
        QCOMPARE(offered, QStringLiteral("beta"));
        QCOMPARE(fx.selection(), (std::pair<long, long>{17, 21})); // the last match, searched backwards
        QVERIFY(fx.controller.state().options().regularExpression);
        QCOMPARE(fx.controller.state().searchHistory(), std::vector<std::string>{"b.ta"});

        // Opened again: the box is unchecked, the direction kept, the history offered; Escape leaves it.
        bool regexShown = true;
        bool backwardShown = false;
        QStringList history;
        {
            Answerer<TextSearchDialog> answer([&](TextSearchDialog& dialog) {
                regexShown = child<QCheckBox>(dialog, "cbRegularExpression")->isChecked();
                backwardShown = dialog.findChildren<QRadioButton*>()[1]->isChecked();
                auto* box = child<QComboBox>(dialog, "cbSearchText");
                for (int i = 0; i < box->count(); ++i)
                    history << box->itemText(i);
                QTest::keyClick(&dialog, Qt::Key_Escape);
            });
            fx.controller.find();
            QCOMPARE(answer.showings(), 1);
        }
        QVERIFY(!regexShown);
        QVERIFY(backwardShown);
        QCOMPARE(history, QStringList{"b.ta"});

        // Find previous still searches with the regular expression.
        fx.controller.findPrevious();
        QCOMPARE(fx.selection(), (std::pair<long, long>{6, 10}));
        QCOMPARE(fx.beeps, 0);
    }

    void replaceThroughTheDialogsWithTheConfirmationBesideTheLine() {
        // Occurrences on the first line, low in the window, and on the last line.
        EditorWindow fx{QString()};
        QVERIFY(QTest::qWaitForWindowExposed(&fx.window));
        const int visible = static_cast<int>(fx.editor.SendScintilla(Sci::SCI_LINESONSCREEN));
        QVERIFY2(visible >= 6, "the window shows too few lines for the test");
        QStringList lines;
        for (int i = 0; i < visible + 10; ++i)
            lines << QStringLiteral("filler %1").arg(i);
        lines[0] = QStringLiteral("needle at the top");
        lines[visible - 1] = QStringLiteral("needle low");
        lines.back() = QStringLiteral("needle at the end");
        fx.editor.setText(lines.join('\n'));

        struct Showing {
            QRect dialog;
            QRect line;
            QString question;
            const QWidget* instance;
        };
        std::vector<Showing> showings;
        Answerer<TextReplaceDialog> replaceDialog([](TextReplaceDialog& dialog) {
            typeInto(child<QComboBox>(dialog, "cbSearchText"), QStringLiteral("needle"));
            typeInto(child<QComboBox>(dialog, "cbReplaceText"), QStringLiteral("pin"));
            press(child<QPushButton>(dialog, "btnOK"));
        });
        Answerer<ConfirmReplaceDialog> confirmation([&](ConfirmReplaceDialog& dialog) {
            showings.push_back({dialog.frameGeometry(), fx.occurrenceLine(), dialog.question(), &dialog});
            press(child<QPushButton>(dialog, showings.size() == 1 ? "btnReplace" : "btnReplaceAll"));
        });
        fx.controller.replace();

        QCOMPARE(replaceDialog.showings(), 1);
        QCOMPARE(showings.size(), std::size_t{2});
        QCOMPARE(showings[0].question, QStringLiteral("Replace this occurence of \"needle\"?"));
        QCOMPARE(showings[0].instance, showings[1].instance); // one dialog for the whole command
        QCOMPARE(confirmDialogsAlive(), 0);                   // and gone after it

        const Showing& top = showings[0];
        QCOMPARE(top.dialog.top(), top.line.bottom() + 1 + 4); // below the line
        QCOMPARE(top.dialog.left(), top.line.left());
        const Showing& low = showings[1];
        QCOMPARE(low.dialog.bottom() + 1, low.line.top() - 4); // above the line
        QCOMPARE(low.dialog.left(), low.line.left());

        const QStringList result = fx.editor.text().split('\n');
        QCOMPARE(result[0], QStringLiteral("pin at the top"));
        QCOMPARE(result[visible - 1], QStringLiteral("pin low"));
        QCOMPARE(result.back(), QStringLiteral("pin at the end"));
        QCOMPARE(fx.controller.state().replaceHistory(), std::vector<std::string>{"pin"});
        QCOMPARE(fx.beeps, 0);
    }

    void escapeInTheConfirmationCancelsTheCommand() {
        EditorWindow fx("a1 a2");
        QVERIFY(QTest::qWaitForWindowExposed(&fx.window));
        SearchControllerHooks hooks;
        hooks.showDialog = [](bool, const SearchDialogFields& shown) {
            SearchDialogFields fields = shown;
            fields.searchText = "a";
            fields.replaceText = "b";
            return std::optional(fields);
        };
        hooks.beep = [&] { ++fx.beeps; };
        fx.controller.setHooks(hooks);
        int asked = 0;
        Answerer<ConfirmReplaceDialog> confirmation([&](ConfirmReplaceDialog& dialog) {
            ++asked;
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        fx.controller.replace();
        QCOMPARE(asked, 1);
        QCOMPARE(fx.editor.text(), QStringLiteral("a1 a2"));
        QCOMPARE(fx.selection(), (std::pair<long, long>{0, 1}));
        QCOMPARE(confirmDialogsAlive(), 0);
    }
};

QTEST_MAIN(SearchDialogsTest)
#include "search_dialogs_test.moc"
