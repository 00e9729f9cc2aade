#include "shell/windows/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "shell/printing/print_controller.h"
#include "shell/search/search_controller.h"
#include "shell/widgets/console_widget.h"
#include "shell/widgets/led_indicator.h"
#include "shell/widgets/panel_header.h"
#include "shell/widgets/script_editor.h"
#include "shell/windows/about_box.h"
#include "shell/windows/debug_window.h"
#include "shell/windows/help_window.h"
#include "shell/windows/parameters_dialog.h"
#include "shell/windows/window_centring.h"

namespace novrix::shell {
namespace {

constexpr int kSplitterWidth = 3;
constexpr int kSplitterMinimum = 5;
constexpr int kEditorHeight = 276;
constexpr int kMessagesHeight = 71;
constexpr int kStatusWidths[3] = {60, 80, 255};

QFont windowFont() {
    QFont font("Tahoma");
    font.setPixelSize(14);
    return font;
}

// One pane of the window: its caption bar over its content.
QWidget* section(PanelHeader* header, QWidget* content, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(content, 1);
    box->setMinimumHeight(kSplitterMinimum);
    return box;
}

} // namespace

MainWindow::MainWindow(platform::ProgramPaths paths, MainWindowDialogs dialogs)
    : paths_(std::move(paths)), dialogs_(std::move(dialogs)), ini_(paths_.settingsFile()) {
    // The window's caption names the program file it was started as.
    setWindowTitle(QStringLiteral("NOVRIX (started as %1)").arg(QString::fromStdString(paths_.programName())));
    setFont(windowFont());
    resize(1024, 768);
    centreOnScreen(*this);

    buildLayout();

    // The script host: its engine (wired to the run control), its execution thread.
    host_ = std::make_unique<host::Host>(*this);
    vocabulary_ = std::make_unique<host::Vocabulary>(*host_);
    host_->setRegistrar([this](engine::Engine& e) { vocabulary_->registerAll(e); });
    host_->engine().setNeedFile([this](const std::string& name, std::string& out) {
        QString folder = currentFileName_.isEmpty() ? QString::fromStdString(paths_.home().string())
                                                    : QFileInfo(currentFileName_).absolutePath();
        QByteArray bytes;
        if (!readFile(QDir(folder).filePath(QString::fromStdString(name)), bytes)) return false;
        out.assign(bytes.constData(), bytes.size());
        return true;
    });

    // The recent files, the settings and the debug log.
    loadRecent();
    settings_ = host::loadSettings(ini_, paths_.home());
    host_->userFileName() = settings_.userFileName;
    debugLog_ = std::make_unique<host::DebugLog>(paths_.debugLogFile());
    debugLog_->setLogToFile(settings_.debugOutput);

    buildMenus();
    buildPopupMenu();
    logAction_->setChecked(settings_.debugOutput);
    setStatusText(1, "Editor");

    // The other windows, in their fixed order.
    debugWindow_ = new DebugWindow(*debugLog_, [] { return false; /* no driver board until the bus joins */ },
                                   [] { return QByteArray(); }, this);
    connect(debugWindow_, &DebugWindow::heartbeat, this, [this] { leds_[2]->toggle(); });
    helpWindow_ = new HelpWindow(this);
    aboutBox_ = new AboutBox(this);
    parametersDialog_ = new ParametersDialog(settings_, [this] { saveSettings(); }, this);
    search_ = new SearchController(*editor_, this);
    printing_ = new PrintController(*editor_, [this] { return currentFileName_; }, this);

    // The main thread's 1 ms timer: the host's tasks, the console pump and the heartbeat LED.
    timer1_ = new QTimer(this);
    timer1_->setInterval(1);
    connect(timer1_, &QTimer::timeout, this, [this] { host_->tick(); });
    timer1_->start();
    setFileName(QString());
}

MainWindow::~MainWindow() {
    timer1_->stop();
    host_->releaseScriptResources();
    host_.reset(); // stops the execution thread
    vocabulary_.reset();
    // The widgets that use members of this window (the console model, the debug log, the settings, the
    // editor) go before those members do.
    delete printing_;
    delete search_;
    delete parametersDialog_;
    delete debugWindow_;
    delete takeCentralWidget();
}

void MainWindow::buildLayout() {
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setHandleWidth(kSplitterWidth);
    splitter_->setOpaqueResize(true);
    splitter_->setChildrenCollapsible(false);

    panels_[0] = new PanelHeader(QStringLiteral("Source Code"));
    panels_[0]->setObjectName(QStringLiteral("Panel1"));
    editor_ = new ScriptEditor;
    editor_->setObjectName(QStringLiteral("SourceCode"));

    panels_[1] = new PanelHeader(QStringLiteral("Compiler & Debug Messages"));
    panels_[1]->setObjectName(QStringLiteral("Panel2"));
    for (int k = 0; k < 4; ++k) {
        leds_[k] = new LedIndicator(panels_[1]);
        leds_[k]->setObjectName(QStringLiteral("Led%1").arg(k + 1));
        leds_[k]->move(8 + 24 * k, 5);
        leds_[k]->raise();
    }
    messages_ = new QListWidget;
    messages_->setObjectName(QStringLiteral("CompilerMessages"));
    messages_->setUniformItemSizes(true);
    messages_->setStyleSheet(QStringLiteral("QListWidget::item { height: 14px; }"));
    connect(messages_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        jumpToMessage(messages_->row(item));
    });

