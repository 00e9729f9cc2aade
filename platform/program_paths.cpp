#include "platform/program_paths.h"

#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace novrix::platform {

namespace {

std::string environmentValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string passwordHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

bool writableFolder(const std::filesystem::path& folder) {
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::filesystem::path chooseHome(const ProgramEnvironment& env) {
    if (!env.novrixHome.empty())
        return env.novrixHome;
    const std::filesystem::path programFolder = env.executable.parent_path();
    if (writableFolder(programFolder))
        return programFolder;
    // A relative XDG_CONFIG_HOME is invalid by the XDG rules and is ignored.
    const std::filesystem::path xdg = env.xdgConfigHome;
    if (xdg.is_absolute())
        return xdg / "novrix";
    return std::filesystem::path(env.userHome) / ".config" / "novrix";
}

} // namespace

ProgramEnvironment ProgramEnvironment::current() {
    ProgramEnvironment env;
    std::error_code ec;
    std::string exe = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    // A program file replaced while running (an update, a rebuild) reads with this mark.
    constexpr std::string_view kDeleted = " (deleted)";
    if (exe.ends_with(kDeleted))
        exe.resize(exe.size() - kDeleted.size());
    env.executable = exe;
    env.novrixHome = environmentValue("NOVRIX_HOME");
    env.xdgConfigHome = environmentValue("XDG_CONFIG_HOME");
    env.userHome = environmentValue("HOME");
    if (env.userHome.empty())
        env.userHome = passwordHome();
    return env;
}

ProgramPaths ProgramPaths::resolve(const ProgramEnvironment& env, std::string programName) {
    std::error_code ec;
    std::filesystem::path home = std::filesystem::absolute(chooseHome(env), ec);
    std::filesystem::create_directories(home, ec);
    if (programName.empty())
        programName = env.executable.filename().string();
    if (programName.empty())
        programName = "novrix";
    return ProgramPaths(std::move(home), std::move(programName));
}

} // namespace novrix::platform
