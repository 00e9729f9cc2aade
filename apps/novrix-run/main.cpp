// novrix-run: compiles and runs one script with the program's host, without a window. Console output on
// stdout, keyboard from stdin, message lines (compiler messages, debug lines, the result) on stderr.
// Exit status: 0 success, 1 compile error, 2 run-time error.
#include <atomic>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/debug_log.h"
#include "host/host.h"
#include "host/settings.h"
#include "host/vocabulary.h"
#include "platform/ini_file.h"
#include "platform/program_paths.h"
#include "terminal_console.h"
#include "terminal_frontend.h"

namespace {

// Ctrl+C asks for Reset; the main loop carries it out.
std::atomic<bool>& interruptFlag() {
    static std::atomic<bool> flag{false};
    return flag;
}

void onInterrupt(int) { interruptFlag().store(true); }

int usage() {
    std::cerr << "usage: novrix-run [options] FILE.488\n"
                 "  --break LINE     pause when the run reaches LINE (repeatable)\n"
                 "  --step           pause at the first line\n"
                 "  --debug          show the debug message lines on stderr\n"
                 "  --settings FILE  the settings file (default: novrix.ini in the program home)\n"
                 "  --dump-tokens, --dump-ast, --dump-code   show a phase of the compiler instead of running\n"
                 "  --help-listing   print the vocabulary listing (no FILE needed)\n"
                 "  while paused, commands are read from stdin: c (continue), s (step into), n (step over),\n"
                 "  q (stop the run)\n";
    return 64;
}

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    text = ss.str();
    return true;
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string dirName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

struct Options {
    std::string file;
    std::string settingsFile;
    bool debugLines = false;
    bool helpListing = false;
    std::vector<int> breaks;
    bool step = false;
    enum class Dump { None, Tokens, Ast, Code } dump = Dump::None;
};

bool parseArgs(int argc, char** argv, Options& o) {
    for (int k = 1; k < argc; ++k) {
        std::string a = argv[k];
        if (a.rfind("--break", 0) == 0) {
            std::string value = a.size() > 7 && a[7] == '=' ? a.substr(8) : (k + 1 < argc ? argv[++k] : "");
            try {
                o.breaks.push_back(std::stoi(value));
            } catch (const std::exception&) {
                return false;
            }
        } else if (a == "--step") {
            o.step = true;
        } else if (a == "--help-listing") {
            o.helpListing = true;
        } else if (a == "--debug") {
            o.debugLines = true;
        } else if (a.rfind("--settings", 0) == 0) {
            o.settingsFile = a.size() > 10 && a[10] == '=' ? a.substr(11) : (k + 1 < argc ? argv[++k] : "");
            if (o.settingsFile.empty()) return false;
        } else if (a == "--dump-tokens") {
            o.dump = Options::Dump::Tokens;
        } else if (a == "--dump-ast") {
            o.dump = Options::Dump::Ast;
        } else if (a == "--dump-code") {
            o.dump = Options::Dump::Code;
        } else if (!a.empty() && a[0] == '-') {
            return false;
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            return false;
        }
    }
    return !o.file.empty() || o.helpListing;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    // A file-size limit must end a write with an error, not the program.
    std::signal(SIGXFSZ, SIG_IGN);
    Options opt;
    if (!parseArgs(argc, argv, opt)) return usage();
    std::string text;
    if (!opt.file.empty() && !readFile(opt.file, text)) {
        std::cerr << "novrix-run: cannot read '" << opt.file << "'\n";
        return 66;
    }

    // Start-up as the IDE's: the program home, the settings, the debug log.
    auto paths = novrix::platform::ProgramPaths::resolve(novrix::platform::ProgramEnvironment::current(), "novrix");
    novrix::platform::IniFile ini(opt.settingsFile.empty() ? paths.settingsFile()
                                                           : std::filesystem::path(opt.settingsFile));
    novrix::host::Settings settings = novrix::host::loadSettings(ini, paths.home());
    novrix::host::DebugLog debugLog(paths.debugLogFile());
    debugLog.setLogToFile(settings.debugOutput);
    auto showDebugLines = [&] {
        for (const std::string& line : debugLog.takePending())
            if (opt.debugLines) std::cerr << line.substr(0, line.size() >= 2 && line.ends_with("\r\n") ? line.size() - 2 : line.size()) << "\n";
    };

    novrix::runner::TerminalConsole console;
    novrix::runner::TerminalFrontend frontend(console);
    frontend.setScript(text);
    novrix::host::Host host(frontend);
    host.userFileName() = settings.userFileName;
    novrix::host::Vocabulary vocabulary(host);
    host.setRegistrar([&vocabulary](novrix::engine::Engine& e) { vocabulary.registerAll(e); });
    novrix::engine::Engine& engine = host.engine();
    host.setFileName(baseName(opt.file));
    std::string folder = dirName(opt.file);
    engine.setNeedFile([folder](const std::string& name, std::string& out) {
        return readFile(!name.empty() && name[0] == '/' ? name : folder + "/" + name, out);
    });
    auto drainConsole = [&] {
        host.consoleQueue().drain(console, [&](const std::string& line) {
            console.flush();
            std::cerr << line << "\n";
        });
    };
    frontend.setBeforeMessage(drainConsole);

    host.warmUpCompile();
    if (opt.helpListing) {
        std::cout << host.helpListing().text();
        if (opt.file.empty()) return 0;
    }
    if (opt.dump == Options::Dump::Tokens) {
        std::cout << engine.dumpTokens(text);
        return 0;
    }
    if (opt.dump == Options::Dump::Ast) {
        std::cout << engine.dumpAst(text);
        return 0;
    }
    if (opt.dump == Options::Dump::Code) {
        bool ok = host.compileScript();
        if (ok) std::cout << engine.dumpCode();
        return ok ? 0 : 1;
    }

    std::signal(SIGINT, onInterrupt);
    bool debug = opt.step || !opt.breaks.empty();
    frontend.setPausedRow([&] { return engine.pausedRow(); });
    frontend.setPauseHandler([&](const std::string& cmd, bool ended) {
        if (interruptFlag().exchange(false) || cmd == "q")
            host.reset();
        else if (cmd == "s")
            host.stepInto();
        else if (cmd == "n")
            host.stepOver();
        else
            host.run(); // c, an empty line, or the end of the commands: run on
        (void)ended;
    });
    for (int line : opt.breaks) host.toggleBreakpoint(line);

    bool compiled = true;
    if (opt.step) {
        host.stepInto(); // compiles, then runs here, pausing at the first line
        compiled = host.engine().program() != nullptr;
    } else {
        host.run();
        compiled = host.engine().program() != nullptr;
        // Keys are read from now on: Run drops one waiting key press, and piped input must lose none.
        if (!debug) console.startKeyboard();
        // A free run goes on in the execution thread; the pump runs here until its result line stands.
        if (compiled && !debug) {
            while (host.startRequested() || host.isRunning() || !host.resultReported()) {
                if (interruptFlag().exchange(false)) host.reset();
                host.tick();
                showDebugLines();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    }
    // Show what the script wrote last.
    for (int k = 0; k < 12; ++k) host.tick();
    drainConsole();
    console.flush();
    showDebugLines();
    if (vocabulary.inputEnded())
        std::cerr << "novrix-run: the input ended while the script waited for a key; the run was stopped\n";
    // The close sequence: the settings (a script may have changed UserFileName) are written back.
    settings.userFileName = host.userFileName();
    settings.debugOutput = debugLog.logToFile();
    novrix::host::saveSettings(settings, ini);
    if (!ini.save()) std::cerr << "novrix-run: cannot write the settings file " << ini.path() << "\n";
    if (!compiled) return 1;
    if (opt.step) return 0;
    return host.lastRunResult() ? 0 : 2;
}
