// novrix-run: compiles and runs one script without a window.
#include <clocale>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace {

int usage() {
    std::cerr << "usage: novrix-run [--dump-tokens | --dump-ast | --dump-code] [--break LINE]... [--step] FILE.488\n"
                 "  --break LINE  pause when the run reaches LINE (repeatable)\n"
                 "  --step        pause at the first line\n"
                 "  while paused, commands are read from stdin: c (continue), s (step into), n (step over),\n"
                 "  q (stop the run)\n";
    return 64;
}

// Answers a pause with a command read from stdin.
void answerPause(novrix::engine::Engine& e) {
    std::cerr << "paused at line " << e.pausedRow() << "\n";
    std::string cmd;
    if (!std::getline(std::cin, cmd)) {
        e.resume(); // no more commands: run on
        return;
    }
    if (cmd == "s")
        e.stepInto();
    else if (cmd == "n")
        e.stepOver();
    else if (cmd == "q")
        e.stop();
    else
        e.resume();
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

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::string file;
    std::vector<int> breaks;
    bool step = false;
    enum class Dump { None, Tokens, Ast, Code } dump = Dump::None;
    for (int k = 1; k < argc; ++k) {
        std::string a = argv[k];
        if (a.rfind("--break", 0) == 0) {
            std::string value = a.size() > 7 && a[7] == '=' ? a.substr(8) : (k + 1 < argc ? argv[++k] : "");
            try {
                breaks.push_back(std::stoi(value));
            } catch (const std::exception&) {
                return usage();
            }
        } else if (a == "--step")
            step = true;
        else if (a == "--dump-tokens")
            dump = Dump::Tokens;
        else if (a == "--dump-ast")
            dump = Dump::Ast;
        else if (a == "--dump-code")
            dump = Dump::Code;
        else if (a == "--help" || a == "-h")
            return usage();
        else if (!a.empty() && a[0] == '-')
            return usage();
        else if (file.empty())
            file = a;
        else
            return usage();
    }
    if (file.empty()) return usage();
    std::string text;
    if (!readFile(file, text)) {
        std::cerr << "novrix-run: cannot read '" << file << "'\n";
        return 66;
    }

    novrix::engine::Engine engine;
    engine.setMainFileName(baseName(file));
    std::string folder = dirName(file);
    engine.setNeedFile([folder](const std::string& name, std::string& out) {
        return readFile(name.size() && name[0] == '/' ? name : folder + "/" + name, out);
    });
    engine.setOutput([](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); });

    if (dump == Dump::Tokens) {
        std::cout << engine.dumpTokens(text);
        return 0;
    }
    if (dump == Dump::Ast) {
        std::cout << engine.dumpAst(text);
        return 0;
    }
    bool ok = engine.compile(text);
    for (const std::string& line : engine.messageLines()) std::cerr << line << "\n";
    if (!ok) return 1;
    if (dump == Dump::Code) {
        std::cout << engine.dumpCode();
        return 0;
    }
    for (int line : breaks) engine.setBreakpoint(engine.mainFileName(), line);
    engine.onIdle = answerPause;
    if (step) engine.stepInto();
    bool ran = engine.execute();
    std::fflush(stdout);
    if (!ran) {
        std::cerr << engine.runtimeErrorLine() << "\n";
        return 2;
    }
    std::cerr << "Succesfully Execute\n";
    return 0;
}
