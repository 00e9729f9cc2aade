// The "Page Setup" dialog: loading and writing back the header and footer items, the margins in their
// units, "Invalid number!", and the tool bar of the header and footer fields.
#include "print_test_helpers.h"
#include "shell/printing/page_setup_dialog.h"
#include "shell/printing/print_controller.h"
#include "shell/printing/rich_text_lines.h"
#include "support/gui_test_support.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTextBlock>
#include <Qsci/qsciscintilla.h>
#include <QtTest>
#include <algorithm>

using namespace novrix::shell;
using novrix::printtest::ModalAnswer;
using Field = MarginsPage::Field;

namespace {

// Items in a fixed order, so that sets of items compare.
std::vector<HeaderFooterItem> sorted(std::vector<HeaderFooterItem> items) {
    std::stable_sort(items.begin(), items.end(), [](const HeaderFooterItem& a, const HeaderFooterItem& b) {
        return std::pair(a.alignment, a.lineNumber) < std::pair(b.alignment, b.lineNumber);
    });
    return items;
}

// "L2:text" = a left item on line 2; items separated by "|".
std::vector<HeaderFooterItem> itemsFrom(const QString& layout, const FontSpec& font) {
    std::vector<HeaderFooterItem> items;
    for (const QString& part : layout.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const QChar side = part.at(0);
        const HFAlignment alignment = side == QLatin1Char('L')   ? HFAlignment::Left
                                      : side == QLatin1Char('C') ? HFAlignment::Center
                                                                 : HFAlignment::Right;
        const qsizetype colon = part.indexOf(QLatin1Char(':'));
        items.push_back({part.mid(colon + 1).toStdString(), font, alignment, part.mid(1, colon - 1).toInt()});
    }
    return items;
}

QString describe(const std::vector<HeaderFooterItem>& items) {
    QStringList parts;
    for (const HeaderFooterItem& item : sorted(items)) {
        const char side = item.alignment == HFAlignment::Left     ? 'L'
                          : item.alignment == HFAlignment::Center ? 'C'
                                                                  : 'R';
        parts << QStringLiteral("%1%2:%3")
                     .arg(QLatin1Char(side))
                     .arg(item.lineNumber)
                     .arg(QString::fromStdString(item.text));
    }
    return parts.join(QLatin1Char('|'));
}

void putCursor(QTextEdit& field, int line, int column) {
    QTextCursor cursor = field.textCursor();
    cursor.setPosition(field.document()->findBlockByNumber(line).position() + column);
    field.setTextCursor(cursor);
}

} // namespace

class PageSetupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { novrix::guitest::freshHome(); }

    void okWithoutChangesKeepsTheStartupSetup() {
        PageSetupDialog dialog;
        const PrintSetup startup = PrintSetup::startup();
        dialog.load(startup);

        HeaderFooterPanel& header = dialog.headerFooterPage().header();
        QCOMPARE(header.field(HFAlignment::Left).toPlainText(),
                 QStringLiteral("This is the first line in the header\n$TITLE$"));
        QCOMPARE(header.field(HFAlignment::Right).toPlainText(),
                 QStringLiteral("Page: $PAGENUM$ of $PAGECOUNT$\nPrint Date: $DATE$. Time: $TIME$"));
        QVERIFY(header.field(HFAlignment::Center).toPlainText().isEmpty());
        HeaderFooterPanel& footer = dialog.headerFooterPage().footer();
        QCOMPARE(footer.field(HFAlignment::Left).toPlainText(), QStringLiteral("Printed by Sam Sample"));
        QCOMPARE(footer.field(HFAlignment::Right).toPlainText(), QStringLiteral("$PAGENUM$/$PAGECOUNT$"));
        // Each line shows its item's font: the date line at 6 points.
        const std::vector<FieldLine> right =
            fieldLines(header.field(HFAlignment::Right), startup.header.defaultFont);
        QCOMPARE(right.at(1).font.pointSize, 6.0);
        QCOMPARE(right.at(0).font.pointSize, 10.5);

        PrintSetup stored = PrintSetup::startup();
        stored.header.items.clear();
        stored.footer.items.clear();
        stored.margins = {};
        stored.options = {true, true, false, false, false};
        QVERIFY(dialog.store(stored));

        // The two line-2 items come back on line 2, fonts included; everything else as it was.
        PrintSetup expected = startup;
        expected.header.items = sorted(expected.header.items);
        expected.footer.items = sorted(expected.footer.items);
        stored.header.items = sorted(stored.header.items);
        stored.footer.items = sorted(stored.footer.items);
        QCOMPARE(describe(stored.header.items), describe(expected.header.items));
        QVERIFY(stored == expected);
    }

    void itemLineNumbersBecomeLinesOfTheirField_data() {
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("storedItems");
        QTest::newRow("left item alone on line 2") << "L2:alone"
                                                   << "L1:alone";
        QTest::newRow("gaps close up") << "L1:a|L3:b|R5:c"
                                       << "L1:a|L2:b|R1:c";
        QTest::newRow("two on one line and side") << "C1:a|C1:b"
                                                  << "C1:a|C2:b";
        QTest::newRow("sorted by line") << "R3:late|R1:early"
                                        << "R1:early|R2:late";
        QTest::newRow("empty text between") << "L1:a|L2:|L3:b"
                                            << "L1:a|L2:|L3:b";
        QTest::newRow("no items") << ""
                                  << "";
    }
    void itemLineNumbersBecomeLinesOfTheirField() {
        QFETCH(QString, items);
        QFETCH(QString, storedItems);
        PrintSetup setup = PrintSetup::startup();
        setup.footer.items = itemsFrom(items, setup.footer.defaultFont);
        PageSetupDialog dialog;
        dialog.load(setup);
        PrintSetup stored = setup;
        QVERIFY(dialog.store(stored));
        QCOMPARE(describe(stored.footer.items), describe(itemsFrom(storedItems, setup.footer.defaultFont)));
    }

    void invalidNumberLeavesItAndLaterMarginsUnchanged() {
        QsciScintilla editor;
        PrintController controller(
            editor, [] { return QString(); }, nullptr);
        PageSetupDialog& dialog = controller.pageSetupDialog();
        ModalAnswer<PageSetupDialog> enter([](PageSetupDialog& shown) {
            MarginsPage& margins = shown.marginsPage();
            margins.field(Field::Left).setText(QStringLiteral("30"));
            margins.field(Field::Right).setText(QStringLiteral("20"));
            margins.field(Field::Top).setText(QStringLiteral("abc"));
            margins.field(Field::Bottom).setText(QStringLiteral("40"));
            margins.field(Field::HFInternalMargin).setText(QStringLiteral("1"));
            margins.mirrorMargins().setChecked(true);
            margins.wrapLines().setChecked(false);
            shown.headerFooterPage().footer().box().setChecked(true);
            shown.buttons().button(QDialogButtonBox::Ok)->click();
        });
        QString message;
        ModalAnswer<QMessageBox> error([&message](QMessageBox& box) {
            message = box.text();
            box.button(QMessageBox::Ok)->click();
        });

        controller.pageSetup();

        QVERIFY(enter.answered());
        QVERIFY(error.answered());
        QCOMPARE(message, QStringLiteral("Invalid number!"));
        const PrintSetup& setup = controller.setup();
        QCOMPARE(setup.margins.left, 30.0);
        QCOMPARE(setup.margins.right, 20.0);
        QCOMPARE(setup.margins.top, 25.0);
        QCOMPARE(setup.margins.bottom, 25.0);
        QCOMPARE(setup.margins.hfInternalMargin, 0.5);
        // What follows the margins is written in any case.
        QVERIFY(setup.margins.mirrorMargins);
        QVERIFY(!setup.options.wrapLines);
        QVERIFY(setup.footer.frame.box);
        QCOMPARE(dialog.focusWidget(), &dialog.marginsPage().field(Field::Top));
    }

    void notANumber_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("two numbers") << "1 2";
        QTest::newRow("infinity") << "inf";
        QTest::newRow("not a number") << "nan";
    }
    void notANumber() {
        QFETCH(QString, text);
        PageSetupDialog dialog;
        dialog.load(PrintSetup::startup());
        dialog.marginsPage().field(Field::Gutter).setText(text);
        dialog.marginsPage().field(Field::Header).setText(QStringLiteral("3"));
        PrintSetup setup = PrintSetup::startup();
        ModalAnswer<QMessageBox> error([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
        QVERIFY(!dialog.store(setup));
        QVERIFY(error.answered());
        QCOMPARE(setup.margins.gutter, 0.0);
        QCOMPARE(setup.margins.header, 15.0);
    }

    void cancelChangesNothing() {
        QsciScintilla editor;
        PrintController controller(
            editor, [] { return QString(); }, nullptr);
        ModalAnswer<PageSetupDialog> enter([](PageSetupDialog& shown) {
            shown.marginsPage().field(Field::Left).setText(QStringLiteral("99"));
            shown.headerFooterPage().header().field(HFAlignment::Left).clear();
            shown.buttons().button(QDialogButtonBox::Cancel)->click();
        });
        controller.pageSetup();
        QVERIFY(enter.answered());
        QVERIFY(controller.setup() == PrintSetup::startup());
    }

    void unitChangeConvertsTheFields_data() {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("internal");
        QTest::newRow("mm") << 0 << "25"
                            << "15"
                            << "0.5";
        QTest::newRow("cm") << 1 << "2.5"
                            << "1.5"
                            << "0.05";
        QTest::newRow("Inches") << 2 << "0.984251968503937"
                                << "0.590551181102362"
                                << "0.0196850393700787";
        QTest::newRow("Thousandths Of Inches") << 3 << "984.251968503937"
                                               << "590.551181102362"
                                               << "19.6850393700787";
    }
    void unitChangeConvertsTheFields() {
        QFETCH(int, unit);
        PageSetupDialog dialog;
        dialog.load(PrintSetup::startup());
        MarginsPage& margins = dialog.marginsPage();
        QCOMPARE(margins.unitList().count(), 4);
        margins.unitList().setCurrentIndex(unit);
        QTEST(margins.field(Field::Left).text(), "left");
        QTEST(margins.field(Field::Right).text(), "right");
        QTEST(margins.field(Field::HFInternalMargin).text(), "internal");

        PrintSetup stored = PrintSetup::startup();
        QVERIFY(dialog.store(stored));
        QCOMPARE(static_cast<int>(stored.margins.units), unit);
        QCOMPARE(stored.margins.left, 25.0);
        QCOMPARE(stored.margins.hfInternalMargin, 0.5);

        // And back: nothing lost on the way.
        margins.unitList().setCurrentIndex(0);
        QCOMPARE(margins.field(Field::Left).text(), QStringLiteral("25"));
        QCOMPARE(margins.field(Field::HFInternalMargin).text(), QStringLiteral("0.5"));
    }

    void editedFieldsAreReadInTheOldUnit() {
        PageSetupDialog dialog;
        dialog.load(PrintSetup::startup());
        MarginsPage& margins = dialog.marginsPage();
        margins.field(Field::Left).setText(QStringLiteral("50"));
        margins.field(Field::Right).setText(QStringLiteral("oops"));
        margins.unitList().setCurrentIndex(1); // cm
        QCOMPARE(margins.field(Field::Left).text(), QStringLiteral("5"));
        QCOMPARE(margins.field(Field::Right).text(), QStringLiteral("1.5")); // kept its margin
        margins.field(Field::Top).setText(QStringLiteral("3"));
        margins.unitList().setCurrentIndex(2); // inches
        margins.field(Field::Bottom).setText(QStringLiteral("1"));

        PrintSetup stored = PrintSetup::startup();
        QVERIFY(dialog.store(stored));
        QVERIFY(stored.margins.units == MarginUnits::Inches);
        QCOMPARE(stored.margins.left, 50.0);
        QCOMPARE(stored.margins.top, 30.0);
        QCOMPARE(stored.margins.bottom, 25.4);
    }

    void numbersUseTheLocaleDecimalSeparator() {
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        {
            PageSetupDialog dialog;
            PrintSetup setup = PrintSetup::startup();
            setup.margins.units = MarginUnits::Centimetres;
            setup.margins.left = 12345;
            dialog.load(setup);
            MarginsPage& margins = dialog.marginsPage();
            QCOMPARE(margins.unitList().currentIndex(), 1);
            QCOMPARE(margins.field(Field::Top).text(), QStringLiteral("2,5"));
            QCOMPARE(margins.field(Field::Left).text(), QStringLiteral("1234,5")); // no group separator
            margins.field(Field::Right).setText(QStringLiteral("3,25"));
            QVERIFY(dialog.store(setup));
            QCOMPARE(setup.margins.right, 32.5);
            QCOMPARE(setup.margins.left, 12345.0);
        }
        QLocale::setDefault(previous);
    }

    void toolBarWorksOnTheFocusedCurrentField() {
        PageSetupDialog dialog;
        dialog.load(PrintSetup::startup());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        HeaderFooterPage& page = dialog.headerFooterPage();
        const std::vector<QAction*> actions{
            &page.pageNumberAction(), &page.pageCountAction(), &page.timeAction(),
            &page.dateAction(),       &page.titleAction(),     &page.fontAction(),
            &page.boldAction(),       &page.italicAction(),    &page.underlineAction()};
        const auto enabled = [&actions](bool expected) {
            return std::all_of(actions.begin(), actions.end(),
                               [expected](const QAction* a) { return a->isEnabled() == expected; });
        };

        QCOMPARE(dialog.tabs().currentIndex(), 0);
        QCOMPARE(page.currentField(), &page.header().field(HFAlignment::Left));
        QVERIFY(enabled(false));

        dialog.tabs().setCurrentIndex(1);
        QTextEdit& center = page.header().field(HFAlignment::Center);
        center.setFocus();
        QTRY_VERIFY(center.hasFocus());
        QCOMPARE(page.currentField(), &center);
        QVERIFY(enabled(true));

        const std::vector<std::pair<QAction*, QString>> macros{
            {&page.pageNumberAction(), QStringLiteral("$PAGENUM$")},
            {&page.pageCountAction(), QStringLiteral("$PAGECOUNT$")},
            {&page.timeAction(), QStringLiteral("$TIME$")},
            {&page.dateAction(), QStringLiteral("$DATE$")},
            {&page.titleAction(), QStringLiteral("$TITLE$")}};
        QString expected;
        for (const auto& [action, macro] : macros) {
            action->trigger();
            expected += macro;
            QCOMPARE(center.toPlainText(), expected);
        }
        // Inserted at the cursor.
        putCursor(center, 0, 0);
        page.titleAction().trigger();
        QVERIFY(center.toPlainText().startsWith(QStringLiteral("$TITLE$$PAGENUM$")));

        // Leaving the fields disables the tool bar; the current field stays the one entered last.
        page.header().mirrorPosition().setFocus();
        QTRY_VERIFY(enabled(false));
        QCOMPARE(page.currentField(), &center);
        QTextEdit& footerRight = page.footer().field(HFAlignment::Right);
        footerRight.setFocus();
        QTRY_VERIFY(enabled(true));
        QCOMPARE(page.currentField(), &footerRight);

        // Loading again starts over on the first tab with the header's left field.
        dialog.load(PrintSetup::startup());
        QCOMPARE(dialog.tabs().currentIndex(), 0);
        QCOMPARE(page.currentField(), &page.header().field(HFAlignment::Left));
        dialog.hide();
    }

    void stylingChangesTheWholeCursorLine() {
        PageSetupDialog dialog;
        const PrintSetup startup = PrintSetup::startup();
        dialog.load(startup);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.tabs().setCurrentIndex(1);
        HeaderFooterPage& page = dialog.headerFooterPage();
        QTextEdit& left = page.header().field(HFAlignment::Left);
        left.setFocus();
        QTRY_VERIFY(page.boldAction().isEnabled());
        const FontSpec& defaultFont = startup.header.defaultFont;

        struct Toggle {
            QAction* action;
            bool FontSpec::*flag;
        };
        for (const Toggle& toggle :
             {Toggle{&page.boldAction(), &FontSpec::bold}, Toggle{&page.italicAction(), &FontSpec::italic},
              Toggle{&page.underlineAction(), &FontSpec::underline}}) {
            putCursor(left, 1, 3);
            toggle.action->trigger();
            std::vector<FieldLine> lines = fieldLines(left, defaultFont);
            QVERIFY(lines.at(1).font.*toggle.flag);
            QVERIFY(!(lines.at(0).font.*toggle.flag));
            QCOMPARE(left.textCursor().position(), left.document()->findBlockByNumber(1).position() + 3);
            QVERIFY(!left.textCursor().hasSelection());
            toggle.action->trigger();
            lines = fieldLines(left, defaultFont);
            QVERIFY(!(lines.at(1).font.*toggle.flag));
        }

        QFont offered;
        page.setFontChooser([&offered](const QFont& initial, QWidget*) -> std::optional<QFont> {
            offered = initial;
            return QFont(QStringLiteral("DejaVu Serif"), 12);
        });
        putCursor(left, 0, 5);
        page.fontAction().trigger();
        QCOMPARE(offered.family(), QStringLiteral("Arial"));
        QCOMPARE(offered.pointSizeF(), 10.5);
        page.setFontChooser([](const QFont&, QWidget*) -> std::optional<QFont> { return std::nullopt; });
        putCursor(left, 1, 0);
        page.fontAction().trigger(); // cancelled

        PrintSetup stored = startup;
        QVERIFY(dialog.store(stored));
        const std::vector<HeaderFooterItem> items = sorted(stored.header.items);
        QCOMPARE(items.at(0).text, std::string("This is the first line in the header"));
        QCOMPARE(items.at(0).font.family, std::string("DejaVu Serif"));
        QCOMPARE(items.at(0).font.pointSize, 12.0);
        QCOMPARE(items.at(1).text, std::string("$TITLE$"));
        QVERIFY(items.at(1).font == defaultFont);
        dialog.hide();
    }

    void frameAndColourButtons() {
        PageSetupDialog dialog;
        dialog.load(PrintSetup::startup());
        HeaderFooterPanel& header = dialog.headerFooterPage().header();
        HeaderFooterPanel& footer = dialog.headerFooterPage().footer();
        QCOMPARE(header.line().text(), QStringLiteral("Line under"));
        QCOMPARE(footer.line().text(), QStringLiteral("Line above"));

        QColor offered;
        std::optional<QColor> answer = QColor(Qt::red);
        dialog.headerFooterPage().setColorChooser([&](const QColor& initial, QWidget*) {
            offered = initial;
            return answer;
        });
        header.lineColorButton().click();
        QCOMPARE(offered, QColor(Qt::black));
        QCOMPARE(header.lineColor().color(), QColor(Qt::red));
        answer = std::nullopt;
        footer.shadowColorButton().click();
        QCOMPARE(offered, QColor(192, 192, 192));
        QCOMPARE(footer.shadowColor().color(), QColor(192, 192, 192));

        header.line().setChecked(false);
        footer.shadow().setChecked(true);
        footer.mirrorPosition().setChecked(true);
        PrintSetup stored = PrintSetup::startup();
        QVERIFY(dialog.store(stored));
        QVERIFY(stored.header.frame.lineColor == (RgbColor{255, 0, 0}));
        QVERIFY(!stored.header.frame.line);
        QVERIFY(stored.footer.frame.shadow);
        QVERIFY(stored.footer.frame.shadowColor == kSilver);
        QVERIFY(stored.footer.mirrorPosition);
        QVERIFY(!stored.header.mirrorPosition);
    }
};

QTEST_MAIN(PageSetupTest)
#include "page_setup_test.moc"
