// The main window as the host's frontend: what run control shows in the widgets.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QSplitter>
#include <QSplitterHandle>

#include "shell/core/editor_lines.h"
#include "shell/core/text_file_format.h"
#include "shell/widgets/console_widget.h"
#include "shell/widgets/led_indicator.h"
#include "shell/widgets/panel_header.h"
#include "shell/widgets/script_editor.h"
#include "shell/windows/debug_window.h"
#include "shell/windows/main_window.h"

namespace novrix::shell {
namespace {

// Texts of the engine are bytes: UTF-8 when they are, else one Latin-1 character each.
QString fromScriptBytes(const std::string& text) {
    return isUtf8(text) ? QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                        : QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

const char* const kCaptions[3] = {"Source Code", "Compiler & Debug Messages", "Output Console"};

} // namespace

void MainWindow::setStatusText(int panel, const std::string& text) {
    if (panel >= 0 && panel < 3) statusPanels_[panel]->setText(fromScriptBytes(text));
}

void MainWindow::clearMessages() { messages_->clear(); }

void MainWindow::addMessage(const std::string& line) {
    messages_->addItem(fromScriptBytes(line));
    messages_->scrollToBottom();
}

void MainWindow::setActiveLine(int row) {
    activeLine_ = row;
    if (row <= 0) return;
    if (std::optional<int> top = topLineToShow(row, editor_->topLine(), editor_->visibleLines()))
        editor_->setTopLine(std::max(1, *top));
    editor_->setCursorPosition(row - 1, 0);
}

void MainWindow::repaintEditor() {
    const engine::Engine& engine = host_->engine();
    const std::string& file = engine.mainFileName();
    editor_->showLineColours([&](int line) { return engine.hasBreakpoint(file, line); }, activeLine_);
}

std::string MainWindow::scriptText() {
    QByteArray bytes = editor_->bytes();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void MainWindow::collapseToConsole() {
    savedSplitterSizes_ = splitter_->sizes();
    for (int k = 0; k < 3; ++k) {
        savedHeaderHeights_[k] = panels_[k]->height();
        panels_[k]->setCaption(QString());
        panels_[k]->setFixedHeight(1);
        panels_[k]->setWhite(true);
    }
    // The editor and the message list keep one pixel row each; the console takes the rest.
    for (int k = 0; k < 3; ++k) splitter_->widget(k)->setMinimumHeight(0);
    editor_->setMinimumHeight(1);
    messages_->setMinimumHeight(1);
    int total = 0;
    for (int size : savedSplitterSizes_) total += size;
    splitter_->setSizes({2, 2, std::max(0, total - 4)});
    for (int k = 1; k < splitter_->count(); ++k) {
        QSplitterHandle* handle = splitter_->handle(k);
        handle->setEnabled(false);
        handle->setStyleSheet(QStringLiteral("background: white;"));
    }
}

void MainWindow::restoreLayout() {
    for (int k = 0; k < 3; ++k) {
        panels_[k]->setFixedHeight(savedHeaderHeights_[k]);
        panels_[k]->setWhite(false);
        panels_[k]->setCaption(QString::fromLatin1(kCaptions[k]));
        splitter_->widget(k)->setMinimumHeight(5);
    }
    splitter_->setSizes(savedSplitterSizes_);
    for (int k = 1; k < splitter_->count(); ++k) {
        QSplitterHandle* handle = splitter_->handle(k);
        handle->setEnabled(true);
        handle->setStyleSheet(QString());
    }
}

void MainWindow::clearDebugConsole() { debugWindow_->clearConsole(); }

void MainWindow::toggleLed(host::Led led) { leds_[static_cast<int>(led)]->toggle(); }

void MainWindow::processEvents(bool wait) {
    QApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
}

} // namespace novrix::shell
