#pragma once
// A host routine's implementation with the name it is bound under. The catalogue binds the standard sets
// by name (declarations first, then these bindings, in the order of each set's table).
#include <string>
#include <vector>

#include "engine/native_call.h"

namespace novrix::library {

struct NamedNative {
    std::string name;
    engine::NativeFn fn;
};

// The implementations of the three standard sets, in their binding order.
std::vector<NamedNative> dateTimeBindings(); // library/std_datetime*.cpp
std::vector<NamedNative> stringBindings();   // library/std_strings*.cpp
std::vector<NamedNative> mathBindings();     // library/std_math*.cpp

} // namespace novrix::library
