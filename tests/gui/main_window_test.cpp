// The main window as a user meets it: start-up, typing, saving, running, the console, breakpoints and
// stepping with their colours, Reset, Run Console's layout, the message jump, the recent files, the save
// question and the close sequence. File dialogs and the save question are answered by the test.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <deque>

#include "shell/printing/print_controller.h"
#include "shell/search/search_controller.h"
#include "shell/widgets/console_widget.h"
#include "shell/widgets/led_indicator.h"
#include "shell/widgets/script_editor.h"
#include "shell/windows/help_window.h"
#include "shell/windows/main_window.h"
#include "support/gui_test_support.h"
#include "support/scenario.h"

using namespace novrix;
using shell::LineColours;
using shell::MainWindow;

namespace {

// Answers for the window's questions, queued by the test; an unexpected question fails.
struct Answers {
    std::deque<QMessageBox::StandardButton> saveQuestion;
    std::deque<QString> openFile;
    std::deque<QString> saveFile;
    QStringList errors;
    int questionsAsked = 0;

    shell::MainWindowDialogs dialogs() {
        shell::MainWindowDialogs d;
        d.askSave = [this](QWidget*) {
            ++questionsAsked;
            if (saveQuestion.empty()) return QMessageBox::Cancel;
            auto answer = saveQuestion.front();
            saveQuestion.pop_front();
            return answer;
        };
        d.chooseOpenFile = [this](QWidget*, const QString&) { return take(openFile); };
        d.chooseSaveFile = [this](QWidget*, const QString&) { return take(saveFile); };
        d.showError = [this](QWidget*, const QString& message) { errors << message; };
        return d;
    }
    static QString take(std::deque<QString>& queue) {
        if (queue.empty()) return {};
        QString s = queue.front();
        queue.pop_front();
        return s;
    }
};

QStringList messageLines(MainWindow& w) {
    QStringList lines;
    for (int k = 0; k < w.messages().count(); ++k) lines << w.messages().item(k)->text();
    return lines;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void typeInto(shell::ScriptEditor& editor, const QString& text) {
    editor.setFocus();
    for (QChar c : text) {
        if (c == '\n')
            QTest::keyClick(&editor, Qt::Key_Return);
        else
            QTest::keyClicks(&editor, QString(c));
    }
}

platform::ProgramPaths testPaths(const QString& home) {
    platform::ProgramEnvironment env = platform::ProgramEnvironment::current();
    env.novrixHome = home.toStdString();
    return platform::ProgramPaths::resolve(env, "novrix");
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QString home_;
    Answers answers_;
    std::unique_ptr<MainWindow> window_;

    MainWindow& startWindow() {
        window_ = std::make_unique<MainWindow>(testPaths(home_), answers_.dialogs());
        window_->show();
        if (!QTest::qWaitFor([&] { return window_->started(); }, 10000)) qFatal("the window did not start");
        return *window_;
    }
    // The free run started last has ended and its result line stands.
    bool freeRunReported() {
        return !window_->host().isRunning() && !window_->host().startRequested() &&
               window_->host().resultReported();
    }

private slots:
    void init() {
        home_ = guitest::freshHome();
        answers_ = Answers{};
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "novrix-desktop", "novrix").clear();
    }
    void cleanup() {
        if (window_ && window_->host().isRunning()) {
            window_->host().reset();
            QTRY_VERIFY_WITH_TIMEOUT(!window_->host().isRunning(), 10000);
        }
        window_.reset();
    }

    void startUpWithoutStandardScript() {
        MainWindow& w = startWindow();
        QCOMPARE(w.windowTitle(), QString("NOVRIX (started as novrix)"));
        QCOMPARE(w.statusText(1), QString("Editor"));
        QCOMPARE(w.statusText(2), QString());
        QCOMPARE(w.host().engine().mainFileName(), std::string("Unnamed"));
        QVERIFY(w.editor().text().isEmpty());
        QVERIFY(!w.editor().isModified());
        QCOMPARE(w.messages().count(), 0); // neither the warm-up script nor its line is left
        QString help = w.helpWindow().text();
        QVERIFY(help.startsWith("In addition to standard pascal syntax you are allowed to use\n"
                                "the following list of types, constants, functions and procedures.\n\n"));
        QVERIFY(help.contains("Function NOVRIX_"));
        QVERIFY(help.trimmed().endsWith("7   11  Busy"));
        QCOMPARE(w.panelCaptions()[1], QString("Compiler & Debug Messages"));
        // a fresh installation: defaults, the user file in the home
        QVERIFY(w.settings().searchLan && w.settings().searchSerial && !w.settings().connectLan);
        QCOMPARE(QString::fromStdString(w.settings().userFileName), QDir(home_).filePath("UserFileName.Txt"));
        QVERIFY(!w.action("Debugoutput")->isChecked());
    }

    void standardScriptIsLoadedAndWrittenBackAtClose() {
        QString standard = QDir(home_).filePath("Standard.488");
        writeBytes(standard, "program Std;\r\nbegin\r\nend.\r\n");
        writeBytes(QDir(home_).filePath("novrix.ini"), "[General]\r\nDebugOutput=True\r\nSearchLAN=yes\r\n");
        MainWindow& w = startWindow();
        QCOMPARE(w.statusText(2), standard);
        QCOMPARE(w.host().engine().mainFileName(), std::string("Standard.488"));
        QVERIFY(w.action("Debugoutput")->isChecked());
        QVERIFY(w.settings().searchLan); // "yes" is not a Boolean: the default stands
        QVERIFY(!w.editor().isModified());

        w.editor().setCursorPosition(1, 5);
        QTest::keyClicks(&w.editor(), " WriteLn('x');");
        QVERIFY(w.close()); // the close button asks nothing
        QCOMPARE(answers_.questionsAsked, 0);
        QCOMPARE(fileBytes(standard), QByteArray("program Std;\r\nbegin WriteLn('x');\r\nend.\r\n")); // CR LF kept
        QByteArray ini = fileBytes(QDir(home_).filePath("novrix.ini"));
        QVERIFY2(ini.contains("DebugOutput=True") && ini.contains("UserFileName="), ini.constData());
    }

    // The walk of a new user: type, save, run, see the output, set a breakpoint, step, reset, reopen.
    void typeSaveRunDebugAndReopen() {
        MainWindow& w = startWindow();
        typeInto(w.editor(), "program First;\nvar i: Integer;\nbegin\ni := 6;\nWriteLn('Result ', i * 7);\nWriteLn('done');\nend.");
        QVERIFY(w.editor().isModified());
        QCOMPARE(w.editor().text(), QString("program First;\nvar i: Integer;\nbegin\ni := 6;\nWriteLn('Result ', i * 7);\nWriteLn('done');\nend."));
        QTRY_COMPARE(w.statusText(0), QString("7:5")); // the editor reports its caret when it updates

        // Save on an unnamed script is Save as; a name without extension gets ".488".
        QString path = QDir(home_).filePath("first");
        answers_.saveFile.push_back(path);
        w.action("Save1")->trigger();
        QCOMPARE(w.currentFileName(), path + ".488");
        QCOMPARE(w.statusText(2), path + ".488");
        QVERIFY(!w.editor().isModified());
        QVERIFY(fileBytes(path + ".488").startsWith("program First;\nvar i: Integer;\n")); // new files: LF
        QCOMPARE(w.host().engine().mainFileName(), std::string("first.488"));

        // Run: a free run, its output in the console, its lines in the message list.
        w.action("Run1")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(freeRunReported(), 10000);
        QCOMPARE(messageLines(w), QStringList({"Succesfully compiled", "Succesfully Execute"}));
        QTRY_COMPARE(QString::fromStdString(w.consoleModel().rowText(0)), QString("Result 42"));
        QCOMPARE(QString::fromStdString(w.consoleModel().rowText(1)), QString("done"));
        QCOMPARE(w.statusText(1), QString("Editor"));

        // A breakpoint on line 5 (F5 in the editor): white on red.
        w.editor().setCursorPosition(4, 0);
        w.editor().setFocus();
        QTest::keyClick(&w.editor(), Qt::Key_F5);
        QCOMPARE(w.host().breakpointCount(), 1);
        QCOMPARE(w.editor().shownColours(5), (LineColours{shell::kRgbWhite, shell::kRgbRed}));
        QCOMPARE(w.editor().shownColours(4), std::nullopt);

        // Run with a breakpoint: a debug run on this thread, paused at line 5; step over to line 6, then
        // run on to the end. The scenario acts from inside the paused run's event loop.
        std::optional<LineColours> atBreakpoint, afterStep, onBreakpointAfterStep;
        QString runningStatus;
        guitest::Scenario scenario;
        scenario
            .step("paused at line 5", [&] { return w.host().engine().pausedRow() == 5; },
                  [&] {
                      atBreakpoint = w.editor().shownColours(5);
                      runningStatus = w.statusText(1);
                      QTest::keyClick(&w, Qt::Key_F8); // Step Over
                  })
            .step("paused at line 6", [&] { return w.host().engine().pausedRow() == 6; },
                  [&] {
                      afterStep = w.editor().shownColours(6);
                      onBreakpointAfterStep = w.editor().shownColours(5);
                      QTest::keyClick(&w, Qt::Key_F9); // Run: resume
                  });
        scenario.start();
        w.action("Run1")->trigger();
        QVERIFY2(scenario.finished(), scenario.waitingFor().c_str());
        QCOMPARE(runningStatus, QString("Running"));
        QCOMPARE(atBreakpoint, (LineColours{shell::kRgbRed, shell::kRgbWhite}));
        // Stepping moves the paused line (white on blue), the breakpoint line is white on red again.
        QCOMPARE(afterStep, (LineColours{shell::kRgbWhite, shell::kRgbBlue}));
        QCOMPARE(onBreakpointAfterStep, (LineColours{shell::kRgbWhite, shell::kRgbRed}));
        QCOMPARE(messageLines(w).last(), QString("Succesfully Execute"));
        QCOMPARE(w.editor().shownColours(6), std::nullopt);
        QCOMPARE(w.editor().shownColours(5), (LineColours{shell::kRgbWhite, shell::kRgbRed}));

        // Step Into from idle pauses at the first line; Reset ends it, and a step run reports nothing.
        guitest::Scenario stepping;
        stepping.step("paused at the first line", [&] { return w.host().engine().pausedRow() > 0; },
                      [&] { w.action("Reset1")->trigger(); });
        stepping.start();
        w.action("StepInto1")->trigger();
        QVERIFY2(stepping.finished(), stepping.waitingFor().c_str());
        QVERIFY(!w.host().isRunning());
        QCOMPARE(messageLines(w), QStringList({"Succesfully compiled"})); // the compile cleared the list

        // Toggling again clears the breakpoint.
        w.editor().setCursorPosition(4, 0);
        w.toggleBreakpoint();
        QCOMPARE(w.host().breakpointCount(), 0);
        QCOMPARE(w.editor().shownColours(5), std::nullopt);

        // New (nothing modified: no question), then reopen from the recent list.
        QCOMPARE(w.recentFiles().paths(), (std::vector<std::string>{(path + ".488").toStdString()}));
        w.action("New1")->trigger();
        QCOMPARE(answers_.questionsAsked, 0);
        QVERIFY(w.editor().text().isEmpty());
        QCOMPARE(w.host().engine().mainFileName(), std::string("Unnamed"));
        QCOMPARE(w.recentMenu()->actions().size(), 1);
        QCOMPARE(w.recentMenu()->actions()[0]->text(), QString("first.488"));
        w.recentMenu()->actions()[0]->trigger();
        QVERIFY(w.editor().text().startsWith("program First;"));
        QCOMPARE(w.currentFileName(), path + ".488");
    }

    void closeKeepsTheWindowWhenTheScriptCannotBeWritten() {
        MainWindow& w = startWindow();
        QString folder = QDir(home_).filePath("gone");
        QDir().mkpath(folder);
        answers_.saveFile.push_back(QDir(folder).filePath("lost.488"));
        w.editor().setText("begin end.");
        w.saveAs();
        w.editor().setText("begin WriteLn('typed since'); end.");
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(!w.close()); // the error is shown and the text stays
        QCOMPARE(answers_.errors.size(), 1);
        QVERIFY(w.editor().isModified());
        answers_.saveFile.push_back(QDir(home_).filePath("kept.488"));
        w.saveAs();
        QVERIFY(w.close());
        QCOMPARE(fileBytes(QDir(home_).filePath("kept.488")), QByteArray("begin WriteLn('typed since'); end."));
    }

    void freeRunResetAndCloseRefusedWhileRunning() {
        MainWindow& w = startWindow();
        w.editor().setText("begin\n  while True do Sleep(5);\nend.\n");
        w.action("Run1")->trigger();
        QTRY_VERIFY(w.host().isRunning());
        QTRY_COMPARE(w.statusText(1), QString("Running"));
        QVERIFY(!w.close()); // refused, silently
        QVERIFY(answers_.errors.isEmpty());
        QCOMPARE(answers_.questionsAsked, 0);
        w.action("Reset1")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(freeRunReported(), 10000);
        QCOMPARE(messageLines(w).last(), QString("Succesfully Execute")); // a reset run counts as a success
        QCOMPARE(w.statusText(1), QString("Editor"));
        QVERIFY(w.close());
    }

    void closeRefusedWhilePaused() {
        MainWindow& w = startWindow();
        w.editor().setText("begin\n  WriteLn('a');\n  WriteLn('b');\nend.\n");
        bool closed = true;
        guitest::Scenario scenario;
        scenario.step("paused", [&] { return w.host().engine().pausedRow() > 0; },
                      [&] {
                          closed = w.close();
                          w.action("Reset1")->trigger();
                      });
        scenario.start();
        w.action("StepOver1")->trigger();
        QVERIFY2(scenario.finished(), scenario.waitingFor().c_str());
        QVERIFY(!closed);
        QVERIFY(w.close());
    }

    void runConsoleCollapsesAndRestoresExactly() {
        MainWindow& w = startWindow();
        QTest::qWait(50); // let the layout settle
        auto heightsBefore = w.sectionHeights();
        auto captionsBefore = w.panelCaptions();
        w.editor().setText("begin\n  WriteLn('waiting');\n  while not NOVRIX_KbdKeypressed do Sleep(5);\n"
                           "  x := 1 div 0;\nend.\n");
        // the script does not compile (x undeclared): nothing collapses, nothing runs
        w.action("RunConsole1")->trigger();
        QVERIFY(!w.host().consoleLayoutActive());
        QVERIFY(!w.host().startRequested());
        QVERIFY(messageLines(w).first().startsWith("[Error] Unnamed(4:3): "));

        w.editor().setText("var x, y: Integer;\nbegin\n  WriteLn('waiting');\n"
                           "  while not NOVRIX_KbdKeypressed do Sleep(5);\n  y := 0;\n  x := 1 div y;\nend.\n");
        w.action("RunConsole1")->trigger();
        QVERIFY(w.host().consoleLayoutActive());
        QTest::qWait(50);
        auto collapsed = w.panelCaptions();
        QCOMPARE(collapsed, (std::array<QString, 3>{}));
        QVERIFY(w.sectionHeights()[0] <= 1 && w.sectionHeights()[3] <= 1 && w.sectionHeights()[4] <= 1);
        QTRY_COMPARE(QString::fromStdString(w.consoleModel().rowText(0)), QString("waiting"));
        QTest::keyClick(&w.consoleWidget(), Qt::Key_A); // the console has the focus and takes the key
        QTRY_VERIFY_WITH_TIMEOUT(freeRunReported(), 10000);
        QVERIFY(messageLines(w).last().startsWith("Runtime Error: "));
        QTest::qWait(50);
        QCOMPARE(w.sectionHeights(), heightsBefore); // exactly as before, although the script failed
        QCOMPARE(w.panelCaptions(), captionsBefore);
        QVERIFY(!w.host().consoleLayoutActive());
    }

    void messageJumpSelectsTheQuotedName() {
        MainWindow& w = startWindow();
        w.editor().setText("var a: Integer;\nbegin\n  a := b + 1;\nend.\n");
        w.action("Compile1")->trigger();
        QStringList lines = messageLines(w);
        QVERIFY(!lines.isEmpty());
        QVERIFY2(lines[0].startsWith("[Error] Unnamed(3:8): ") && lines[0].contains("'b'"), qPrintable(lines[0]));
        w.messages().setCurrentRow(0);
        w.jumpToMessage(0);
        int line = 0, index = 0;
        w.editor().getCursorPosition(&line, &index);
        QCOMPARE(line, 2);
        QCOMPARE(w.editor().selectedText(), QString("b"));
        int fromLine, fromIndex, toLine, toIndex;
        w.editor().getSelection(&fromLine, &fromIndex, &toLine, &toIndex);
        QCOMPARE(fromIndex, 7);

        // Lines without a position move nothing.
        w.editor().setCursorPosition(0, 0);
        w.addMessage("Succesfully compiled");
        w.jumpToMessage(w.messages().count() - 1);
        w.editor().getCursorPosition(&line, &index);
        QCOMPARE(line, 0);
    }

    void saveQuestionAndFailedOpenLoseNothing() {
        MainWindow& w = startWindow();
        w.editor().setText("begin end.");
        QVERIFY(w.editor().isModified());

        // Cancel: New changes nothing.
        answers_.saveQuestion.push_back(QMessageBox::Cancel);
        w.newFile();
        QCOMPARE(w.editor().text(), QString("begin end."));
        QVERIFY(w.editor().isModified());

        // Yes on an unnamed script opens Save as; cancelling it cancels New.
        answers_.saveQuestion.push_back(QMessageBox::Yes);
        w.newFile();
        QCOMPARE(w.editor().text(), QString("begin end."));
        QCOMPARE(w.currentFileName(), QString());

        // An open that cannot read its file keeps the editor as it was.
        answers_.saveQuestion.push_back(QMessageBox::No);
        answers_.openFile.push_back(QDir(home_).filePath("missing.488"));
        w.open();
        QCOMPARE(answers_.errors.size(), 1);
        QCOMPARE(w.editor().text(), QString("begin end."));

        // No: the text is dropped; New.488 in the home is the template of an unnamed script.
        writeBytes(QDir(home_).filePath("New.488"), "program New;\nbegin\nend.\n");
        answers_.saveQuestion.push_back(QMessageBox::No);
        w.newFile();
        QCOMPARE(w.editor().text(), QString("program New;\nbegin\nend.\n"));
        QCOMPARE(w.currentFileName(), QString());
        QVERIFY(!w.editor().isModified());
    }

    void latin1FilesComeBackByteForByte() {
        MainWindow& w = startWindow();
        QString path = QDir(home_).filePath("latin.488");
        QByteArray bytes("begin\r\n  WriteLn('5 \xB5V');\r\nend.\r\n"); // µ as one Latin-1 byte
        writeBytes(path, bytes);
        answers_.openFile.push_back(path);
        w.open();
        QVERIFY(w.editor().text().contains(QString::fromUtf8("5 \xC2\xB5V")));
        w.editor().setModified(true);
        w.save();
        QCOMPARE(fileBytes(path), bytes);
    }

    void prefixKeyPastesThroughTheClipboard() {
        MainWindow& w = startWindow();
        w.editor().setText("x := ;");
        w.editor().setCursorPosition(0, 5);
        w.editor().setFocus();
        QApplication::clipboard()->setText("something else");
        QTest::keyClick(&w.editor(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(w.editor().text(), QString("x := NOVRIX_;"));
        QCOMPARE(QApplication::clipboard()->text(), QString("NOVRIX_"));
    }

    void menusHaveTheirCaptionsAndKeys() {
        MainWindow& w = startWindow();
        struct Entry {
            const char* name;
            const char* caption;
            QKeySequence key;
        };
        const Entry entries[] = {
            {"New1", "&New", QKeySequence("Ctrl+N")},          {"Open1", "&Open", QKeySequence("Ctrl+O")},
            {"Save1", "&Save", QKeySequence("Ctrl+S")},        {"Saveas1", "Save &as", QKeySequence("Ctrl+A")},
            {"Undo1", "&Undo", QKeySequence("Ctrl+Z")},        {"Redo1", "&Redo", QKeySequence("Ctrl+Alt+Z")},
            {"Delete1", "&Delete", QKeySequence("Ctrl+Del")},  {"Find1", "&Find", QKeySequence("Ctrl+F")},
            {"Replace1", "&Replace", QKeySequence("Ctrl+R")},  {"Findnext1", "&Find next", QKeySequence("F3")},
            {"Findprevious1", "Find &previous", QKeySequence("F4")},
            {"Compile1", "&Compile", QKeySequence("Ctrl+F9")}, {"Run1", "&Run", QKeySequence("F9")},
            {"RunConsole1", "Run C&onsole", QKeySequence("Shift+F9")},
            {"StepInto1", "Step &Into", QKeySequence("F7")},   {"StepOver1", "&Step Over", QKeySequence("F8")},
            {"Reset1", "&Reset", QKeySequence("Ctrl+F2")},     {"oggleBreakpoint1", "&Toggle Breakpoint", QKeySequence("F5")},
            {"DebugMessages1", "&Debug Messages", {}},         {"Help1", "&Help", {}},
            {"About1", "&About", {}},                          {"Parameters1", "&Parameters", {}},
        };
        for (const Entry& e : entries) {
            QAction* a = w.action(e.name);
            QVERIFY2(a, e.name);
            QCOMPARE(a->text(), QString(e.caption));
            QCOMPARE(a->shortcut(), e.key);
        }
        // Ctrl+A is Save as, not the editor's select-all.
        w.editor().setText("begin end.");
        w.editor().setFocus();
        QString target = QDir(home_).filePath("keys.488");
        answers_.saveFile.push_back(target);
        QTest::keyClick(&w.editor(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w.currentFileName(), target);
        QVERIFY(!w.editor().hasSelectedText());
    }

    // The Search keys reach the search from the editor (the editor's own bindings of them are removed).
    void searchKeysFromTheEditor() {
        MainWindow& w = startWindow();
        int beeps = 0;
        std::vector<bool> dialogs; // replacing?
        w.searchController().setHooks(shell::SearchControllerHooks{
            [&](bool replacing, const shell::SearchDialogFields& shown) -> std::optional<shell::SearchDialogFields> {
                dialogs.push_back(replacing);
                if (replacing) return std::nullopt; // the replace dialog is cancelled
                shell::SearchDialogFields answer = shown;
                answer.searchText = "Line";
                return answer;
            },
            {}, [&] { ++beeps; }});
        w.editor().setText("begin\n  Line := 1;\n  Line := 2;\nend.\n");
        w.editor().setCursorPosition(0, 0);
        w.editor().setFocus();
        QTest::keyClick(&w.editor(), Qt::Key_F3); // nothing searched yet
        QCOMPARE(beeps, 1);
        QTest::keyClick(&w.editor(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(dialogs, std::vector<bool>{false});
        int line, index;
        w.editor().getCursorPosition(&line, &index);
        QCOMPARE(w.editor().selectedText(), QString("Line"));
        QCOMPARE(line, 1);
        QTest::keyClick(&w.editor(), Qt::Key_F3);
        w.editor().getCursorPosition(&line, &index);
        QCOMPARE(line, 2);
        QTest::keyClick(&w.editor(), Qt::Key_F4);
        w.editor().getCursorPosition(&line, &index);
        QCOMPARE(line, 1);
        QTest::keyClick(&w.editor(), Qt::Key_R, Qt::ControlModifier); // Ctrl+R is Replace
        QCOMPARE(dialogs, (std::vector<bool>{false, true}));
    }

    // Printing takes the editor's text and the current file as its title.
    void printsTheEditorWithTheFileAsTitle() {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
        MainWindow& w = startWindow();
        w.editor().setText("program Printed;\nbegin\n  WriteLn('on paper');\nend.\n");
        QString script = QDir(home_).filePath("printed.488");
        answers_.saveFile.push_back(script);
        w.saveAs();
        QString pdf = QDir(home_).filePath("printed.pdf");
        QVERIFY(w.printController().printToPdf(pdf));
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(30000));
        QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains("WriteLn('on paper');"), qPrintable(printed));
        QVERIFY2(printed.contains(script), qPrintable(printed));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
