// novrix: the desktop IDE. Only one copy runs per program file; the main window owns everything else.
#include <QApplication>
#include <QMessageBox>
#include <csignal>

#include "platform/program_paths.h"
#include "platform/single_instance.h"
#include "shell/windows/main_window.h"

int main(int argc, char** argv) {
    // A file-size limit must end a write with an error, not the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("NOVRIX"));

    novrix::platform::SingleInstanceGuard guard = novrix::platform::SingleInstanceGuard::forRunningProgram();
    if (!guard.acquire()) {
        QApplication::beep();
        QMessageBox::warning(nullptr, QStringLiteral("NOVRIX"),
                             QString::fromUtf8(novrix::platform::kAlreadyRunningMessage.data(),
                                               static_cast<qsizetype>(novrix::platform::kAlreadyRunningMessage.size())));
        return 1;
    }

    auto paths = novrix::platform::ProgramPaths::resolve(novrix::platform::ProgramEnvironment::current());
    QApplication::setQuitOnLastWindowClosed(false);
    novrix::shell::MainWindow window(paths);
    QObject::connect(&window, &novrix::shell::MainWindow::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    window.show();
    return QApplication::exec();
}
