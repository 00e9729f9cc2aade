#pragma once
// The conversion, string, time and random functions of the NOVRIX_ vocabulary, bound by name. The
// implementations share `ctx` (the last seen second, the stopwatch, the random seed, Reset and the
// user's locale), which must outlive every engine that registers them.
#include "library/named_native.h"
#include "library/script_context.h"

#include <vector>

namespace novrix::library {

// NOVRIX_Random, NOVRIX_Randomize, NOVRIX_StringNthArgument, the NOVRIX_Convert... functions and the
// NOVRIX_Time... functions, in registration order.
std::vector<NamedNative> conversionBindings(ScriptContext& ctx);

} // namespace novrix::library
