#pragma once
// The "Debug Messages" window: a console of the latest 2000 debug lines, which a 10 ms timer moves there
// from the debug log, and the menu entry "Show Receive Buffer". The timer runs from the window's creation
// whether or not the window is shown, so lines written at start-up are waiting when it is opened; every
// 26 ticks the window emits heartbeat() (the main window toggles its third LED).
//
// The window stays on top of the others without blocking them. Its height keeps the console on whole
// lines: 110 pixels plus a multiple of 13.
#include "host/debug_log.h"

#include <QAction>
#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <functional>

class QPlainTextEdit;

namespace novrix::shell {

class BufferWindow;

class DebugWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kConsoleLines = 2000;
    static constexpr int kTickMilliseconds = 10;
    static constexpr int kHeartbeatTicks = 26;

    // `driverBoardActive` is asked at every showing: "Show Receive Buffer" is enabled only while it is
    // true. `receiveBufferSnapshot` copies the receive buffer for the receive-buffer window.
    DebugWindow(host::DebugLog& log, std::function<bool()> driverBoardActive,
                std::function<QByteArray()> receiveBufferSnapshot, QWidget* parent = nullptr);

    // Empties the console (before every run started by Run or Run Console).
    void clearConsole();

    // For the main window's wiring and for tests.
    QAction* menuEntry() const { return menuEntry_; }
    BufferWindow& bufferWindow() const { return *bufferWindow_; }
    // The console's text, lines separated by "\n"; lineCount() counts its lines, an unfinished last line
    // included, the empty line after the last line end not.
    QString consoleText() const;
    int lineCount() const;
    qint64 ticks() const { return ticks_; }

public slots:
    void showReceiveBuffer();

signals:
    void heartbeat();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void tick();
    void appendToConsole(const QString& text);

    host::DebugLog& log_;
    std::function<bool()> driverBoardActive_;
    QPlainTextEdit* console_;
    QAction* menuEntry_;
    BufferWindow* bufferWindow_;
    QTimer timer_;
    int heartbeatCounter_ = 0;
    qint64 ticks_ = 0;
};

} // namespace novrix::shell
