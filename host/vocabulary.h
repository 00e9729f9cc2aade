#pragma once
// The vocabulary registered at every compile: the catalogue of declarations in its fixed order, bound to
// every group implemented so far (the others raise "not implemented: <name>").
#include <string>
#include <unordered_map>

#include "engine/engine.h"
#include "library/files.h"

namespace novrix::host {

class Host;

class Vocabulary {
public:
    explicit Vocabulary(Host& host);
    // The host's registrar: call it from OnCompile.
    void registerAll(engine::Engine& e);
    // Whether a NOVRIX_ function has its implementation (the others raise "not implemented").
    bool implements(std::string_view name) const;
    // Set when NOVRIX_KbdReadKey or NOVRIX_KbdReadLn found that no more input can come.
    bool inputEnded() const { return inputEnded_; }

private:
    void collect();

    Host& host_;
    library::FileState files_; // the row buffer persists across runs
    std::unordered_map<std::string, engine::NativeFn> novrix_; // by lower-case name
    bool inputEnded_ = false;
};

} // namespace novrix::host
