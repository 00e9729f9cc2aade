#pragma once
// The macros of header and footer texts: "$PAGENUM$", "$PAGECOUNT$", "$TITLE$", "$DATE$" and "$TIME$",
// matched without regard to case. Any other text between dollar signs is printed as it stands.
#include <string>
#include <string_view>

namespace novrix::shell {

struct MacroValues {
    int pageNumber = 0;
    int pageCount = 0;
    std::string title;
    std::string date;
    std::string time;
};

std::string expandMacros(std::string_view text, const MacroValues& values);

} // namespace novrix::shell
