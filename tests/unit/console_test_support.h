#pragma once
// Builds console queue records by hand, independently of the code under test.
#include <initializer_list>
#include <string>
#include <string_view>

namespace novrix::test {

// Joins the fields with NULs: rec({"CUTO", "3", "4"}) is "CUTO" NUL "3" NUL "4". (A literal "\0" before a
// digit would read as an octal escape.)
inline std::string rec(std::initializer_list<std::string_view> fields) {
    std::string r;
    bool first = true;
    for (std::string_view f : fields) {
        if (!first) r += '\0';
        r += f;
        first = false;
    }
    return r;
}

} // namespace novrix::test
