// One running copy per program file: the lock name made from the program's path, the lock held against
// other guards and other processes, and released however its holder ends.
#include "platform/program_paths.h"
#include "platform/single_instance.h"
#include "settings_test_support.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <signal.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

using novrix::platform::kAlreadyRunningMessage;
using novrix::platform::SingleInstanceGuard;
using novrix::platform::singleInstanceLockName;
using novrix::platform::singleInstanceRuntimeFolder;
using novrix::test::TempDir;

namespace {

// A pipe whose ends close themselves; its read end sees end-of-file once every write end is closed.
struct Pipe {
    int fds[2] = {-1, -1};
    explicit Pipe(int flags = 0) {
        if (::pipe2(fds, flags) != 0)
            throw std::runtime_error("pipe2 failed");
    }
    ~Pipe() {
        closeRead();
        closeWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    int readEnd() const { return fds[0]; }
    int writeEnd() const { return fds[1]; }
    void closeRead() {
        if (fds[0] >= 0)
            ::close(std::exchange(fds[0], -1));
    }
    void closeWrite() {
        if (fds[1] >= 0)
            ::close(std::exchange(fds[1], -1));
    }
    // One byte, or -1 at end-of-file.
    int readByte() const {
        char c = 0;
        ssize_t n;
        do
            n = ::read(fds[0], &c, 1);
        while (n < 0 && errno == EINTR);
        return n == 1 ? static_cast<unsigned char>(c) : -1;
    }
    void writeByte(char c) const { [[maybe_unused]] ssize_t n = ::write(fds[1], &c, 1); }
};

// A forked child that is killed and reaped if the test ends before waiting for it.
class Child {
public:
    Child() : pid_(::fork()) {
        if (pid_ < 0)
            throw std::runtime_error("fork failed");
    }
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            waitForExit();
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    bool isChild() const { return pid_ == 0; }
    pid_t pid() const { return pid_; }
    bool running() const {
        int status = 0;
        return ::waitpid(pid_, &status, WNOHANG) == 0;
    }
    // The wait status; the child is then gone.
    int waitForExit() {
        int status = 0;
        const pid_t pid = std::exchange(pid_, -1);
        return ::waitpid(pid, &status, 0) == pid ? status : -1;
    }

private:
    pid_t pid_;
};

} // namespace

TEST(PlatformSingleInstance, LockNameIsThePathWithoutSlashesCutFromTheFront) {
    const std::string a150(150, 'a');
    const std::string b150(150, 'b');
    const std::string x259(259, 'x');
    struct Row {
        std::string path;
        std::string expected;
    };
    const Row rows[] = {
        {"/usr/local/bin/novrix", "usrlocalbinnovrix"},
        {"/home/ann/My Tools/novrix-2.1", "homeannMy Toolsnovrix-2.1"},
        {"novrix", "novrix"},
        {"//opt//novrix/", "optnovrix"},
        {"/", ""},
        // 259 characters once the slashes are gone are kept whole; one more loses the first.
        {"/" + x259.substr(0, 100) + "/" + x259.substr(100), x259},
        {"/y" + x259, x259},
        // 3 + 150 + 150 + 6 = 309 characters: the first 50 go, "opt" and 47 of the a's.
        {"/opt/" + a150 + "/" + b150 + "/novrix", std::string(103, 'a') + b150 + "novrix"},
    };
    for (const Row& row : rows) {
        const std::string name = singleInstanceLockName(row.path);
        EXPECT_EQ(name, row.expected) << row.path;
        EXPECT_LE(name.size(), 259u) << row.path;
    }
}

TEST(PlatformSingleInstance, RuntimeFolderIsAnAbsoluteXdgRuntimeDirElseTmp) {
    EXPECT_EQ(singleInstanceRuntimeFolder("/run/user/1000"), "/run/user/1000");
    EXPECT_EQ(singleInstanceRuntimeFolder(""), "/tmp");
    EXPECT_EQ(singleInstanceRuntimeFolder("run/user/1000"), "/tmp");
}

TEST(PlatformSingleInstance, MessageIsTheSixLinesJoinedByLineFeeds) {
    const char* const lines[] = {
        "This program can only be started once with the same name from the same subdirectory.",
        "You may make a copy with a different name and start this from the same subdirectory",
        "or you can copy the file with its original name to a different subdirectory and start",
        "it from there. In general it is recommended to use different names for different instances",
        "so that you can easily distinguish the different instances. The instances are shown",
        "in the title bar of the main window.",
    };
    std::string joined;
    for (const char* line : lines)
        joined += (joined.empty() ? "" : "\n") + std::string(line);
    EXPECT_EQ(kAlreadyRunningMessage, joined);
}

TEST(PlatformSingleInstance, SecondGuardIsRefusedUntilTheFirstEnds) {
    TempDir runtime;
    auto first = std::make_unique<SingleInstanceGuard>("/usr/local/bin/novrix", runtime.path());
    EXPECT_EQ(first->lockFile(), runtime / "usrlocalbinnovrix");
    ASSERT_TRUE(first->acquire());
    EXPECT_TRUE(first->held());
    EXPECT_FALSE(first->error());
    EXPECT_TRUE(first->acquire()) << "acquiring again while held";

    SingleInstanceGuard second("/usr/local/bin/novrix", runtime.path());
    EXPECT_FALSE(second.acquire());
    EXPECT_FALSE(second.held());
    EXPECT_FALSE(second.error()) << "a held lock is not an error";

    // A guard moved away keeps the lock; the one it came from holds nothing.
    SingleInstanceGuard moved = std::move(*first);
    first.reset();
    EXPECT_FALSE(second.acquire());

    moved = SingleInstanceGuard("/elsewhere/novrix", runtime.path());
    // The lock file outlives its holder: removing it could let two copies run.
    EXPECT_TRUE(std::filesystem::exists(runtime / "usrlocalbinnovrix"));
    EXPECT_TRUE(second.acquire());
    EXPECT_TRUE(second.held());
}

TEST(PlatformSingleInstance, LocksAreSharedExactlyByPathsWithTheSameName) {
    TempDir runtime;
    SingleInstanceGuard program("/opt/a/novrix", runtime.path());
    ASSERT_TRUE(program.acquire());
    // Another folder, another name: other programs.
    SingleInstanceGuard otherFolder("/opt/b/novrix", runtime.path());
    SingleInstanceGuard otherName("/opt/a/novrix-copy", runtime.path());
    EXPECT_TRUE(otherFolder.acquire());
    EXPECT_TRUE(otherName.acquire());
    EXPECT_TRUE(otherFolder.held());
    EXPECT_TRUE(otherName.held());
    // Without its slashes this path reads the same, so it shares the lock.
    SingleInstanceGuard sameName("/opta/novrix", runtime.path());
    EXPECT_FALSE(sameName.acquire());

    // A name longer than a Linux file name (255 bytes) still locks, cut from the front; paths that differ
    // only in what was cut share it.
    const std::string deep = "/" + std::string(130, 'd') + "/" + std::string(130, 'e') + "/novrix-long";
    SingleInstanceGuard longPath("/x" + deep, runtime.path());
    ASSERT_TRUE(longPath.acquire());
    EXPECT_TRUE(longPath.held());
    EXPECT_EQ(longPath.lockFile().filename().string().size(), 255u);
    EXPECT_EQ(longPath.lockFile().parent_path(), runtime.path());
    SingleInstanceGuard longPathOtherFront("/y" + deep, runtime.path());
    EXPECT_FALSE(longPathOtherFront.acquire());
}

TEST(PlatformSingleInstance, LeftoverLockFileDoesNotBlockAStart) {
    TempDir runtime;
    // What a copy that crashed leaves behind.
    novrix::test::writeFile(runtime / "optnovrix", "");
    SingleInstanceGuard guard("/opt/novrix", runtime.path());
    EXPECT_TRUE(guard.acquire());
    EXPECT_TRUE(guard.held());
}

TEST(PlatformSingleInstance, LockThatCannotBeMadeDoesNotStopTheStart) {
    TempDir runtime;
    SingleInstanceGuard missingFolder("/opt/novrix", runtime / "missing");
    EXPECT_TRUE(missingFolder.acquire());
    EXPECT_FALSE(missingFolder.held());
    EXPECT_EQ(missingFolder.error(), std::errc::no_such_file_or_directory);

    SingleInstanceGuard unknownProgram("", runtime.path());
    EXPECT_TRUE(unknownProgram.lockFile().empty());
    EXPECT_TRUE(unknownProgram.acquire());
    EXPECT_FALSE(unknownProgram.held());
    EXPECT_TRUE(unknownProgram.error());

    // A link planted in a shared folder is not followed: its target is neither created nor locked.
    std::filesystem::create_symlink(runtime / "target", runtime / "optplanted");
    SingleInstanceGuard planted("/opt/planted", runtime.path());
    EXPECT_TRUE(planted.acquire());
    EXPECT_FALSE(planted.held());
    EXPECT_TRUE(planted.error());
    EXPECT_FALSE(std::filesystem::exists(runtime / "target"));
}

TEST(PlatformSingleInstance, ChildHoldingTheLockBlocksUntilItEnds) {
    enum class Ending { Exits, IsKilled };
    for (Ending ending : {Ending::Exits, Ending::IsKilled}) {
        SCOPED_TRACE(ending == Ending::Exits ? "child exits" : "child is killed");
        TempDir runtime;
        // Made before the fork, so that the child only opens and locks.
        SingleInstanceGuard childGuard("/opt/novrix", runtime.path());
        SingleInstanceGuard parentGuard("/opt/novrix", runtime.path());
        Pipe report;
        Pipe release;
        Child child;
        if (child.isChild()) {
            report.writeByte(childGuard.acquire() && childGuard.held() ? 'y' : 'n');
            release.closeWrite();
            release.readByte(); // until the parent writes, or the parent's end closes
            ::_exit(0);
        }
        report.closeWrite();
        release.closeRead();
        ASSERT_EQ(report.readByte(), 'y');
        EXPECT_FALSE(parentGuard.acquire());

        if (ending == Ending::Exits)
            release.writeByte('x');
        else
            ::kill(child.pid(), SIGKILL);
        const int status = child.waitForExit();
        if (ending == Ending::Exits)
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        else
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        EXPECT_TRUE(parentGuard.acquire());
        EXPECT_TRUE(parentGuard.held());
    }
}

TEST(PlatformSingleInstance, ProgramStartedByTheHolderDoesNotKeepTheLock) {
    TempDir runtime;
    auto holder = std::make_unique<SingleInstanceGuard>("/opt/novrix", runtime.path());
    ASSERT_TRUE(holder->acquire());

    // The close-on-exec pipe reaches end-of-file when the started program has replaced the child.
    Pipe started(O_CLOEXEC);
    Child child;
    if (child.isChild()) {
        ::execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    started.closeWrite();
    EXPECT_EQ(started.readByte(), -1);
    ASSERT_TRUE(child.running()) << "sleep did not start";

    holder.reset();
    SingleInstanceGuard next("/opt/novrix", runtime.path());
    EXPECT_TRUE(next.acquire());
    EXPECT_TRUE(next.held());
}

TEST(PlatformSingleInstance, RunningProgramIsNamedAfterItsExecutable) {
    const SingleInstanceGuard guard = SingleInstanceGuard::forRunningProgram();
    const std::filesystem::path executable = novrix::platform::ProgramEnvironment::current().executable;
    EXPECT_EQ(guard.lockFile().parent_path(), singleInstanceRuntimeFolder());
    EXPECT_TRUE(guard.lockFile().filename().string().ends_with("novrix_unit_tests"));
    EXPECT_EQ(guard.lockFile().filename().string().find('/'), std::string::npos);
    EXPECT_EQ(guard.lockFile().filename(), singleInstanceLockName(executable.string()));
    EXPECT_FALSE(guard.held()) << "nothing is locked before acquire()";
}
