#pragma once
// Compiler diagnostics are data: kind, position and text, handed to whoever shows them.
#include <string>
#include <vector>

namespace novrix::engine {

struct SourcePos {
    int row = 0;  // 1-based
    int col = 0;  // 1-based
    int file = 0; // index into the compile's file table; 0 is the main file
};

enum class DiagKind { Error, Warning, Hint };

struct Diagnostic {
    DiagKind kind = DiagKind::Error;
    SourcePos pos;
    std::string text;
};

const char* diagKindName(DiagKind kind); // "Error", "Warning", "Hint"

class Diagnostics {
public:
    void error(SourcePos pos, std::string text) { add(DiagKind::Error, pos, std::move(text)); }
    void warning(SourcePos pos, std::string text) { add(DiagKind::Warning, pos, std::move(text)); }
    void hint(SourcePos pos, std::string text) { add(DiagKind::Hint, pos, std::move(text)); }
    void add(DiagKind kind, SourcePos pos, std::string text);

    bool hasErrors() const { return errorCount_ > 0; }
    int errorCount() const { return errorCount_; }
    const std::vector<Diagnostic>& all() const { return items_; }

    // "[Error] Unnamed(3:5): Unknown identifier 'Foo'"
    static std::string formatLine(const Diagnostic& d, const std::string& fileName);

private:
    std::vector<Diagnostic> items_;
    int errorCount_ = 0;
};

} // namespace novrix::engine
