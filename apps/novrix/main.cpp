// novrix: the desktop IDE. Only one copy runs per program file; the main window owns everything else.
// SIGTERM and SIGINT close the window as its close button does (a run in progress is reset first), so
// a named script and the settings are written back when the session ends.
#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "platform/program_paths.h"
#include "platform/single_instance.h"
#include "shell/windows/main_window.h"

namespace {

// The write end of the pipe through which the signal handler wakes the event loop.
int& signalPipeWriteEnd() {
    static int fd = -1;
    return fd;
}

void onTerminate(int signal) {
    unsigned char code = static_cast<unsigned char>(signal);
    [[maybe_unused]] ssize_t n = ::write(signalPipeWriteEnd(), &code, 1);
}

} // namespace

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

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        signalPipeWriteEnd() = fds[1];
        auto* notifier = new QSocketNotifier(fds[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, fd = fds[0]] {
            unsigned char code;
            while (::read(fd, &code, 1) == 1) {
            }
            if (window.host().isRunning()) window.host().reset();
            QTimer::singleShot(0, &window, [&window] { window.close(); });
        });
        std::signal(SIGTERM, onTerminate);
        std::signal(SIGINT, onTerminate);
    }
    window.show();
    return QApplication::exec();
}
