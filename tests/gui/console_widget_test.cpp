// The output console pane: what it paints of the model, the keys it types into the type-ahead buffer,
// the beep and focus requests it carries over from other threads, and the view following the cursor.
#include "host/console_model.h"
#include "shell/widgets/console_widget.h"
#include "support/gui_test_support.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QThread>
#include <QtTest>
#include <thread>

using novrix::host::ConsoleModel;
using novrix::shell::ConsoleWidget;

namespace {

// Whether anything but the background is painted inside `area` of the viewport.
bool hasInk(ConsoleWidget& widget, const QRect& area) {
    const QImage image = widget.viewport()->grab().toImage();
    const QRgb background = widget.palette().color(QPalette::Base).rgb();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != background)
                return true;
    return false;
}

QByteArray takeAllKeys(ConsoleModel& model) {
    QByteArray keys;
    char key = 0;
    while (model.takeKey(key))
        keys.append(key);
    return keys;
}

// A console beside a line edit, so that focus has somewhere else to be.
struct Pane {
    explicit Pane(ConsoleModel& model)
        : console(new ConsoleWidget(model, &window)), other(new QLineEdit(&window)) {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(console);
        layout->addWidget(other);
        window.resize(500, 240);
        window.show();
    }
    QWidget window;
    ConsoleWidget* console;
    QLineEdit* other;
};

} // namespace

class ConsoleWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { novrix::guitest::freshHome(); }

    void showsTextAsTheControlCharactersLeftIt() {
        ConsoleModel model;
        ConsoleWidget widget(model);
        widget.resize(400, 200);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));

        model.write("AB\bC\r\nxy\tz\x01!\r\n\xe9t\xe9");
        QCOMPARE(widget.rowText(0), QStringLiteral("AC"));
        QCOMPARE(widget.rowText(1), QStringLiteral("xyz!"));
        QCOMPARE(widget.rowText(2), QString::fromLatin1("\xe9t\xe9"));

        // The painted cells: "A" and "C" carry ink, the cell blanked by the backspace does not.
        QVERIFY(hasInk(widget, widget.cellRect(0, 0)));
        QVERIFY(hasInk(widget, widget.cellRect(1, 0)));
        QVERIFY(!hasInk(widget, widget.cellRect(2, 0)));
        QVERIFY(hasInk(widget, widget.cellRect(3, 1)));

        model.clear();
        QVERIFY(!hasInk(widget, widget.cellRect(0, 0)));
    }

    void caretIsPaintedOnlyWhileTheModelShowsIt() {
        ConsoleModel model;
        ConsoleWidget widget(model);
        widget.resize(400, 200);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        model.gotoXY(4, 2);

        model.showCaret(true);
        QTRY_VERIFY(widget.caretShown());
        QVERIFY(hasInk(widget, widget.cellRect(4, 2)));
        QVERIFY(!hasInk(widget, widget.cellRect(5, 2)));

        model.gotoXY(6, 2); // the caret follows the cursor
        QTRY_VERIFY(hasInk(widget, widget.cellRect(6, 2)));
        QVERIFY(!hasInk(widget, widget.cellRect(4, 2)));

        model.showCaret(false);
        QTRY_VERIFY(!widget.caretShown());
        QVERIFY(!hasInk(widget, widget.cellRect(6, 2)));
    }

    void typedKeysFillTheTypeAheadInOrderAndTheSixtyFifthIsLost() {
        ConsoleModel model;
        Pane pane(model);
        QVERIFY(QTest::qWaitForWindowActive(&pane.window));
        pane.console->setFocus();
        QTRY_VERIFY(pane.console->hasFocus());

        QTest::keyClicks(QApplication::focusWidget(), "Hello 1.5");
        QCOMPARE(takeAllKeys(model), QByteArray("Hello 1.5"));

        QByteArray typed;
        for (int i = 0; i < 65; ++i)
            typed.append(char('A' + i % 26));
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed));
        QCOMPARE(takeAllKeys(model), typed.left(64));
    }

    void namedKeysTypeTheirControlCodes() {
        ConsoleModel model;
        Pane pane(model);
        QVERIFY(QTest::qWaitForWindowActive(&pane.window));
        pane.console->setFocus();
        QTRY_VERIFY(pane.console->hasFocus());

        QTest::keyClick(pane.console, Qt::Key_Return);
        QTest::keyClick(pane.console, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(pane.console, Qt::Key_Backspace);
        QTest::keyClick(pane.console, Qt::Key_Escape);
        QTest::keyClick(pane.console, Qt::Key_Tab);
        QTest::keyClick(pane.console, Qt::Key_Left);
        QTest::keyClick(pane.console, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(takeAllKeys(model), QByteArray("\r\r\b\x1b\t"));
        // Tab is typed, not used to move the focus on.
        QVERIFY(pane.console->hasFocus());
    }

    void keyTextBecomesLatin1Bytes_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("typed");
        QTest::newRow("letter") << int(Qt::Key_A) << "a" << QByteArray("a");
        QTest::newRow("e acute") << int(Qt::Key_Eacute) << QString(QChar(0xe9)) << QByteArray("\xe9");
        QTest::newRow("beyond Latin-1") << int(Qt::Key_unknown) << QString(QChar(0x20ac)) << QByteArray();
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << QString(QChar(1)) << QByteArray();
        QTest::newRow("delete") << int(Qt::Key_Delete) << QString(QChar(127)) << QByteArray();
        QTest::newRow("arrow") << int(Qt::Key_Up) << QString() << QByteArray();
        QTest::newRow("enter without text") << int(Qt::Key_Return) << QString() << QByteArray("\r");
    }
    void keyTextBecomesLatin1Bytes() {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(QByteArray, typed);
        QCOMPARE(ConsoleWidget::typedKeys(key, text), typed);
    }

    void beepAndFocusFromAnotherThreadArriveOnTheGuiThread() {
        ConsoleModel model;
        Pane pane(model);
        QVERIFY(QTest::qWaitForWindowActive(&pane.window));
        pane.other->setFocus();
        QTRY_VERIFY(pane.other->hasFocus());

        QList<QThread*> beepThreads;
        QList<QThread*> focusThreads;
        // Direct connections: the slots run on the thread that emits.
        connect(
            pane.console, &ConsoleWidget::beepSounded, this,
            [&] { beepThreads.append(QThread::currentThread()); }, Qt::DirectConnection);
        connect(
            pane.console, &ConsoleWidget::focusTaken, this,
            [&] { focusThreads.append(QThread::currentThread()); }, Qt::DirectConnection);

        std::thread script([&] {
            model.write("ding\a\a");
            model.takeFocus();
        });
        script.join();

        QTRY_COMPARE(beepThreads.size(), 2);
        QTRY_COMPARE(focusThreads.size(), 1);
        QThread* const gui = QApplication::instance()->thread();
        QVERIFY(beepThreads.at(0) == gui && beepThreads.at(1) == gui);
        QVERIFY(focusThreads.at(0) == gui);
        QTRY_VERIFY(pane.console->hasFocus());
    }

    void requestsAfterTheWidgetIsGoneAreDropped() {
        ConsoleModel model;
        {
            auto widget = std::make_unique<ConsoleWidget>(model);
            // Posted while the widget lives, delivered after it is gone.
            std::thread script([&] { model.write("\a"); });
            script.join();
        }
        QCoreApplication::processEvents();
        std::thread script([&] {
            model.write("\a");
            model.takeFocus();
        });
        script.join();
        QCoreApplication::processEvents();
        QCOMPARE(model.beepCount(), 2);
        QCOMPARE(model.focusRequests(), 1);
    }

    void viewFollowsTheCursor() {
        ConsoleModel model;
        ConsoleWidget widget(model);
        widget.resize(300, 150);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QVERIFY(widget.isCellVisible(0, 0));

        model.gotoXY(200, 250);
        model.write("x");
        QTRY_VERIFY(widget.isCellVisible(201, 250));
        QVERIFY(!widget.isCellVisible(0, 0));
        QVERIFY(hasInk(widget, widget.cellRect(200, 250)));

        model.gotoXY(0, 0);
        QTRY_VERIFY(widget.isCellVisible(0, 0));

        // Writing past the last row scrolls the grid; the view stays on the cursor's last row.
        model.gotoXY(0, 254);
        model.write("a\r\nb\r\nlast");
        QTRY_VERIFY(widget.isCellVisible(4, 254));
        QCOMPARE(widget.rowText(254), QStringLiteral("last"));
        QCOMPARE(widget.rowText(252), QStringLiteral("a"));
    }

    void sizeHintSuitsABottomPane() {
        ConsoleModel model;
        ConsoleWidget widget(model);
        QVERIFY(widget.sizeHint().width() < 255 * widget.cellSize().width() / 2);
        QVERIFY(widget.sizeHint().height() < 255 * widget.cellSize().height() / 10);
        QVERIFY(widget.cellSize().width() > 0 && widget.cellSize().height() > 0);
    }
};

QTEST_MAIN(ConsoleWidgetTest)
#include "console_widget_test.moc"
