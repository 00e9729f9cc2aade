#pragma once
// The program's home: the folder that holds its settings file, its debug log, the standard script and
// the user file. It is the executable's folder when that is writable (a portable install), else
// $XDG_CONFIG_HOME/novrix (~/.config/novrix); the environment variable NOVRIX_HOME overrides both.
#include <filesystem>
#include <string>
#include <string_view>

namespace novrix::platform {

// What the home depends on, gathered once so that the rule can be applied to any set of values.
struct ProgramEnvironment {
    std::filesystem::path executable; // full path of the running program; empty if unknown
    std::string novrixHome;           // $NOVRIX_HOME, empty when unset
    std::string xdgConfigHome;        // $XDG_CONFIG_HOME, empty when unset
    std::string userHome;             // $HOME, else the password database's entry; may be empty

    // The running process: /proc/self/exe and its environment.
    static ProgramEnvironment current();
};

class ProgramPaths {
public:
    // Applies the home rule and creates the home if it is missing (a failure to create it is not
    // reported here: the files in it then fail to open, which their users tolerate). `programName`
    // names the settings file and the debug log; empty means the executable's file name.
    static ProgramPaths resolve(const ProgramEnvironment& env, std::string programName = {});

    const std::filesystem::path& home() const { return home_; }
    const std::string& programName() const { return programName_; }
    // A file in the home, such as "Standard.488" or "UserFileName.Txt".
    std::filesystem::path file(std::string_view name) const { return home_ / name; }
    std::filesystem::path settingsFile() const { return file(programName_ + ".ini"); }
    std::filesystem::path debugLogFile() const { return file(programName_ + "_DebugLog.Txt"); }

private:
    ProgramPaths(std::filesystem::path home, std::string programName)
        : home_(std::move(home)), programName_(std::move(programName)) {}

    std::filesystem::path home_;
    std::string programName_;
};

} // namespace novrix::platform
