#include "shell/windows/debug_window.h"

#include "shell/core/debug_window_height.h"
#include "shell/widgets/fixed_font.h"
#include "shell/windows/buffer_window.h"
#include "shell/windows/window_centring.h"

#include <QMenuBar>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <string>

namespace novrix::shell {

namespace {

constexpr int kDesignWidth = 785;
constexpr int kDesignHeight = 306;

// An entry as the console shows it: CR LF (or a lone LF) ends the line, a TAB shows as a blank, and a
// lone CR and the other control codes show nothing. Bytes are shown as Latin-1.
QString shownText(const std::string& entry) {
    QString text;
    text.reserve(qsizetype(entry.size()));
    for (size_t i = 0; i < entry.size(); ++i) {
        const auto c = static_cast<unsigned char>(entry[i]);
        if (c == '\r') {
            if (i + 1 < entry.size() && entry[i + 1] == '\n') {
                text += QLatin1Char('\n');
                ++i;
            }
        } else if (c == '\n') {
            text += QLatin1Char('\n');
        } else if (c == '\t') {
            text += QLatin1Char(' ');
        } else if (c >= 32 && c != 127) {
            text += QChar(c);
        }
    }
    return text;
}

} // namespace

DebugWindow::DebugWindow(host::DebugLog& log, std::function<bool()> driverBoardActive,
                         std::function<QByteArray()> receiveBufferSnapshot, QWidget* parent)
    : QMainWindow(parent, Qt::Tool | Qt::WindowStaysOnTopHint), log_(log),
      driverBoardActive_(std::move(driverBoardActive)), console_(new QPlainTextEdit(this)),
      menuEntry_(menuBar()->addAction(QStringLiteral("Show Receive Buffer"))),
      bufferWindow_(new BufferWindow(std::move(receiveBufferSnapshot), this)) {
    setWindowTitle(QStringLiteral("Debug Messages"));

    console_->setReadOnly(true);
    console_->setUndoRedoEnabled(false);
    console_->setLineWrapMode(QPlainTextEdit::NoWrap);
    console_->setFont(fixedPitchFont(QStringLiteral("Courier"), 11));
    // The line being written is a block of its own, after the 2000 finished ones.
    console_->setMaximumBlockCount(kConsoleLines + 1);
    console_->setMinimumHeight(0);
    setCentralWidget(console_);
    statusBar();

    connect(menuEntry_, &QAction::triggered, this, &DebugWindow::showReceiveBuffer);

    // Window managers that honour size increments offer only whole-line heights while dragging; the
    // resize handler enforces them everywhere else.
    setBaseSize(0, kDebugWindowMinimumHeight);
    setSizeIncrement(1, kDebugWindowLineStep);
    setMinimumHeight(kDebugWindowMinimumHeight);
    resize(kDesignWidth, debugWindowHeight(kDesignHeight));
    centreOnScreen(*this);

    timer_.setInterval(kTickMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &DebugWindow::tick);
    timer_.start();
}

void DebugWindow::clearConsole() {
    console_->clear();
}

QString DebugWindow::consoleText() const {
    return console_->toPlainText();
}

int DebugWindow::lineCount() const {
    const QTextDocument* document = console_->document();
    const int blocks = document->blockCount();
    return document->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

void DebugWindow::showReceiveBuffer() {
    bufferWindow_->show();
    bufferWindow_->raise();
    bufferWindow_->activateWindow();
}

void DebugWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        menuEntry_->setEnabled(driverBoardActive_ && driverBoardActive_());
}

void DebugWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    const int height = event->size().height();
    const int wanted = debugWindowHeight(height);
    if (wanted != height)
        resize(event->size().width(), wanted);
}

void DebugWindow::tick() {
    // Only the entries present now: lines added meanwhile wait for the next tick. Each is taken under
    // the log's lock and shown outside it.
    const std::size_t count = log_.pendingCount();
    QString text;
    for (std::size_t i = 0; i < count; ++i) {
        const std::optional<std::string> entry = log_.takeFirst();
        if (!entry)
            break; // the log was cleared meanwhile
        text += shownText(*entry);
    }
    if (!text.isEmpty())
        appendToConsole(text);

    ++ticks_;
    if (++heartbeatCounter_ >= kHeartbeatTicks) {
        heartbeatCounter_ = 0;
        emit heartbeat();
    }
}

void DebugWindow::appendToConsole(const QString& text) {
    // The view follows new lines while it shows the end; a reader who scrolled back stays where he is.
    QScrollBar* const bar = console_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(console_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    if (atEnd)
        bar->setValue(bar->maximum());
}

} // namespace novrix::shell
