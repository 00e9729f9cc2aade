// The "Print Preview" dialog: page navigation, the zoom menu and the mouse's zoom rule, the status bar,
// and opening it from the controller with the title and printing from it.
#include "print_test_helpers.h"
#include "shell/printing/page_setup_dialog.h"
#include "shell/printing/print_controller.h"
#include "shell/printing/print_preview_dialog.h"
#include "support/gui_test_support.h"

#include <QGraphicsView>
#include <QPointer>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>
#include <QtTest>

using namespace novrix::shell;
using novrix::printtest::ModalAnswer;

namespace {

QString sampleScript(int lines) {
    QStringList text{QStringLiteral("program Preview;"), QStringLiteral("begin")};
    for (int i = 1; i <= lines; ++i)
        text << QStringLiteral("  WriteLn(%1);").arg(i);
    text << QStringLiteral("end.");
    return text.join(QLatin1Char('\n'));
}

QWidget& previewViewport(PrintPreviewDialog& dialog) {
    return *dialog.preview().findChild<QGraphicsView*>()->viewport();
}

} // namespace

class PrintPreviewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { novrix::guitest::freshHome(); }

    void clickRule_data() {
        QTest::addColumn<bool>("left");
        QTest::addColumn<bool>("wholePage");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("left on whole page") << true << true << 37 << 100;
        QTest::newRow("left doubles") << true << false << 25 << 50;
        QTest::newRow("left stops at 400") << true << false << 300 << 400;
        QTest::newRow("left at 400") << true << false << 400 << 400;
        QTest::newRow("right halves") << false << false << 300 << 150;
        QTest::newRow("right rounds down") << false << false << 75 << 37;
        QTest::newRow("right stops at 25") << false << false << 40 << 25;
        QTest::newRow("right at 25") << false << false << 25 << 25;
        QTest::newRow("right on whole page") << false << true << 80 << 40;
    }
    void clickRule() {
        QFETCH(bool, left);
        QFETCH(bool, wholePage);
        QFETCH(int, before);
        QTEST(scaleAfterClick(left ? PreviewClick::LeftButton : PreviewClick::OtherButton, wholePage, before),
              "after");
    }

    void navigatesPagesAndZooms() {
        QsciScintilla editor;
        editor.setText(sampleScript(200));
        PrintController controller(
            editor, [] { return QStringLiteral("/scripts/preview.488"); }, nullptr);
        PrintPreviewDialog& dialog = controller.previewDialog();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Print Preview"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        const int pages = dialog.pageCount();
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        QCOMPARE(pages, controller.lastPageCount());
        QCOMPARE(dialog.currentPage(), 1);
        QCOMPARE(dialog.pagePanel().text(), QStringLiteral(" Page: 1"));

        const auto step = [&dialog](QAction& action, int expected) {
            action.trigger();
            return dialog.currentPage() == expected &&
                   dialog.pagePanel().text() == QStringLiteral(" Page: ") + QString::number(expected);
        };
        QVERIFY(step(dialog.nextAction(), 2));
        QVERIFY(step(dialog.lastAction(), pages));
        QVERIFY(step(dialog.nextAction(), pages));
        QVERIFY(step(dialog.previousAction(), pages - 1));
        QVERIFY(step(dialog.firstAction(), 1));
        QVERIFY(step(dialog.previousAction(), 1));

        QTest::keyClick(&dialog, Qt::Key_L, Qt::AltModifier);
        QCOMPARE(dialog.currentPage(), pages);
        QTest::keyClick(&dialog, Qt::Key_F, Qt::AltModifier);
        QCOMPARE(dialog.currentPage(), 1);
        QTest::keyClick(&dialog, Qt::Key_N, Qt::AltModifier);
        QCOMPARE(dialog.currentPage(), 2);
        QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier);
        QCOMPARE(dialog.currentPage(), 1);

        // The zoom menu.
        QCOMPARE(dialog.viewMode(), PreviewViewMode::WholePage);
        QStringList captions;
        for (QAction* item : dialog.zoomMenu().actions())
            captions << item->text();
        QCOMPARE(captions, (QStringList{"Whole page", "Page width", "25%", "50%", "100%", "200%", "400%"}));
        const QList<QAction*> items = dialog.zoomMenu().actions();
        items[1]->trigger();
        QCOMPARE(dialog.viewMode(), PreviewViewMode::PageWidth);
        for (int i = 2; i < items.size(); ++i) {
            items[i]->trigger();
            QCOMPARE(dialog.viewMode(), PreviewViewMode::Scale);
            QCOMPARE(QString::number(dialog.scalePercent()) + QLatin1Char('%'), items[i]->text());
        }
        items[0]->trigger();
        QCOMPARE(dialog.viewMode(), PreviewViewMode::WholePage);

        // Mouse clicks in the preview.
        QWidget& viewport = previewViewport(dialog);
        QTest::mouseClick(&viewport, Qt::LeftButton);
        QCOMPARE(dialog.viewMode(), PreviewViewMode::Scale);
        QCOMPARE(dialog.scalePercent(), 100);
        dialog.setViewMode(PreviewViewMode::Scale, 300);
        QTest::mouseClick(&viewport, Qt::LeftButton);
        QCOMPARE(dialog.scalePercent(), 400);
        dialog.setViewMode(PreviewViewMode::Scale, 25);
        QTest::mouseClick(&viewport, Qt::RightButton);
        QCOMPARE(dialog.scalePercent(), 25);
        dialog.setViewMode(PreviewViewMode::Scale, 100);
        QTest::mouseClick(&viewport, Qt::MiddleButton);
        QCOMPARE(dialog.scalePercent(), 50);

        // Zoom (Alt+Z) goes back to the whole page.
        QTest::keyClick(&dialog, Qt::Key_Z, Qt::AltModifier);
        QCOMPARE(dialog.viewMode(), PreviewViewMode::WholePage);

        // The hint panel shows the hint after two blanks.
        QStatusTipEvent tip(dialog.nextAction().statusTip());
        QApplication::sendEvent(&dialog.preview(), &tip);
        QCOMPARE(dialog.hintPanel().text(), QStringLiteral("  Show the next page"));

        QTest::keyClick(&dialog, Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(!dialog.isVisible());
    }

    void opensMaximisedOnTheFirstPageWithTheTitle() {
        QsciScintilla editor;
        editor.setText(sampleScript(200));
        QString fileName = QStringLiteral("/scripts/first.488");
        PrintController controller(
            editor, [&fileName] { return fileName; }, nullptr);

        struct Seen {
            bool maximised = false;
            int page = 0;
            QString panel;
            std::string title;
        };
        std::vector<Seen> seen;
        const auto look = [&](PrintPreviewDialog& shown) {
            seen.push_back({shown.windowState().testFlag(Qt::WindowMaximized), shown.currentPage(),
                            shown.pagePanel().text(), controller.setup().title});
            shown.lastAction().trigger();
            shown.closeAction().trigger();
        };
        {
            ModalAnswer<PrintPreviewDialog> answer(look);
            controller.printPreview();
            QVERIFY(answer.answered());
        }
        fileName = QStringLiteral("/scripts/second.488");
        {
            ModalAnswer<PrintPreviewDialog> answer(look);
            controller.printPreview();
            QVERIFY(answer.answered());
        }
        QCOMPARE(seen.size(), std::size_t{2});
        for (const Seen& s : seen) {
            QVERIFY(s.maximised);
            QCOMPARE(s.page, 1);
            QCOMPARE(s.panel, QStringLiteral(" Page: 1"));
        }
        QCOMPARE(seen[0].title, std::string("/scripts/first.488"));
        QCOMPARE(seen[1].title, std::string("/scripts/second.488"));
    }

    // The main window owns the controller and parents its dialogs; whichever goes first, each goes once.
    void dialogParentOwnsControllerAndDialogs() {
        QsciScintilla editor;
        {
            auto window = std::make_unique<QWidget>();
            QPointer<PrintController> controller = new PrintController(
                editor, [] { return QString(); }, window.get());
            QPointer<PageSetupDialog> pageSetup = &controller->pageSetupDialog();
            QPointer<PrintPreviewDialog> preview = &controller->previewDialog();
            QCOMPARE(pageSetup->parentWidget(), window.get());
            QCOMPARE(preview->parentWidget(), window.get());
            window.reset();
            QVERIFY(controller.isNull());
            QVERIFY(pageSetup.isNull());
            QVERIFY(preview.isNull());
        }
        {
            QWidget window;
            auto* controller = new PrintController(
                editor, [] { return QString(); }, &window);
            QPointer<PrintPreviewDialog> preview = &controller->previewDialog();
            delete controller;
            QVERIFY(preview.isNull());
            QVERIFY(window.findChildren<QDialog*>().isEmpty());
        }
    }

    void printsFromThePreview() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QsciScintilla editor;
        editor.setText(sampleScript(20));
        PrintController controller(
            editor, [] { return QString(); }, nullptr);
        const QString pdf = dir.filePath(QStringLiteral("from-preview.pdf"));
        controller.printer().setOutputFormat(QPrinter::PdfFormat);
        controller.printer().setOutputFileName(pdf);
        PrintPreviewDialog& dialog = controller.previewDialog();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(&dialog, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(QFileInfo(pdf).size() > 0);
        dialog.hide();
    }
};

QTEST_MAIN(PrintPreviewTest)
#include "print_preview_test.moc"
