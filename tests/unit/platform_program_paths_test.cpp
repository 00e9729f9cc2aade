// The program's home: NOVRIX_HOME, else a writable executable folder, else the user's configuration
// folder; and the names of the files in it.
#include "platform/program_paths.h"
#include "settings_test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using novrix::platform::ProgramEnvironment;
using novrix::platform::ProgramPaths;
using novrix::test::TempDir;

namespace {

// A folder that holds the executable "novrix", and folders for the configuration and the user's home.
struct Install {
    TempDir dir;
    std::filesystem::path bin = dir / "bin";
    std::filesystem::path config = dir / "config";
    std::filesystem::path user = dir / "user";

    Install() {
        for (const auto& p : {bin, config, user})
            std::filesystem::create_directory(p);
        novrix::test::writeFile(bin / "novrix", "#!/bin/sh\n");
    }
    ProgramEnvironment env() const { return ProgramEnvironment{bin / "novrix", "", "", user.string()}; }
    // Lets an unprivileged child reach the folders, with the program's folder read-only.
    void makeProgramFolderReadOnly() const {
        ::chmod(dir.path().c_str(), 0755);
        ::chmod(config.c_str(), 0777);
        ::chmod(user.c_str(), 0777);
        ::chmod(bin.c_str(), 0555);
    }
};

// Resolves in a child without root privileges (so that folder permissions apply) and reports whether the
// home came out as `expected` and exists.
int resolvesAsUserTo(const ProgramEnvironment& env, const std::filesystem::path& expected) {
    return novrix::test::runInChild([&] {
        if (!novrix::test::dropRootPrivileges())
            return 10;
        const ProgramPaths paths = ProgramPaths::resolve(env);
        if (paths.home() != expected)
            return 11;
        return std::filesystem::is_directory(expected) ? 0 : 12;
    });
}

} // namespace

TEST(PlatformProgramPaths, NovrixHomeOverridesTheProgramFolderAndIsCreated) {
    Install install;
    ProgramEnvironment env = install.env();
    env.novrixHome = (install.dir / "home" / "nested").string();
    env.xdgConfigHome = install.config.string();
    const ProgramPaths paths = ProgramPaths::resolve(env);
    EXPECT_EQ(paths.home(), install.dir / "home" / "nested");
    EXPECT_TRUE(std::filesystem::is_directory(paths.home()));
    EXPECT_EQ(paths.settingsFile(), install.dir / "home" / "nested" / "novrix.ini");
    EXPECT_EQ(paths.debugLogFile(), install.dir / "home" / "nested" / "novrix_DebugLog.Txt");
    EXPECT_EQ(paths.file("Standard.488"), install.dir / "home" / "nested" / "Standard.488");
}

TEST(PlatformProgramPaths, RelativeNovrixHomeIsTakenFromTheCurrentFolder) {
    Install install;
    ProgramEnvironment env = install.env();
    env.novrixHome = "relative-home";
    const ProgramPaths paths = ProgramPaths::resolve(env);
    EXPECT_TRUE(paths.home().is_absolute());
    EXPECT_EQ(paths.home(), std::filesystem::current_path() / "relative-home");
    std::filesystem::remove(paths.home());
}

TEST(PlatformProgramPaths, WritableProgramFolderIsTheHome) {
    Install install;
    ProgramEnvironment env = install.env();
    env.xdgConfigHome = install.config.string();
    const ProgramPaths paths = ProgramPaths::resolve(env);
    EXPECT_EQ(paths.home(), install.bin);
    EXPECT_EQ(paths.settingsFile(), install.bin / "novrix.ini");
    EXPECT_FALSE(std::filesystem::exists(install.config / "novrix"));
    // As an unprivileged user too, when the folder is the user's to write.
    ::chmod(install.dir.path().c_str(), 0755);
    ::chmod(install.bin.c_str(), 0777);
    EXPECT_EQ(resolvesAsUserTo(env, install.bin), 0);
}

TEST(PlatformProgramPaths, ReadOnlyProgramFolderFallsBackToTheConfigurationFolder) {
    Install install;
    install.makeProgramFolderReadOnly();
    ProgramEnvironment env = install.env();

    env.xdgConfigHome = install.config.string();
    EXPECT_EQ(resolvesAsUserTo(env, install.config / "novrix"), 0) << "XDG_CONFIG_HOME";

    // Without XDG_CONFIG_HOME, or with a relative one (which the XDG rules say to ignore): ~/.config.
    env.xdgConfigHome = "";
    EXPECT_EQ(resolvesAsUserTo(env, install.user / ".config" / "novrix"), 0) << "HOME";
    env.xdgConfigHome = "relative/config";
    EXPECT_EQ(resolvesAsUserTo(env, install.user / ".config" / "novrix"), 0) << "relative XDG_CONFIG_HOME";

    // An unknown executable path has no folder to write to either.
    env = install.env();
    env.executable.clear();
    env.xdgConfigHome = install.config.string();
    const ProgramPaths paths = ProgramPaths::resolve(env, "novrix");
    EXPECT_EQ(paths.home(), install.config / "novrix");
    EXPECT_EQ(paths.settingsFile(), install.config / "novrix" / "novrix.ini");
}

TEST(PlatformProgramPaths, FilesAreNamedAfterTheProgramUnlessANameIsGiven) {
    Install install;
    ProgramEnvironment env = install.env();
    env.executable = install.bin / "novrix-run";
    EXPECT_EQ(ProgramPaths::resolve(env).settingsFile().filename(), "novrix-run.ini");
    EXPECT_EQ(ProgramPaths::resolve(env).debugLogFile().filename(), "novrix-run_DebugLog.Txt");
    // The headless runner shares the IDE's files.
    EXPECT_EQ(ProgramPaths::resolve(env, "novrix").settingsFile(), install.bin / "novrix.ini");
    // A dot in a program name is part of the name, not an extension.
    env.executable = install.bin / "novrix-2.1";
    EXPECT_EQ(ProgramPaths::resolve(env).settingsFile().filename(), "novrix-2.1.ini");
}

TEST(PlatformProgramPaths, CurrentEnvironmentNamesThisTestProgram) {
    const ProgramEnvironment env = ProgramEnvironment::current();
    EXPECT_TRUE(env.executable.is_absolute());
    EXPECT_TRUE(std::filesystem::is_regular_file(env.executable));
    EXPECT_EQ(env.executable.filename(), "novrix_unit_tests");
    EXPECT_FALSE(env.userHome.empty());
}
