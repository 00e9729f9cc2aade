#include "shell/printing/print_macros.h"

#include <array>
#include <cctype>

namespace novrix::shell {

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

} // namespace

std::string expandMacros(std::string_view text, const MacroValues& values) {
    const std::array<std::pair<std::string_view, std::string>, 5> macros{{
        {"$PAGENUM$", std::to_string(values.pageNumber)},
        {"$PAGECOUNT$", std::to_string(values.pageCount)},
        {"$TITLE$", values.title},
        {"$DATE$", values.date},
        {"$TIME$", values.time},
    }};

    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        bool replaced = false;
        if (text[i] == '$') {
            for (const auto& [name, value] : macros) {
                if (startsWithNoCase(text.substr(i), name)) {
                    result += value;
                    i += name.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            result += text[i++];
    }
    return result;
}

} // namespace novrix::shell
