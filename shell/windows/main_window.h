#pragma once
// The main window: the script editor on top, the compiler and debug messages in the middle, the output
// console at the bottom, the status bar with its three panels, the menus and the editor's pop-up menu. It
// is the desktop frontend of the host: the host's run control reaches the widgets only through the
// host::Frontend calls implemented here. It owns, in creation order, the script host with its threads,
// the settings, the debug log and the other windows (debug, help, about, receive buffer, Parameters).
#include <QMainWindow>
#include <QMessageBox>
#include <array>
#include <functional>
#include <memory>

#include "host/console_model.h"
#include "host/debug_log.h"
#include "host/frontend.h"
#include "host/host.h"
#include "host/settings.h"
#include "host/vocabulary.h"
#include "platform/ini_file.h"
#include "platform/program_paths.h"
#include "shell/core/recent_files.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QTimer;

namespace novrix::shell {

class AboutBox;
class ConsoleWidget;
class DebugWindow;
class HelpWindow;
class LedIndicator;
class PanelHeader;
class ParametersDialog;
class PrintController;
class ScriptEditor;
class SearchController;

// The questions and file choices of the file commands; tests answer them without dialogs.
struct MainWindowDialogs {
    // "File has not been saved, save now?": Yes, No or Cancel.
    std::function<QMessageBox::StandardButton(QWidget* parent)> askSave;
    // The chosen full path; empty when cancelled.
    std::function<QString(QWidget* parent, const QString& folder)> chooseOpenFile;
    std::function<QString(QWidget* parent, const QString& folder)> chooseSaveFile;
    std::function<void(QWidget* parent, const QString& message)> showError;

    static MainWindowDialogs standard();
};

class MainWindow : public QMainWindow, public host::Frontend {
    Q_OBJECT
public:
    explicit MainWindow(platform::ProgramPaths paths, MainWindowDialogs dialogs = MainWindowDialogs::standard());
    ~MainWindow() override;

    // --- file commands
    bool querySave();
    void newFile();
    void open();
    void openRecent(const QString& path);
    void save();
    void saveAs();
    void exit();
    void setFileName(const QString& name);
    const QString& currentFileName() const { return currentFileName_; }

    // --- run commands (the Program menu) and the editor's pop-up menu
    void toggleBreakpoint();
    void jumpToMessage(int row);

    // The start-up steps of the first showing have been carried out.
    bool started() const { return started_; }

    // --- for tests and screenshots
    host::Host& host() { return *host_; }
    ScriptEditor& editor() { return *editor_; }
    QListWidget& messages() { return *messages_; }
    ConsoleWidget& consoleWidget() { return *consoleWidget_; }
    host::ConsoleModel& consoleModel() { return consoleModel_; }
    host::DebugLog& debugLog() { return *debugLog_; }
    DebugWindow& debugWindow() { return *debugWindow_; }
    HelpWindow& helpWindow() { return *helpWindow_; }
    ParametersDialog& parametersDialog() { return *parametersDialog_; }
    SearchController& searchController() { return *search_; }
    PrintController& printController() { return *printing_; }
    const host::Settings& settings() const { return settings_; }
    QString statusText(int panel) const;
    QAction* action(const QString& objectName) const;
    QMenu* recentMenu() const { return recentMenu_; }
    const RecentFiles& recentFiles() const { return recent_; }
    // Heights of Panel1, Panel2, Panel3, SourceCode and CompilerMessages, top to bottom.
    std::array<int, 5> sectionHeights() const;
    std::array<QString, 3> panelCaptions() const;
    LedIndicator& led(int number) const; // 1 .. 4

    // --- host::Frontend
    void setStatusText(int panel, const std::string& text) override;
    void clearMessages() override;
    void addMessage(const std::string& line) override;
    void setActiveLine(int row) override;
    void repaintEditor() override;
    std::string scriptText() override;
    void collapseToConsole() override;
    void restoreLayout() override;
    void clearDebugConsole() override;
    void toggleLed(host::Led led) override;
    void processEvents(bool wait) override;
    host::ConsoleView& console() override { return consoleModel_; }

signals:
    void closed(); // the close sequence has run; the program may end

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void buildMenus();
    void buildPopupMenu();
    void formShow();
    void saveSettings();
    bool writeFile(const QString& path);
    bool readFile(const QString& path, QByteArray& bytes);
    void loadIntoEditor(const QByteArray& bytes);
    void rebuildRecentMenu();
    void loadRecent();
    void storeRecent();
    void addRecent(const QString& path);
    void showParameters();
    QAction* addCommand(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key,
                        const std::function<void()>& slot);

    platform::ProgramPaths paths_;
    MainWindowDialogs dialogs_;
    platform::IniFile ini_;
    host::Settings settings_;
    std::unique_ptr<host::DebugLog> debugLog_;
    host::ConsoleModel consoleModel_;
    RecentFiles recent_;

    // widgets (owned by Qt's parent tree)
    QSplitter* splitter_ = nullptr;
    PanelHeader* panels_[3] = {};
    ScriptEditor* editor_ = nullptr;
    QListWidget* messages_ = nullptr;
    ConsoleWidget* consoleWidget_ = nullptr;
    QLabel* statusPanels_[3] = {};
    LedIndicator* leds_[4] = {};
    QMenu* recentMenu_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    QAction* logAction_ = nullptr;
    QTimer* timer1_ = nullptr;

    // the other windows, created after the main window in a fixed order
    DebugWindow* debugWindow_ = nullptr;
    HelpWindow* helpWindow_ = nullptr;
    AboutBox* aboutBox_ = nullptr;
    ParametersDialog* parametersDialog_ = nullptr;
    SearchController* search_ = nullptr;
    PrintController* printing_ = nullptr;

    std::unique_ptr<host::Host> host_;
    std::unique_ptr<host::Vocabulary> vocabulary_;

    QString currentFileName_;
    int activeLine_ = 0;
    bool started_ = false;
    bool showScheduled_ = false;
    // Run Console's collapse: the splitter's sizes and the header heights before it.
    QList<int> savedSplitterSizes_;
    std::array<int, 3> savedHeaderHeights_{};
};

} // namespace novrix::shell
