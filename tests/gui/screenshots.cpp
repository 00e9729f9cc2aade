// Takes pictures of the main window (after a run of an example script), the debug window and the
// Parameters dialog, so that a person can look at them. Run under a virtual X server by the `screenshots`
// target; the pictures go to the folder given as the argument.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "shell/widgets/script_editor.h"
#include "shell/windows/debug_window.h"
#include "shell/windows/main_window.h"
#include "shell/windows/parameters_dialog.h"

using namespace novrix;

namespace {

bool save(QWidget& widget, const QDir& folder, const QString& name) {
    QString path = folder.filePath(name);
    bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED to write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: novrix_screenshots OUTPUT-FOLDER EXAMPLE.488\n");
        return 64;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    QTemporaryDir home;
    QFile::copy(QString::fromLocal8Bit(argv[2]), QDir(home.path()).filePath("Standard.488"));
    platform::ProgramEnvironment env = platform::ProgramEnvironment::current();
    env.novrixHome = home.path().toStdString();

    shell::MainWindow window(platform::ProgramPaths::resolve(env, "novrix"));
    window.show();
    if (!QTest::qWaitFor([&] { return window.started(); }, 20000)) return 1;
    // A free run of the example: its output in the console, its lines in the message list.
    window.host().run();
    if (!QTest::qWaitFor([&] { return !window.host().isRunning() && window.host().resultReported(); }, 20000)) {
        std::fprintf(stderr, "novrix_screenshots: the example did not finish\n");
        return 1;
    }
    QTest::qWait(100);
    bool ok = save(window, out, "main-window.png");

    // Debug lines as the bus and the controller search write them.
    for (const char* line : {"Search for Prologix LAN controllers: none found\r\n", "\r\n",
                             "PLNET GPIB OUT: ++addr 22\r\n", "PLNET GPIB OUT: MEAS:VOLT:DC?\r\n",
                             "PLNET GPIB IN : +1.23456789E+00\r\n"})
        window.debugLog().addDiscoveryLine(line);
    window.debugWindow().show();
    QTest::qWait(100);
    ok = save(window.debugWindow(), out, "debug-window.png") && ok;
    window.debugWindow().hide();

    window.parametersDialog().show();
    QTest::qWait(100);
    ok = save(window.parametersDialog(), out, "parameters-dialog.png") && ok;
    window.parametersDialog().hide();

    // A debug run paused on a breakpoint: the paused line red on white, another breakpoint white on red.
    window.host().toggleBreakpoint(8);
    window.host().toggleBreakpoint(10);
    QTimer::singleShot(0, [&] {
        if (QTest::qWaitFor([&] { return window.host().engine().pausedRow() == 8; }, 20000)) {
            QTest::qWait(100);
            ok = save(window, out, "main-window-paused.png") && ok;
        } else {
            std::fprintf(stderr, "novrix_screenshots: the debug run did not pause at line 8\n");
            ok = false;
        }
        window.host().reset();
    });
    window.host().run();
    window.close();
    return ok ? 0 : 1;
}
