#include "diagnostics.h"

namespace novrix::engine {

const char* diagKindName(DiagKind kind) {
    switch (kind) {
    case DiagKind::Error: return "Error";
    case DiagKind::Warning: return "Warning";
    case DiagKind::Hint: return "Hint";
    }
    return "Error";
}

void Diagnostics::add(DiagKind kind, SourcePos pos, std::string text) {
    // One position reports one error: a parser that recovers may stumble twice over the same token.
    if (kind == DiagKind::Error) {
        for (const auto& d : items_)
            if (d.kind == DiagKind::Error && d.pos.row == pos.row && d.pos.col == pos.col &&
                d.pos.file == pos.file)
                return;
        ++errorCount_;
    }
    items_.push_back({kind, pos, std::move(text)});
}

std::string Diagnostics::formatLine(const Diagnostic& d, const std::string& fileName) {
    return std::string("[") + diagKindName(d.kind) + "] " + fileName + "(" + std::to_string(d.pos.row) + ":" +
           std::to_string(d.pos.col) + "): " + d.text;
}

} // namespace novrix::engine