    panels_[2] = new PanelHeader(QStringLiteral("Output Console"));
    panels_[2]->setObjectName(QStringLiteral("Panel3"));
    consoleWidget_ = new ConsoleWidget(consoleModel_);
    consoleWidget_->setObjectName(QStringLiteral("Console"));

    splitter_->addWidget(section(panels_[0], editor_, splitter_));
    splitter_->addWidget(section(panels_[1], messages_, splitter_));
    splitter_->addWidget(section(panels_[2], consoleWidget_, splitter_));
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 0);
    splitter_->setStretchFactor(2, 1);
    int top = PanelHeader::kHeight + kEditorHeight;
    int middle = PanelHeader::kHeight + kMessagesHeight;
    splitter_->setSizes({top, middle, std::max(100, 768 - top - middle - 80)});
    setCentralWidget(splitter_);

    for (int k = 0; k < 3; ++k) {
        statusPanels_[k] = new QLabel(this);
        statusPanels_[k]->setObjectName(QStringLiteral("StatusPanel%1").arg(k + 1));
        statusPanels_[k]->setFixedWidth(kStatusWidths[k]);
        statusPanels_[k]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addWidget(statusPanels_[k]);
    }
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    connect(editor_, &QsciScintilla::cursorPositionChanged, this, [this](int line, int index) {
        setStatusText(0, std::to_string(line + 1) + ":" + std::to_string(index + 1));
    });
    connect(editor_, &QsciScintilla::linesChanged, this, [this] { repaintEditor(); });
}

