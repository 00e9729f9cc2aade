#include "help_listing.h"

#include <algorithm>
#include <array>

namespace novrix::host {

namespace {

using engine::CompileTables;

constexpr std::array<const char*, 6> kPortTable = {"Bit Pin Name",        "3   15  Error",
                                                   "4   13  Select In",   "5   12  Paper Empty",
                                                   "6   10  Acknowledge", "7   11  Busy"};

int sortWeight(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return 0x200 + (c - 'a');
    if (c >= 'A' && c <= 'Z')
        return 0x200 + (c - 'A');
    if (c >= '0' && c <= '9')
        return 0x100 + (c - '0');
    if (c < 0x80)
        return c;     // blank, punctuation and control codes keep their code order
    return 0x300 + c; // bytes of other scripts after the letters
}

// A list kept in listing order that takes each entry once: the first of texts that compare equal wins.
class SortedTextList {
public:
    void add(std::string text) {
        auto at = std::lower_bound(
            items_.begin(), items_.end(), text,
            [](const std::string& a, const std::string& b) { return compareListingText(a, b) < 0; });
        if (at != items_.end() && compareListingText(*at, text) == 0)
            return;
        items_.insert(at, std::move(text));
    }
    const std::vector<std::string>& items() const { return items_; }

private:
    std::vector<std::string> items_;
};

bool contains(std::string_view text, std::string_view word) {
    return text.find(word) != std::string_view::npos;
}

// "!" and " _" mark the engine's internal names (a name beginning with an underscore follows a blank).
bool isInternal(std::string_view entry) {
    return contains(entry, "!") || contains(entry, " _");
}

} // namespace

DeclarationText formatDeclaration(const CompileTables::Routine& routine) {
    std::string params;
    for (const CompileTables::Param& p : routine.params) {
        params += ";" + p.name;
        if (!p.typeName.empty())
            params += ":" + p.typeName;
    }
    if (!params.empty())
        params = "(" + params.substr(1) + ")";
    if (routine.resultType.empty())
        return {"Procedure", params};
    return {"Function", params + ":" + routine.resultType};
}

std::string listingEntry(const CompileTables::Routine& routine) {
    DeclarationText d = formatDeclaration(routine);
    return d.kind + " " + routine.name + d.paramText;
}

int compareListingText(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int d = sortWeight(static_cast<unsigned char>(a[i])) - sortWeight(static_cast<unsigned char>(b[i]));
        if (d != 0)
            return d < 0 ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::vector<std::string> buildHelpListingLines(const CompileTables& tables) {
    SortedTextList types, constants, functions, procedures, systemSpecific;

    auto addType = [&types](const std::string& name) {
        std::string entry = "Type " + name;
        if (!isInternal(entry))
            types.add(std::move(entry));
    };
    for (const std::string& name : tables.builtinTypes)
        addType(name);
    for (const CompileTables::TypeEntry& t : tables.types)
        addType(t.name);

    for (const CompileTables::Constant& c : tables.constants)
        constants.add("Const " + c.name);

    // The engine's own routines and those of the catalogue.
    std::vector<const CompileTables::Routine*> all;
    for (const CompileTables::Routine& r : tables.builtinRoutines) all.push_back(&r);
    for (const CompileTables::Routine& r : tables.routines) all.push_back(&r);
    for (const CompileTables::Routine* rp : all) {
        const CompileTables::Routine& r = *rp;
        std::string entry = listingEntry(r);
        if (isInternal(entry))
            continue;
        // The word tests look at the whole entry, parameter text included, so one entry may land in
        // both general lists (a procedure with a parameter type named like "TFunctionRef").
        bool isSystem = contains(entry, "NOVRIX");
        if (!isSystem && contains(entry, "Function"))
            functions.add(entry);
        if (!isSystem && contains(entry, "Procedure"))
            procedures.add(entry);
        if (isSystem)
            systemSpecific.add(entry);
    }

    std::vector<std::string> lines = {"In addition to standard pascal syntax you are allowed to use",
                                      "the following list of types, constants, functions and procedures.",
                                      ""};
    auto section = [&lines](const char* heading, const SortedTextList& list) {
        lines.emplace_back(heading);
        lines.insert(lines.end(), list.items().begin(), list.items().end());
        lines.emplace_back();
    };
    section("Types:", types);
    section("Constants:", constants);
    section("General functions:", functions);
    section("General procedures:", procedures);
    section("NOVRIX specific functions and procedures:", systemSpecific);
    lines.emplace_back("If you you use the direct port i/o functions to read some bits in");
    lines.emplace_back("from a printer port, then the following table might be of some use:");
    lines.emplace_back();
    lines.insert(lines.end(), kPortTable.begin(), kPortTable.end());
    return lines;
}

std::string buildHelpListing(const CompileTables& tables) {
    std::string text;
    for (const std::string& line : buildHelpListingLines(tables))
        text += line + "\n";
    return text;
}

bool HelpListing::buildOnce(const CompileTables& tables) {
    if (!pending_)
        return false;
    pending_ = false;
    text_ = buildHelpListing(tables);
    return true;
}

} // namespace novrix::host
