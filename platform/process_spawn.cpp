#include "platform/process_spawn.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace novrix::platform {
namespace {

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// A pipe whose ends close on exec; the child reports a failed exec through it.
struct ExecPipe {
    int fds[2] = {-1, -1};
    ExecPipe() {
        if (::pipe2(fds, O_CLOEXEC) != 0)
            fds[0] = fds[1] = -1;
    }
    ~ExecPipe() {
        closeEnd(0);
        closeEnd(1);
    }
    ExecPipe(const ExecPipe&) = delete;
    ExecPipe& operator=(const ExecPipe&) = delete;
    bool ok() const { return fds[0] >= 0; }
    void closeEnd(int k) {
        if (fds[k] >= 0)
            ::close(fds[k]);
        fds[k] = -1;
    }
};

constexpr int kReportFd = 3; // where the started program's side of the exec pipe sits until exec

// Runs in the grandchild, after fork: only async-signal-safe calls until exec.
[[noreturn]] void becomeProgram(const char* path, char* const* argv, int reportFd) {
    if (reportFd != kReportFd) {
        ::dup2(reportFd, kReportFd);
        ::fcntl(kReportFd, F_SETFD, FD_CLOEXEC);
    }
    const int devNull = ::open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
    }
    // Nothing of ours may live on in the program: an inherited descriptor would keep a port, a socket or
    // a file lock of this process alive.
    if (::close_range(kReportFd + 1, ~0U, 0) != 0) {
        for (int fd = kReportFd + 1; fd < 1024; ++fd)
            ::close(fd);
    }
    // A signal mask or an ignored signal of this process is no business of the started program.
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig)
        ::sigaction(sig, &dfl, nullptr);
    ::execve(path, argv, environ);
    const int err = errno;
    [[maybe_unused]] ssize_t w = ::write(kReportFd, &err, sizeof err);
    ::_exit(127);
}

} // namespace

std::string findExecutable(std::string_view name) {
    if (name.empty())
        return {};
    if (name.find('/') != std::string_view::npos) {
        std::string path(name);
        return isExecutableFile(path) ? path : std::string();
    }
    const char* pathVar = std::getenv("PATH");
    const std::string_view dirs = pathVar ? pathVar : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string_view::npos)
            end = dirs.size();
        std::string dir(dirs.substr(start, end - start));
        if (dir.empty())
            dir = "."; // an empty PATH entry means the current folder
        std::string candidate = dir + "/" + std::string(name);
        if (isExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

bool spawnDetached(const std::string& program, const std::vector<std::string>& args) {
    // Everything the children need is prepared before fork: after it, only async-signal-safe calls.
    std::vector<std::string> argvText;
    argvText.reserve(args.size() + 1);
    argvText.push_back(program);
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argvText)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    ExecPipe report;
    if (!report.ok())
        return false;

    // Fork twice: the middle child starts a new session and leaves at once, so the program is adopted by
    // init (no zombie, no controlling terminal) and we only wait for the short-lived middle child.
    const pid_t middle = ::fork();
    if (middle < 0)
        return false;
    if (middle == 0) {
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0)
            becomeProgram(argv[0], argv.data(), report.fds[1]);
        ::_exit(program < 0 ? 1 : 0);
    }
    report.closeEnd(1);
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    // The pipe closes without a word when exec succeeded; a failed exec writes its errno.
    int err = 0;
    ssize_t got;
    while ((got = ::read(report.fds[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    return got == 0;
}

} // namespace novrix::platform
