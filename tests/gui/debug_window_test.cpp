// The debug window: the 10 ms drain of the debug log into its console (order, line ends, the 2000-line
// limit), the heartbeat, the "Show Receive Buffer" entry, the whole-line height and clearing.
#include "host/debug_log.h"
#include "shell/widgets/hex_view.h"
#include "shell/windows/buffer_window.h"
#include "shell/windows/debug_window.h"
#include "support/gui_test_support.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

using novrix::host::DebugLog;
using novrix::shell::DebugWindow;

namespace {

struct Fixture {
    DebugLog log;
    bool boardActive = false;
    int snapshots = 0;
    std::unique_ptr<DebugWindow> window = std::make_unique<DebugWindow>(
        log, [this] { return boardActive; },
        [this] {
            ++snapshots;
            return QByteArray("IDN", 3);
        });
};

QString numberedLines(int first, int last) {
    QString text;
    for (int i = first; i <= last; ++i)
        text += QStringLiteral("line %1\n").arg(i);
    return text;
}

} // namespace

class DebugWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { novrix::guitest::freshHome(); }

    void drainsTheLogInOrderWhileHidden() {
        Fixture f;
        QVERIFY(!f.window->isVisible());
        f.log.addDiscoveryLine("first\r\n");
        f.log.addBusLine("PLNET GPIB OUT: *IDN?\r\n");
        f.log.addDiscoveryLine("\r\n");
        f.log.addTransportLine("PLNET GPIB IN : ACME,1\r\n");
        QTRY_COMPARE(f.window->consoleText(),
                     QStringLiteral("first\nPLNET GPIB OUT: *IDN?\n\nPLNET GPIB IN : ACME,1\n"));
        QCOMPARE(f.window->lineCount(), 4);
        QCOMPARE(f.log.pendingCount(), size_t(0));

        // Later lines follow the earlier ones.
        f.log.addDiscoveryLine("second batch\r\n");
        QTRY_COMPARE(f.window->lineCount(), 5);
        QVERIFY(f.window->consoleText().endsWith(QStringLiteral("ACME,1\nsecond batch\n")));
    }

    void entriesAreShownAsTheirLineEndsSay_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("lines");
        QTest::newRow("empty entry is an empty line") << QStringList{"a\r\n", "\r\n", "b\r\n"} << "a\n\nb\n"
                                                      << 3;
        QTest::newRow("entry without line end continues") << QStringList{"abc", "def\r\n"} << "abcdef\n" << 1;
        QTest::newRow("unfinished last line counts") << QStringList{"a\r\n", "b"} << "a\nb" << 2;
        QTest::newRow("CR LF inside an entry") << QStringList{"x\r\ny\r\n"} << "x\ny\n" << 2;
        QTest::newRow("lone CR and control codes vanish") << QStringList{"a\rb\x01\x07"
                                                                         "c\r\n"}
                                                          << "abc\n"
                                                          << 1;
        QTest::newRow("lone LF ends a line") << QStringList{"a\nb\r\n"} << "a\nb\n" << 2;
        QTest::newRow("TAB shows as a blank") << QStringList{"a\tb\r\n"} << "a b\n" << 1;
        QTest::newRow("bytes as Latin-1")
            << QStringList{QString::fromLatin1("\xb5V\r\n")} << QString::fromLatin1("\xb5V\n") << 1;
    }
    void entriesAreShownAsTheirLineEndsSay() {
        QFETCH(QStringList, entries);
        QFETCH(QString, shown);
        QFETCH(int, lines);
        Fixture f;
        for (const QString& entry : entries)
            f.log.addDiscoveryLine(entry.toLatin1().toStdString());
        QTRY_COMPARE(f.window->consoleText(), shown);
        QCOMPARE(f.window->lineCount(), lines);
    }

    void keepsTheLatest2000Lines() {
        Fixture f;
        for (int i = 0; i < 1500; ++i)
            f.log.addBusLine(QStringLiteral("line %1\r\n").arg(i).toStdString());
        QTRY_COMPARE(f.window->lineCount(), 1500);
        for (int i = 1500; i < 3100; ++i)
            f.log.addBusLine(QStringLiteral("line %1\r\n").arg(i).toStdString());
        QTRY_VERIFY(f.window->consoleText().endsWith(QStringLiteral("line 3099\n")));
        QCOMPARE(f.window->lineCount(), DebugWindow::kConsoleLines);
        QCOMPARE(f.window->consoleText(), numberedLines(1100, 3099));
    }

    void heartbeatEvery26Ticks() {
        Fixture f;
        std::vector<qint64> ticksAtBeat;
        connect(f.window.get(), &DebugWindow::heartbeat, this,
                [&] { ticksAtBeat.push_back(f.window->ticks()); });
        QSignalSpy spy(f.window.get(), &DebugWindow::heartbeat);
        QTRY_VERIFY_WITH_TIMEOUT(f.window->ticks() > 3 * 26, 60000);
        QCOMPARE(qint64(spy.count()), f.window->ticks() / 26);
        QCOMPARE(ticksAtBeat.at(0), qint64(26));
        QCOMPARE(ticksAtBeat.at(1), qint64(52));
        QCOMPARE(ticksAtBeat.at(2), qint64(78));
    }

    void receiveBufferEntryFollowsTheDriverBoardAtEveryShowing() {
        Fixture f;
        DebugWindow& w = *f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Debug Messages"));
        QCOMPARE(w.menuEntry()->text(), QStringLiteral("Show Receive Buffer"));
        QVERIFY(w.menuBar()->actions().contains(w.menuEntry()));
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w.windowModality(), Qt::NonModal);

        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.menuEntry()->isEnabled());
        w.menuEntry()->trigger();
        QVERIFY(!w.bufferWindow().isVisible());
        QCOMPARE(f.snapshots, 0);

        // The board state is asked again at the next showing, not while shown.
        f.boardActive = true;
        QVERIFY(!w.menuEntry()->isEnabled());
        w.hide();
        w.show();
        QVERIFY(w.menuEntry()->isEnabled());
        w.menuEntry()->trigger();
        QVERIFY(w.bufferWindow().isVisible());
        QCOMPARE(f.snapshots, 1);
        QCOMPARE(w.bufferWindow().hexView().data(), QByteArray("IDN"));
        QVERIFY(w.isVisible()); // not blocked, not closed

        f.boardActive = false;
        w.hide();
        w.show();
        QVERIFY(!w.menuEntry()->isEnabled());
    }

    void heightKeepsWholeLines() {
        Fixture f;
        DebugWindow& w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.width(), 785);
        QCOMPARE(w.height(), 318); // the design height 306, on whole lines

        const std::pair<int, int> cases[] = {{100, 110}, {120, 123}, {123, 123}, {400, 409}, {111, 123}};
        for (const auto& [asked, taken] : cases) {
            w.resize(700, asked);
            QTRY_COMPARE(w.height(), taken);
            QCOMPARE(w.width(), 700);
        }
    }

    void clearConsoleEmptiesIt() {
        Fixture f;
        f.log.addDiscoveryLine("old\r\n");
        QTRY_COMPARE(f.window->lineCount(), 1);
        f.window->clearConsole();
        QCOMPARE(f.window->consoleText(), QString());
        QCOMPARE(f.window->lineCount(), 0);
        f.log.addDiscoveryLine("new\r\n");
        QTRY_COMPARE(f.window->consoleText(), QStringLiteral("new\n"));
    }
};

QTEST_MAIN(DebugWindowTest)
#include "debug_window_test.moc"
