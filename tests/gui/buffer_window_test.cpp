// The receive-buffer window: a snapshot at every showing with the cursor on offset 0, and its hex view
// (line layout, cursor keys, scrolling through a megabyte).
#include "shell/widgets/hex_view.h"
#include "shell/windows/buffer_window.h"
#include "support/gui_test_support.h"

#include <QtTest>

using novrix::shell::BufferWindow;
using novrix::shell::HexView;

namespace {

constexpr qint64 kReceiveBufferSize = 1048576;

QByteArray receiveBuffer(const QByteArray& head) {
    QByteArray buffer(kReceiveBufferSize, '\0');
    buffer.replace(0, head.size(), head);
    return buffer;
}

} // namespace

class BufferWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { novrix::guitest::freshHome(); }

    void everyShowingTakesAFreshSnapshotWithTheCursorAtZero() {
        QByteArray buffer = receiveBuffer("+1.234E-03\r\n");
        int snapshots = 0;
        BufferWindow window([&] {
            ++snapshots;
            return buffer;
        });
        QCOMPARE(window.windowTitle(), QStringLiteral("Receive Buffer"));
        QCOMPARE(window.size(), QSize(727, 422));
        QCOMPARE(snapshots, 0);

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        HexView& view = window.hexView();
        QCOMPARE(snapshots, 1);
        QCOMPARE(view.data().size(), kReceiveBufferSize);
        QCOMPARE(view.cursorOffset(), qint64(0));
        QVERIFY(view.lineText(0).startsWith(
            QStringLiteral("00000: 2B 31 2E 32 33 34 45 2D 30 33 0D 0A 00 00 00 00")));
        QVERIFY(view.lineText(0).endsWith(QStringLiteral("+1.234E-03......")));

        // A later receive does not change the view while it is shown ...
        view.setCursorOffset(5000);
        buffer = receiveBuffer("NEW");
        QVERIFY(view.lineText(0).startsWith(QStringLiteral("00000: 2B 31")));
        QCOMPARE(view.cursorOffset(), qint64(5000));

        // ... the next showing shows it, from offset 0.
        window.hide();
        window.show();
        QCOMPARE(snapshots, 2);
        QVERIFY(view.lineText(0).startsWith(QStringLiteral("00000: 4E 45 57 00")));
        QCOMPARE(view.cursorOffset(), qint64(0));
        QCOMPARE(view.firstVisibleLine(), qint64(0));
    }

    void cursorKeysMoveAndScroll() {
        HexView view;
        view.resize(700, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setData(receiveBuffer("abc"));
        view.setFocus();

        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            qint64 from;
            qint64 to;
        } cases[] = {
            {Qt::Key_Right, Qt::NoModifier, 0, 1},
            {Qt::Key_Left, Qt::NoModifier, 0, 0},
            {Qt::Key_Down, Qt::NoModifier, 3, 19},
            {Qt::Key_Up, Qt::NoModifier, 19, 3},
            {Qt::Key_Up, Qt::NoModifier, 3, 3},
            {Qt::Key_Home, Qt::NoModifier, 37, 32},
            {Qt::Key_End, Qt::NoModifier, 37, 47},
            {Qt::Key_End, Qt::ControlModifier, 0, kReceiveBufferSize - 1},
            {Qt::Key_Home, Qt::ControlModifier, kReceiveBufferSize - 1, 0},
            {Qt::Key_Down, Qt::NoModifier, kReceiveBufferSize - 5, kReceiveBufferSize - 5},
            {Qt::Key_Right, Qt::NoModifier, kReceiveBufferSize - 1, kReceiveBufferSize - 1},
        };
        for (const auto& c : cases) {
            view.setCursorOffset(c.from);
            QTest::keyClick(&view, c.key, c.modifiers);
            QCOMPARE(view.cursorOffset(), c.to);
            QVERIFY(view.isOffsetVisible(c.to));
        }

        view.setCursorOffset(0);
        const qint64 page = qint64(view.visibleLineCount()) * HexView::kBytesPerLine;
        QVERIFY(page > 0);
        QTest::keyClick(&view, Qt::Key_PageDown);
        QCOMPARE(view.cursorOffset(), page);
        QVERIFY(view.isOffsetVisible(page));

        view.setCursorOffset(kReceiveBufferSize + 100); // clamped
        QCOMPARE(view.cursorOffset(), kReceiveBufferSize - 1);
        QVERIFY(view.isOffsetVisible(kReceiveBufferSize - 1));
        QVERIFY(!view.isOffsetVisible(0));
        QCOMPARE(view.firstVisibleLine() + view.visibleLineCount(), view.lineCount());
    }

    void linesShowOffsetsBytesAndCharacters() {
        HexView view;
        QByteArray data;
        for (int i = 0; i < 20; ++i)
            data.append(char(0x7a + i)); // 'z' { | } ~ DEL 0x80 ...
        view.setData(data);
        QCOMPARE(view.lineCount(), qint64(2));
        QCOMPARE(view.lineText(0),
                 QStringLiteral("0000: 7A 7B 7C 7D 7E 7F 80 81 82 83 84 85 86 87 88 89  z{|}~..........."));
        QCOMPARE(view.lineText(1), QStringLiteral("0010: 8A 8B 8C 8D") + QString(12 * 3, QLatin1Char(' ')) +
                                       QStringLiteral("  ...."));

        view.setData(receiveBuffer(QByteArray()));
        QVERIFY(view.lineText(65535).startsWith(QStringLiteral("FFFF0: 00")));
        QCOMPARE(view.lineText(65536), QString());

        view.setData(QByteArray());
        QCOMPARE(view.lineCount(), qint64(0));
        view.setCursorOffset(10);
        QCOMPARE(view.cursorOffset(), qint64(0));
    }

    void clickPutsTheCursorOnTheByte() {
        HexView view;
        view.resize(700, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setData(receiveBuffer("0123456789abcdefXYZ"));
        // Find the cell of offset 18 ('Z') by probing, then click it.
        QPoint target(-1, -1);
        for (int y = 0; y < view.viewport()->height() && target.x() < 0; y += 2)
            for (int x = 0; x < view.viewport()->width(); x += 2)
                if (view.offsetAt(QPoint(x, y)) == 18) {
                    target = QPoint(x, y);
                    break;
                }
        QVERIFY(target.x() >= 0);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, target);
        QCOMPARE(view.cursorOffset(), qint64(18));
    }
};

QTEST_MAIN(BufferWindowTest)
#include "buffer_window_test.moc"