QAction* MainWindow::addCommand(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key,
                                const std::function<void()>& slot) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    if (!key.isEmpty()) action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [slot] { slot(); });
    menu->addAction(action);
    return action;
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    addCommand(file, "Parameters1", "&Parameters", {}, [this] { showParameters(); });
    file->addSeparator();
    addCommand(file, "New1", "&New", QKeySequence(Qt::CTRL | Qt::Key_N), [this] { newFile(); });
    file->addSeparator();
    addCommand(file, "Open1", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O), [this] { open(); });
    recentMenu_ = file->addMenu(QStringLiteral("Open &Recent"));
    recentMenu_->setObjectName(QStringLiteral("OpenRecent1"));
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] { rebuildRecentMenu(); });
    rebuildRecentMenu();
    addCommand(file, "Save1", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S), [this] { save(); });
    addCommand(file, "Saveas1", "Save &as", QKeySequence(Qt::CTRL | Qt::Key_A), [this] { saveAs(); });
    file->addSeparator();
    logAction_ = addCommand(file, "Debugoutput", "Log Debug Messages into file", {}, [this] {
        debugLog_->setLogToFile(logAction_->isChecked());
    });
    logAction_->setCheckable(true);
    file->addSeparator();
    addCommand(file, "PageSetup1", "Page Setup", {}, [this] { printing_->pageSetup(); });
    addCommand(file, "PrinterSetup1", "Printer Setup", {}, [this] { printing_->printerSetup(); });
    addCommand(file, "PrintPreview1", "Print Preview", {}, [this] { printing_->printPreview(); });
    addCommand(file, "Print1", "Print", {}, [this] { printing_->print(); });
    file->addSeparator();
    addCommand(file, "Exit1", "&Exit", {}, [this] { exit(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    addCommand(edit, "Undo1", "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z), [this] {
        if (editor_->isUndoAvailable()) editor_->undo();
    });
    addCommand(edit, "Redo1", "&Redo", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z), [this] {
        if (editor_->isRedoAvailable()) editor_->redo();
    });
    edit->addSeparator();
    addCommand(edit, "Cut1", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X), [this] { editor_->cut(); });
    addCommand(edit, "Copy1", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), [this] { editor_->copy(); });
    addCommand(edit, "Paste1", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V), [this] {
        if (!editor_->isReadOnly()) editor_->paste();
    });
    addCommand(edit, "Delete1", "&Delete", QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] {
        editor_->removeSelectedText();
    });

    // Ctrl+R belongs to "&Replace"; "Open &Recent" is reached through the File menu.
    QMenu* searchMenu = menuBar()->addMenu(QStringLiteral("&Search"));
    addCommand(searchMenu, "Find1", "&Find", QKeySequence(Qt::CTRL | Qt::Key_F), [this] { search_->find(); });
    addCommand(searchMenu, "Replace1", "&Replace", QKeySequence(Qt::CTRL | Qt::Key_R), [this] { search_->replace(); });
    searchMenu->addSeparator();
    addCommand(searchMenu, "Findnext1", "&Find next", QKeySequence(Qt::Key_F3), [this] { search_->findNext(); });
    addCommand(searchMenu, "Findprevious1", "Find &previous", QKeySequence(Qt::Key_F4), [this] { search_->findPrevious(); });

    QMenu* program = menuBar()->addMenu(QStringLiteral("&Program"));
    addCommand(program, "Compile1", "&Compile", QKeySequence(Qt::CTRL | Qt::Key_F9), [this] { host_->compile(); });
    addCommand(program, "Run1", "&Run", QKeySequence(Qt::Key_F9), [this] { host_->run(); });
    addCommand(program, "RunConsole1", "Run C&onsole", QKeySequence(Qt::SHIFT | Qt::Key_F9), [this] {
        host_->runConsole();
    });
    program->addSeparator();
    addCommand(program, "StepInto1", "Step &Into", QKeySequence(Qt::Key_F7), [this] { host_->stepInto(); });
    addCommand(program, "StepOver1", "&Step Over", QKeySequence(Qt::Key_F8), [this] { host_->stepOver(); });
    program->addSeparator();
    addCommand(program, "Reset1", "&Reset", QKeySequence(Qt::CTRL | Qt::Key_F2), [this] { host_->reset(); });

    auto topLevel = [this](const QString& name, const QString& caption, const std::function<void()>& slot) {
        QAction* action = menuBar()->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [slot] { slot(); });
    };
    topLevel("DebugMessages1", "&Debug Messages", [this] {
        debugWindow_->show();
        debugWindow_->raise();
        debugWindow_->activateWindow();
    });
    topLevel("Help1", "&Help", [this] {
        helpWindow_->show();
        helpWindow_->raise();
    });
    topLevel("About1", "&About", [this] { aboutBox_->show(); });

    // The menus own these keys, not the editor's own bindings.
    QList<QKeySequence> keys;
    for (QAction* a : findChildren<QAction*>())
        if (!a->shortcut().isEmpty()) keys << a->shortcut();
    keys << QKeySequence(Qt::CTRL | Qt::Key_E) << QKeySequence(Qt::Key_F5);
    editor_->releaseKeys(keys);
}

void MainWindow::buildPopupMenu() {
    popupMenu_ = new QMenu(editor_);
    auto* toggle = new QAction(QStringLiteral("&Toggle Breakpoint"), editor_);
    toggle->setObjectName(QStringLiteral("oggleBreakpoint1"));
    toggle->setShortcut(QKeySequence(Qt::Key_F5));
    toggle->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(toggle, &QAction::triggered, this, [this] { toggleBreakpoint(); });
    editor_->addAction(toggle);
    popupMenu_->addAction(toggle);
    popupMenu_->addSeparator();
    for (const char* name : {"Cut1", "Copy1", "Paste1", "Delete1"}) popupMenu_->addAction(action(name));
    editor_->setPopupMenu(popupMenu_);
}

QAction* MainWindow::action(const QString& objectName) const {
    for (QAction* a : findChildren<QAction*>())
        if (a->objectName() == objectName) return a;
    for (QAction* a : menuBar()->actions())
        if (a->objectName() == objectName) return a;
    return nullptr;
}

QString MainWindow::statusText(int panel) const { return statusPanels_[panel]->text(); }

LedIndicator& MainWindow::led(int number) const { return *leds_[number - 1]; }

std::array<int, 5> MainWindow::sectionHeights() const {
    return {panels_[0]->height(), panels_[1]->height(), panels_[2]->height(), editor_->height(),
            messages_->height()};
}

std::array<QString, 3> MainWindow::panelCaptions() const {
    return {panels_[0]->caption(), panels_[1]->caption(), panels_[2]->caption()};
}

void MainWindow::toggleBreakpoint() { host_->toggleBreakpoint(editor_->caretLine()); }

void MainWindow::showParameters() {
    settings_.userFileName = host_->userFileName();
    parametersDialog_->show();
    parametersDialog_->raise();
}

void MainWindow::saveSettings() {
    host_->userFileName() = settings_.userFileName;
    settings_.debugOutput = logAction_->isChecked();
    host::saveSettings(settings_, ini_);
}

} // namespace novrix::shell
