// Printing the source editor into PDF files, read back with poppler's pdftotext and pdftoppm: header,
// footer, page numbers and title on every page, every script line printed once, the options that change
// the printout, and the Print command's dialog.
#include "print_test_helpers.h"
#include "shell/printing/print_controller.h"
#include "shell/printing/styled_document.h"
#include "support/gui_test_support.h"

#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>
#include <QtTest>

using namespace novrix::shell;

namespace {

QString sampleScript(int lines) {
    QStringList text{QStringLiteral("program Sample;"), QStringLiteral("begin")};
    for (int i = 1; i <= lines; ++i)
        text << QStringLiteral("  WriteLn('measurement %1');").arg(i, 3, 10, QLatin1Char('0'));
    text << QStringLiteral("end.");
    return text.join(QLatin1Char('\n'));
}

// The text of each page (-layout keeps each printed line together).
QStringList pdfPages(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return {};
    // Compatibility normalisation turns ligatures such as "ﬁ" back into their letters.
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput())
                            .normalized(QString::NormalizationForm_KC)
                            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// Page `page` of the PDF as an image at `dpi`.
QImage pdfPageImage(const QString& pdf, int page, int dpi, const QString& folder) {
    const QString prefix = folder + QStringLiteral("/page");
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                   QString::number(page), QStringLiteral("-l"), QString::number(page),
                   QStringLiteral("-singlefile"), pdf, prefix});
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return {};
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

bool isInk(QRgb pixel) {
    return qGray(pixel) < 160;
}

bool isColoured(QRgb pixel) {
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    return std::max({r, g, b}) - std::min({r, g, b}) > 60;
}

int countPixels(const QImage& image, const QRect& area, bool (*test)(QRgb)) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (test(image.pixel(x, y)))
                ++count;
        }
    }
    return count;
}

} // namespace

class PrintPdfTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString fileName_;

    QString path(const QString& name) const { return dir_.filePath(name); }

    static void requireTool(const char* tool) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QSKIP(qPrintable(
                QStringLiteral("%1 (poppler-utils) is not installed; it reads the printed PDF back")
                    .arg(QString::fromLatin1(tool))));
    }

