// The print set-up's start-up values, macro expansion, and where body, header and footer lie on a page.
#include "shell/printing/page_frame.h"
#include "shell/printing/print_macros.h"
#include "shell/printing/print_setup.h"

#include <QtTest>

using namespace novrix::shell;

namespace {

HeaderFooterItem item(std::string text, HFAlignment alignment, int line, double points) {
    HeaderFooterItem result;
    result.text = std::move(text);
    result.alignment = alignment;
    result.lineNumber = line;
    result.font.family = "Arial";
    result.font.pointSize = points;
    return result;
}

} // namespace

class PrintSetupTest : public QObject {
    Q_OBJECT

private slots:
    void startupValues() {
        const PrintSetup setup = PrintSetup::startup();
        QCOMPARE(setup.copies, 1);
        const PageMargins& m = setup.margins;
        QVERIFY(m.units == MarginUnits::Millimetres);
        QCOMPARE(m.left, 25.0);
        QCOMPARE(m.right, 15.0);
        QCOMPARE(m.top, 25.0);
        QCOMPARE(m.bottom, 25.0);
        QCOMPARE(m.header, 15.0);
        QCOMPARE(m.footer, 15.0);
        QCOMPARE(m.leftHFTextIndent, 2.0);
        QCOMPARE(m.rightHFTextIndent, 2.0);
        QCOMPARE(m.hfInternalMargin, 0.5);
        QVERIFY(!m.mirrorMargins);
        QCOMPARE(setup.textFont.family, std::string("MS Sans Serif"));
        QCOMPARE(setup.textFont.pointSize, 10.5); // 14 pixels
        QVERIFY(setup.options.useColors);
        QCOMPARE(setup.tabWidth, 8);
        QVERIFY(setup.background == kWhite);
        QCOMPARE(setup.header.defaultFont.family, std::string("Arial"));
        QCOMPARE(setup.header.defaultFont.pointSize, 10.5);
        QVERIFY(setup.header.defaultFont.color == kBlack);
        QVERIFY(setup.footer.defaultFont == setup.header.defaultFont);

        const std::vector<HeaderFooterItem> header{
            item("This is the first line in the header", HFAlignment::Left, 1, 10.5),
            item("Page: $PAGENUM$ of $PAGECOUNT$", HFAlignment::Right, 1, 10.5),
            item("$TITLE$", HFAlignment::Left, 2, 10.5),
            item("Print Date: $DATE$. Time: $TIME$", HFAlignment::Right, 2, 6),
        };
        const std::vector<HeaderFooterItem> footer{
            item("$PAGENUM$/$PAGECOUNT$", HFAlignment::Right, 1, 10.5),
            item("Printed by Sam Sample", HFAlignment::Left, 1, 6),
        };
        QVERIFY(setup.header.items == header);
        QVERIFY(setup.footer.items == footer);
        QCOMPARE(setup.header.lineCount(), 2);
        QCOMPARE(setup.footer.lineCount(), 1);
        QVERIFY(setup.title.empty());
    }

    void itemsByLineKeepOrderWithinALine() {
        HeaderFooter band;
        band.add("c", {}, HFAlignment::Left, 3);
        band.add("a1", {}, HFAlignment::Right, 1);
        band.add("b", {}, HFAlignment::Left, 2);
        band.add("a2", {}, HFAlignment::Left, 1);
        std::vector<std::string> order;
        for (const HeaderFooterItem& i : band.itemsByLine())
            order.push_back(i.text);
        QCOMPARE(order, (std::vector<std::string>{"a1", "a2", "b", "c"}));
    }

    void unitConversions_data() {
        QTest::addColumn<int>("units");
        QTest::addColumn<double>("millimetres");
        QTest::addColumn<double>("value");
        QTest::newRow("mm") << int(MarginUnits::Millimetres) << 25.0 << 25.0;
        QTest::newRow("cm") << int(MarginUnits::Centimetres) << 25.0 << 2.5;
        QTest::newRow("inches") << int(MarginUnits::Inches) << 25.4 << 1.0;
        QTest::newRow("thousandths") << int(MarginUnits::ThousandthsOfInches) << 25.4 << 1000.0;
    }
    void unitConversions() {
        QFETCH(int, units);
        QFETCH(double, millimetres);
        QFETCH(double, value);
        const auto u = static_cast<MarginUnits>(units);
        QCOMPARE(toUnits(millimetres, u), value);
        QCOMPARE(toMillimetres(value, u), millimetres);
    }

