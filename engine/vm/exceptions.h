#pragma once
// The exception classes a script knows, with Delphi's hierarchy. A class id is the value of rt::ExcClass.
#include <string_view>

#include "engine/runtime/script_error.h"

namespace novrix::engine::vm {

struct ExcClassInfo {
    std::string_view name;
    int parent; // -1 for Exception itself
};

inline constexpr ExcClassInfo kExcClasses[] = {
    {"Exception", -1},     {"EConvertError", 0}, {"EDivByZero", 4},  {"ERangeError", 4},
    {"EIntError", 0},      {"EZeroDivide", 7},   {"EInvalidOp", 7},  {"EMathError", 0},
    {"EOverflow", 7},      {"EVariantError", 0}, {"EStackOverflow", 0}, {"EOutOfMemory", 0},
    {"EInOutError", 0},    {"EAbort", 0},
};
static_assert(int(rt::ExcClass::EAbort) == 13, "the table follows the order of rt::ExcClass");

inline bool classIsA(int cls, int ancestor) {
    for (int c = cls; c >= 0; c = kExcClasses[c].parent)
        if (c == ancestor) return true;
    return false;
}

inline std::string_view className(int cls) {
    return cls >= 0 && cls < int(std::size(kExcClasses)) ? kExcClasses[cls].name : "Exception";
}

int classByName(std::string_view name); // case-insensitive; -1 when unknown

} // namespace novrix::engine::vm
