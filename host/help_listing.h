#pragma once
// The help window's text: everything a script may use beyond plain Pascal (the types, constants,
// functions and procedures registered at compile time), then a table of printer-port status bits for
// the port input function. Built from the compiler's tables of the first compile after start-up (the
// warm-up compile) and never again, so routines a user's script declares never appear in it.
#include "engine/engine.h"

#include <string>
#include <string_view>
#include <vector>

namespace novrix::host {

// A routine's kind ("Function" or "Procedure") and its parameter text: "(Name:Type;Name:Type)" with
// the modes (var, const, out) left out, then ":" and the result type for a function; empty for a
// procedure without parameters.
struct DeclarationText {
    std::string kind;
    std::string paramText;
};

DeclarationText formatDeclaration(const engine::CompileTables::Routine& routine);

// kind + " " + name + parameter text, e.g. "Function Hypot(X:Extended;Y:Extended):Extended".
std::string listingEntry(const engine::CompileTables::Routine& routine);

// The order of the listing's lists, as a dictionary would sort: letter case ignored, blank and
// punctuation before digits, digits before letters (so "Log2(" sorts after "Log10(", and "A_B" before
// "AB"). Texts that compare equal count as the same entry.
int compareListingText(std::string_view a, std::string_view b);

// The listing line by line, without line ends.
std::vector<std::string> buildHelpListingLines(const engine::CompileTables& tables);
// The same lines, each ended by "\n".
std::string buildHelpListing(const engine::CompileTables& tables);

// Builds the listing from the first tables it is given and ignores every later compile.
class HelpListing {
public:
    // True when this call built the listing (the first one); the help window then shows text().
    bool buildOnce(const engine::CompileTables& tables);
    bool pending() const { return pending_; }
    const std::string& text() const { return text_; }

private:
    bool pending_ = true;
    std::string text_;
};

} // namespace novrix::host