    void macros_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("page of count") << "Page: $PAGENUM$ of $PAGECOUNT$"
                                       << "Page: 2 of 7";
        QTest::newRow("footer") << "$PAGENUM$/$PAGECOUNT$"
                                << "2/7";
        QTest::newRow("title") << "$TITLE$"
                               << "/home/sam/a b.488";
        QTest::newRow("date and time") << "Print Date: $DATE$. Time: $TIME$"
                                       << "Print Date: 1.2.2024. Time: 13:14:15";
        QTest::newRow("any case") << "$pagenum$ $Title$"
                                  << "2 /home/sam/a b.488";
        QTest::newRow("unknown stays") << "$FOO$ costs $5"
                                       << "$FOO$ costs $5";
        QTest::newRow("adjacent") << "$PAGENUM$$PAGECOUNT$$"
                                  << "27$";
    }
    void macros() {
        QFETCH(QString, text);
        QFETCH(QString, expanded);
        const MacroValues values{2, 7, "/home/sam/a b.488", "1.2.2024", "13:14:15"};
        QCOMPARE(QString::fromStdString(expandMacros(text.toStdString(), values)), expanded);
    }

    void macroInsideAValueIsNotExpandedAgain() {
        const MacroValues values{1, 1, "$PAGECOUNT$.488", "", ""};
        QCOMPARE(expandMacros("$TITLE$", values), std::string("$PAGECOUNT$.488"));
    }

    // One dot per millimetre on a 210 x 297 sheet.
    void pageFrames_data() {
        QTest::addColumn<bool>("mirror");
        QTest::addColumn<double>("gutter");
        QTest::addColumn<int>("page");
        QTest::addColumn<double>("headerHeight");
        QTest::addColumn<double>("footerHeight");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("right");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("bottom");
        QTest::newRow("plain odd") << false << 0.0 << 1 << 5.0 << 5.0 << 25.0 << 195.0 << 25.0 << 272.0;
        QTest::newRow("plain even") << false << 0.0 << 2 << 5.0 << 5.0 << 25.0 << 195.0 << 25.0 << 272.0;
        QTest::newRow("gutter odd") << false << 7.0 << 1 << 5.0 << 5.0 << 32.0 << 195.0 << 25.0 << 272.0;
        QTest::newRow("gutter even unmirrored")
            << false << 7.0 << 2 << 5.0 << 5.0 << 32.0 << 195.0 << 25.0 << 272.0;
        QTest::newRow("mirrored odd") << true << 7.0 << 3 << 5.0 << 5.0 << 32.0 << 195.0 << 25.0 << 272.0;
        QTest::newRow("mirrored even") << true << 7.0 << 4 << 5.0 << 5.0 << 15.0 << 178.0 << 25.0 << 272.0;
        QTest::newRow("tall header pushes body")
            << false << 0.0 << 1 << 14.0 << 5.0 << 25.0 << 195.0 << 29.0 << 272.0;
        QTest::newRow("tall footer lifts body end")
            << false << 0.0 << 1 << 5.0 << 12.0 << 25.0 << 195.0 << 25.0 << 270.0;
        QTest::newRow("no header or footer")
            << false << 0.0 << 1 << 0.0 << 0.0 << 25.0 << 195.0 << 25.0 << 272.0;
    }
    void pageFrames() {
        QFETCH(bool, mirror);
        QFETCH(double, gutter);
        QFETCH(int, page);
        QFETCH(double, headerHeight);
        QFETCH(double, footerHeight);
        PageMargins margins = PrintSetup::startup().margins;
        margins.mirrorMargins = mirror;
        margins.gutter = gutter;
        const PageFrame frame = pageFrame(margins, {210, 297, 1}, page, headerHeight, footerHeight);
        QTEST(frame.body.left, "left");
        QTEST(frame.body.right, "right");
        QTEST(frame.body.top, "top");
        QTEST(frame.body.bottom, "bottom");
        QCOMPARE(frame.header.left, frame.body.left);
        QCOMPARE(frame.footer.right, frame.body.right);
        QCOMPARE(frame.header.top, 15.0);
        QCOMPARE(frame.header.height(), headerHeight);
        QCOMPARE(frame.footer.bottom, 282.0);
        QCOMPARE(frame.footer.height(), footerHeight);
    }
};

QTEST_MAIN(PrintSetupTest)
#include "print_setup_test.moc"