private slots:
    void initTestCase() {
        novrix::guitest::freshHome();
        QVERIFY(dir_.isValid());
    }

    // The editor's text as the renderer gets it: lines split at any line end, tabs expanded to the
    // next tab stop, UTF-8 and Latin-1 text decoded.
    void editorTextAsPrinted_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<int>("tabWidth");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("tabs") << "a\tb\r\nxy\ty\n\tz" << true << 8
                              << QStringList{"a       b", "xy      y", "        z"};
        QTest::newRow("tab width 4") << "a\tb\t\tc" << true << 4 << QStringList{"a   b       c"};
        QTest::newRow("utf-8") << QStringLiteral("Gr\u00fc\u00dfe\t\u00b5s\u20ac") << true << 8
                               << QStringList{QStringLiteral("Gr\u00fc\u00dfe   \u00b5s\u20ac")};
        QTest::newRow("latin-1") << QStringLiteral("Gr\u00fc\u00dfe\t1") << false << 8
                                 << QStringList{QStringLiteral("Gr\u00fc\u00dfe   1")};
        QTest::newRow("old mac line ends") << "a\rb\r\rc" << true << 8 << QStringList{"a", "b", "", "c"};
        QTest::newRow("trailing line end") << "a\n" << true << 8 << QStringList{"a", ""};
        QTest::newRow("empty") << "" << true << 8 << QStringList{""};
    }
    void editorTextAsPrinted() {
        QFETCH(QString, text);
        QFETCH(bool, utf8);
        QFETCH(int, tabWidth);
        QFETCH(QStringList, lines);
        QsciScintilla editor;
        editor.setUtf8(utf8);
        editor.setText(text);
        const StyledDocument document = styledDocumentOf(editor, StyleSource::Plain, tabWidth);
        QStringList printed;
        for (const StyledLine& line : document.lines) {
            printed << line.text;
            QVERIFY(line.runs.empty());
        }
        QCOMPARE(printed, lines);
    }

    void syntaxStylesColourTheRuns() {
        QsciScintilla editor;
        QsciLexerPascal lexer;
        editor.setLexer(&lexer);
        editor.setText(QStringLiteral("begin\tx := 1; { note }\nend."));
        const StyledDocument document = styledDocumentOf(editor, StyleSource::SyntaxStyles, 8);
        QCOMPARE(document.lines.size(), std::size_t{2});
        const StyledLine& first = document.lines[0];
        QCOMPARE(first.text, QStringLiteral("begin   x := 1; { note }"));
        // The runs cover the line without gaps, and neighbours differ.
        int covered = 0;
        for (std::size_t i = 0; i < first.runs.size(); ++i) {
            QCOMPARE(first.runs[i].start, covered);
            covered += first.runs[i].length;
            if (i > 0)
                QVERIFY(!(first.runs[i].style == first.runs[i - 1].style));
        }
        QCOMPARE(covered, static_cast<int>(first.text.size()));
        const auto styleAt = [&first](int position) {
            for (const StyleRun& run : first.runs) {
                if (position >= run.start && position < run.start + run.length)
                    return run.style;
            }
            return TextStyle{};
        };
        const TextStyle keyword = styleAt(0);
        const TextStyle comment = styleAt(static_cast<int>(first.text.indexOf(QLatin1Char('{'))));
        QCOMPARE(keyword.color, lexer.color(QsciLexerPascal::Keyword));
        QCOMPARE(comment.color, lexer.color(QsciLexerPascal::Comment));
        QVERIFY(keyword.color != comment.color);
        QCOMPARE(styleAt(2), keyword); // the whole word, tab expansion aside
        editor.setLexer(nullptr);
    }

    void everyPageShowsHeaderFooterPageNumbersAndTitle() {
        requireTool("pdftotext");
        QsciScintilla editor;
        editor.setText(sampleScript(150));
        fileName_ = path(QStringLiteral("scripts/sample script.488"));
        PrintController controller(
            editor, [this] { return fileName_; }, nullptr);

        const QString pdf = path(QStringLiteral("sample.pdf"));
        QVERIFY(controller.printToPdf(pdf));
        const QStringList pages = pdfPages(pdf);
        const int count = static_cast<int>(pages.size());
        QVERIFY2(count >= 3, qPrintable(QStringLiteral("%1 pages").arg(count)));
        QCOMPARE(controller.lastPageCount(), count);
        QCOMPARE(QString::fromStdString(controller.setup().title), fileName_);

        for (int i = 0; i < count; ++i) {
            const QString& page = pages[i];
            const QString number = QString::number(i + 1);
            const QString total = QString::number(count);
            for (const QString& expected :
                 {QStringLiteral("This is the first line in the header"),
                  QStringLiteral("Page: %1 of %2").arg(number, total), fileName_,
                  QStringLiteral("Print Date: "), QStringLiteral(". Time: "),
                  QStringLiteral("%1/%2").arg(number, total), QStringLiteral("Printed by Sam Sample")}) {
                QVERIFY2(page.contains(expected),
                         qPrintable(QStringLiteral("page %1 lacks \"%2\":\n%3").arg(number, expected, page)));
            }
            // Header above the body, footer below it.
            const qsizetype header = page.indexOf(QStringLiteral("This is the first line in the header"));
            const qsizetype body = page.indexOf(QStringLiteral("WriteLn"));
            const qsizetype footer = page.indexOf(QStringLiteral("Printed by Sam Sample"));
            QVERIFY(header < body && body < footer);
        }

        // Every line printed once, in order, across the pages.
        const QString all = pages.join(QString());
        qsizetype from = all.indexOf(QStringLiteral("program Sample;"));
        QVERIFY(from >= 0);
        for (int i = 1; i <= 150; ++i) {
            const QString line = QStringLiteral("WriteLn('measurement %1');").arg(i, 3, 10, QLatin1Char('0'));
            const qsizetype at = all.indexOf(line, from);
            QVERIFY2(at > from, qPrintable(line));
            QCOMPARE(all.count(line), 1);
            from = at;
        }
        QVERIFY(all.indexOf(QStringLiteral("end."), from) > from);
    }

    void titleIsTheFileNameAtEachPrint() {
        requireTool("pdftotext");
        QsciScintilla editor;
        editor.setText(sampleScript(5));
        QString current = path(QStringLiteral("first.488"));
        PrintController controller(
            editor, [&current] { return current; }, nullptr);

        QVERIFY(controller.printToPdf(path(QStringLiteral("first.pdf"))));
        current = path(QStringLiteral("renamed.488"));
        QVERIFY(controller.printToPdf(path(QStringLiteral("renamed.pdf"))));
        // An unsaved new script has no file name: the title prints empty.
        current.clear();
        QVERIFY(controller.printToPdf(path(QStringLiteral("untitled.pdf"))));

        const QString first = pdfPages(path(QStringLiteral("first.pdf"))).value(0);
        const QString renamed = pdfPages(path(QStringLiteral("renamed.pdf"))).value(0);
        const QString untitled = pdfPages(path(QStringLiteral("untitled.pdf"))).value(0);
        QVERIFY(first.contains(path(QStringLiteral("first.488"))));
        QVERIFY(renamed.contains(path(QStringLiteral("renamed.488"))));
        QVERIFY(!renamed.contains(QStringLiteral("first.488")));
        QVERIFY(untitled.contains(QStringLiteral("Print Date: ")));
        QVERIFY(!untitled.contains(dir_.path()));
        QVERIFY(!untitled.contains(QStringLiteral("$TITLE$")));
    }

    // Nothing is printed in the left margin (header and footer texts are indented from it), the line
    // under the header runs across the text width, and the footer sits at the bottom.
    void pageImageHonoursMarginsAndDrawsTheHeaderLine() {
        requireTool("pdftoppm");
        QsciScintilla editor;
        editor.setText(sampleScript(80));
        PrintController controller(
            editor, [] { return QStringLiteral("/scripts/sample.488"); }, nullptr);
        const QString pdf = path(QStringLiteral("image.pdf"));
        QVERIFY(controller.printToPdf(pdf));

        const int dpi = 72;
        const QImage page = pdfPageImage(pdf, 1, dpi, dir_.path());
        QVERIFY(!page.isNull());
        const auto mm = [dpi](double millimetres) { return qRound(millimetres * dpi / 25.4); };
        QCOMPARE(page.width(), mm(210)); // the printer's default paper is A4 here
        // Left margin 25 mm, right margin 15 mm, less a pixel for anti-aliasing.
        QCOMPARE(countPixels(page, QRect(0, 0, mm(25) - 1, page.height()), isInk), 0);
        QCOMPARE(countPixels(page, QRect(page.width() - mm(15) + 1, 0, mm(15) - 1, page.height()), isInk), 0);
        QCOMPARE(countPixels(page, QRect(0, 0, page.width(), mm(15) - 1), isInk), 0);
        QCOMPARE(countPixels(page, QRect(0, page.height() - mm(15) + 1, page.width(), mm(15) - 1), isInk), 0);

        // A row between the header's top and the body's top inked across the text width.
        const int span = mm(210 - 25 - 15);
        bool lineFound = false;
        for (int y = mm(15); y <= mm(26) && !lineFound; ++y)
            lineFound = countPixels(page, QRect(mm(25), y, span, 1), isInk) > span * 9 / 10;
        QVERIFY(lineFound);
        // Text in the body and in the footer band.
        QVERIFY(countPixels(page, QRect(mm(25), mm(30), span, mm(50)), isInk) > 100);
        QVERIFY(countPixels(page, QRect(mm(25), page.height() - mm(25), span, mm(10)), isInk) > 20);
    }

    // Which strips along the left and right edges stay blank: mirrored margins swap on even pages, and
    // line numbers printed in the margin stand left of the text.
    void marginsOnEachPage_data() {
        QTest::addColumn<bool>("mirror");
        QTest::addColumn<bool>("numbersInMargin");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("blankLeft");  // mm
        QTest::addColumn<int>("blankRight"); // mm
        QTest::addColumn<bool>("inkBefore25");
        QTest::newRow("odd page") << false << false << 1 << 25 << 15 << false;
        QTest::newRow("even page unmirrored") << false << false << 2 << 25 << 15 << false;
        QTest::newRow("odd page mirrored") << true << false << 1 << 25 << 15 << false;
        QTest::newRow("even page mirrored") << true << false << 2 << 15 << 25 << true;
        QTest::newRow("numbers in margin") << false << true << 1 << 15 << 15 << true;
    }
    void marginsOnEachPage() {
        requireTool("pdftoppm");
        QFETCH(bool, mirror);
        QFETCH(bool, numbersInMargin);
        QFETCH(int, page);
        QFETCH(int, blankLeft);
        QFETCH(int, blankRight);
        QFETCH(bool, inkBefore25);
        QsciScintilla editor;
        editor.setText(sampleScript(150));
        PrintController controller(
            editor, [] { return QString(); }, nullptr);
        controller.setup().margins.mirrorMargins = mirror;
        controller.setup().options.lineNumbers = numbersInMargin;
        controller.setup().options.lineNumbersInMargin = numbersInMargin;
        const QString pdf = path(QStringLiteral("margins.pdf"));
        QVERIFY(controller.printToPdf(pdf));

        const int dpi = 72;
        const QImage image = pdfPageImage(pdf, page, dpi, dir_.path());
        QVERIFY(!image.isNull());
        const auto mm = [dpi](double millimetres) { return qRound(millimetres * dpi / 25.4); };
        QCOMPARE(countPixels(image, QRect(0, 0, mm(blankLeft) - 1, image.height()), isInk), 0);
        QCOMPARE(countPixels(image,
                             QRect(image.width() - mm(blankRight) + 1, 0, mm(blankRight) - 1, image.height()),
                             isInk),
                 0);
        const int before25 = countPixels(image, QRect(0, 0, mm(25) - 1, image.height()), isInk);
        QCOMPARE(before25 > 50, inkBefore25);
    }

    void colorsFollowTheUseColorsOption_data() {
        QTest::addColumn<bool>("useColors");
        QTest::addColumn<bool>("syntaxPrint");
        QTest::addColumn<bool>("coloured");
        QTest::newRow("syntax print in colour") << true << true << true;
        QTest::newRow("syntax print in black") << false << true << false;
        QTest::newRow("plain") << true << false << false;
    }
    void colorsFollowTheUseColorsOption() {
        requireTool("pdftoppm");
        QFETCH(bool, useColors);
        QFETCH(bool, syntaxPrint);
        QFETCH(bool, coloured);
        QsciScintilla editor;
        QsciLexerPascal lexer;
        editor.setLexer(&lexer);
        editor.setText(QStringLiteral("{ a comment in the lexer's comment colour }\n"
                                      "// another comment line, long enough to give some ink\n") +
                       sampleScript(10));
        PrintController controller(
            editor, [] { return QString(); }, nullptr);
        controller.setup().options.useColors = useColors;
        controller.setup().options.syntaxPrint = syntaxPrint;
        const QString pdf = path(QStringLiteral("colors.pdf"));
        QVERIFY(controller.printToPdf(pdf));
        const QImage page = pdfPageImage(pdf, 1, 100, dir_.path());
        QVERIFY(!page.isNull());
        QCOMPARE(countPixels(page, page.rect(), isColoured) > 20, coloured);
        editor.setLexer(nullptr);
    }

    void wrappingLongLinesTakesMorePages() {
        QsciScintilla editor;
        QStringList lines;
        for (int i = 0; i < 60; ++i)
            lines << QStringLiteral("x := 1;").repeated(60);
        editor.setText(lines.join(QLatin1Char('\n')));
        PrintController controller(
            editor, [] { return QString(); }, nullptr);

        controller.setup().options.wrapLines = false;
        QVERIFY(controller.printToPdf(path(QStringLiteral("unwrapped.pdf"))));
        const int unwrapped = controller.lastPageCount();
        controller.setup().options.wrapLines = true;
        QVERIFY(controller.printToPdf(path(QStringLiteral("wrapped.pdf"))));
        const int wrapped = controller.lastPageCount();
        QCOMPARE(unwrapped, 2);
        QVERIFY2(wrapped >= 3 * unwrapped, qPrintable(QStringLiteral("%1 pages wrapped").arg(wrapped)));
    }

    void lineNumbersArePrintedBeforeTheirLines() {
        requireTool("pdftotext");
        QsciScintilla editor;
        editor.setText(sampleScript(20));
        PrintController controller(
            editor, [] { return QString(); }, nullptr);
        controller.setup().options.lineNumbers = true;
        const QString pdf = path(QStringLiteral("numbers.pdf"));
        QVERIFY(controller.printToPdf(pdf));
        const QString page = pdfPages(pdf).value(0);
        QVERIFY2(page.contains(QRegularExpression(QStringLiteral("(^|\\n)\\s*1\\s+program Sample;"))),
                 qPrintable(page));
        QVERIFY(page.contains(
            QRegularExpression(QStringLiteral("\\n\\s*12\\s+WriteLn\\('measurement 010'\\);"))));
    }

    void printAsksThePrintDialogFirst() {
        requireTool("pdftotext");
        QsciScintilla editor;
        editor.setText(sampleScript(100));
        PrintController controller(
            editor, [] { return QStringLiteral("/scripts/dialog.488"); }, nullptr);
        const QString pdf = path(QStringLiteral("dialog.pdf"));
        std::vector<PrinterDialogKind> asked;
        bool accept = false;
        controller.setPrinterDialogRunner([&](QPrinter& printer, PrinterDialogKind kind, QWidget*) {
            asked.push_back(kind);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return accept;
        });

        controller.print();
        QCOMPARE(asked.size(), std::size_t{1});
        QVERIFY(asked[0] == PrinterDialogKind::Print);
        QVERIFY(!QFile::exists(pdf));

        accept = true;
        controller.print();
        QVERIFY(QFile::exists(pdf));
        const QStringList pages = pdfPages(pdf);
        QCOMPARE(static_cast<int>(pages.size()), controller.lastPageCount());
        QVERIFY(pages.value(0).contains(QStringLiteral("/scripts/dialog.488")));

        // Copies chosen in the print dialog: a PDF holds them one after the other.
        QFile::remove(pdf);
        std::vector<int> offeredCopies;
        controller.setPrinterDialogRunner([&](QPrinter& printer, PrinterDialogKind kind, QWidget*) {
            asked.push_back(kind);
            offeredCopies.push_back(printer.copyCount());
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setCopyCount(2);
            return true;
        });
        controller.print();
        const QStringList copies = pdfPages(pdf);
        const int count = controller.lastPageCount();
        QCOMPARE(static_cast<int>(copies.size()), 2 * count);
        QVERIFY(copies[count].contains(QStringLiteral("Page: 1 of %1").arg(count)));
        // Every print dialog opens with the set-up's one copy.
        controller.print();
        QCOMPARE(offeredCopies, (std::vector<int>{1, 1}));

        controller.printerSetup();
        QVERIFY(asked.back() == PrinterDialogKind::PrinterSetup);
    }

    // Margins that leave no room still print every line, one per page, and absurd ones print at all.
    void marginsLeavingNoRoom() {
        QsciScintilla editor;
        editor.setText(sampleScript(5)); // 8 lines
        PrintController controller(
            editor, [] { return QString(); }, nullptr);
        controller.setup().margins.top = 150;
        controller.setup().margins.bottom = 150;
        QVERIFY(controller.printToPdf(path(QStringLiteral("crowded.pdf"))));
        QCOMPARE(controller.lastPageCount(), 8);

        controller.setup().margins.top = 1e308;
        controller.setup().margins.left = 1e308;
        QVERIFY(controller.printToPdf(path(QStringLiteral("absurd.pdf"))));
        QVERIFY(controller.lastPageCount() >= 8); // wrapped to one character per line
    }

    void printToAnUnwritableFileFails() {
        QsciScintilla editor;
        editor.setText(sampleScript(3));
        PrintController controller(
            editor, [] { return QString(); }, nullptr);
        QVERIFY(!controller.printToPdf(path(QStringLiteral("no such folder/out.pdf"))));

        // Print tells the user, and says so.
        controller.setPrinterDialogRunner([this](QPrinter& printer, PrinterDialogKind, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path(QStringLiteral("no such folder/print.pdf")));
            return true;
        });
        QSignalSpy failed(&controller, &PrintController::printFailed);
        QString shown;
        novrix::printtest::ModalAnswer<QMessageBox> answer([&shown](QMessageBox& box) {
            shown = box.text();
            box.accept();
        });
        controller.print();
        QVERIFY(answer.answered());
        QCOMPARE(failed.count(), 1);
        QVERIFY(shown.contains(QStringLiteral("no such folder/print.pdf")));
        QCOMPARE(failed.at(0).at(0).toString(), shown);
    }
};

QTEST_MAIN(PrintPdfTest)
#include "print_pdf_test.moc"
