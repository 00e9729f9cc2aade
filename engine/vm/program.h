#pragma once
// A compiled script: code, routine table, constants, line table and exception-handler tables.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "heap.h"

namespace novrix::engine::vm {

// A protected range of code. On an exception inside [start, end) the VM stores the exception in
// R[slot] (except) or R[slot+1] with R[slot].i = -1 (finally) and goes to `handler`.
struct Handler {
    uint32_t start = 0, end = 0, handler = 0;
    bool isFinally = false;
    uint32_t slot = 0;
};

struct Routine {
    std::string name;
    uint32_t entry = 0;      // first instruction
    uint32_t codeEnd = 0;    // one past the last instruction
    uint32_t frameSize = 0;  // cells, including the argument area of the calls it makes
    uint32_t paramCells = 0; // Result (functions) and parameters, set by the caller
    int level = 1;           // static nesting: 0 for the main block, 1 for top-level routines
    bool isFunction = false;
    std::vector<uint32_t> managedSlots; // ref cells of parameters, locals and temporaries, released at exit
    bool zeroFrame = true;               // locals must start zeroed (it holds references)
    std::vector<Handler> handlers;       // innermost first
};

struct LineEntry {
    uint32_t pc;
    int row, col, file;
};

// The stop, step and breakpoint machinery looks at lines through this table; it is sorted by pc.
struct LineTable {
    std::vector<LineEntry> entries;
    const LineEntry* find(uint32_t pc) const;
};

struct Program {
    std::vector<uint32_t> code;
    std::vector<Routine> routines; // routine 0 is the main block
    std::vector<double> reals;
    std::vector<StrRep*> strings;  // immortal constants
    std::vector<const TypeDesc*> typeTable; // indexed by the T operands of the code (owned by typeStore)
    LineTable lines;
    uint32_t globalCells = 0;
    std::vector<uint32_t> globalManaged;
    std::vector<std::string> nativeNames;  // host routines called by CallNative, by index
    std::vector<std::string> fileNames;
    std::shared_ptr<const void> typeStore; // keeps the type descriptions that typeTable points into

    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    uint32_t addString(std::string_view s);
    uint32_t addReal(double d);
    int routineAt(uint32_t pc) const;
    std::string disassemble() const;
};

} // namespace novrix::engine::vm
