#include "program.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <strings.h>

#include "exceptions.h"
#include "opcodes.h"

namespace novrix::engine::vm {

int classByName(std::string_view name) {
    for (int k = 0; k < int(std::size(kExcClasses)); ++k)
        if (kExcClasses[k].name.size() == name.size() &&
            strncasecmp(kExcClasses[k].name.data(), name.data(), name.size()) == 0)
            return k;
    return -1;
}

const LineEntry* LineTable::find(uint32_t pc) const {
    auto it = std::upper_bound(entries.begin(), entries.end(), pc,
                               [](uint32_t p, const LineEntry& e) { return p < e.pc; });
    if (it == entries.begin()) return nullptr;
    return &*(it - 1);
}

Program::~Program() {
    for (StrRep* s : strings) std::free(s);
}

uint32_t Program::addString(std::string_view s) {
    for (uint32_t k = 0; k < strings.size(); ++k)
        if (strView(strings[k]) == s) return k;
    StrRep* rep = strMake(s);
    if (rep) rep->rc = kImmortal;
    strings.push_back(rep);
    return uint32_t(strings.size() - 1);
}

uint32_t Program::addReal(double d) {
    for (uint32_t k = 0; k < reals.size(); ++k)
        if (std::memcmp(&reals[k], &d, sizeof d) == 0) return k;
    reals.push_back(d);
    return uint32_t(reals.size() - 1);
}

int Program::routineAt(uint32_t pc) const {
    for (size_t k = 0; k < routines.size(); ++k)
        if (pc >= routines[k].entry && pc < routines[k].codeEnd) return int(k);
    return -1;
}

std::string Program::disassemble() const {
    std::ostringstream out;
    for (size_t r = 0; r < routines.size(); ++r) {
        const Routine& rt = routines[r];
        out << "routine " << r << " " << (rt.name.empty() ? "(main)" : rt.name) << "  frame " << rt.frameSize
            << "  params " << rt.paramCells << "  level " << rt.level << "\n";
        for (const Handler& h : rt.handlers)
            out << "  handler [" << h.start << ", " << h.end << ") -> " << h.handler
                << (h.isFinally ? " finally" : " except") << " slot " << h.slot << "\n";
        uint32_t pc = rt.entry;
        while (pc < rt.codeEnd) {
            const LineEntry* le = lines.find(pc);
            bool lineStart = le && le->pc == pc;
            uint32_t op = code[pc];
            if (op >= uint32_t(Op::Count)) {
                out << "  " << pc << ": ?? " << op << "\n";
                ++pc;
                continue;
            }
            const OpInfo& info = kOpInfo[op];
            out << (lineStart ? "* " : "  ") << pc << ": " << info.name;
            for (int k = 1; k <= info.operands; ++k) out << (k == 1 ? " " : ", ") << int64_t(int32_t(code[pc + k]));
            if (lineStart) out << "    ; line " << le->row << ":" << le->col;
            if (Op(op) == Op::LoadStr) out << "    ; '" << strView(strings[code[pc + 2]]) << "'";
            if (Op(op) == Op::LoadReal) out << "    ; " << reals[code[pc + 2]];
            out << "\n";
            pc += 1 + uint32_t(info.operands);
        }
    }
    return out.str();
}

} // namespace novrix::engine::vm
