#pragma once
#include <stdexcept>
#include <string>
namespace novrix::rt {
enum class ExcClass { Exception, EConvertError, EDivByZero, ERangeError, EIntError, EZeroDivide, EInvalidOp,
                      EMathError, EOverflow, EVariantError, EStackOverflow, EOutOfMemory, EInOutError, EAbort };
// A run-time error raised by a built-in routine; the script sees it as an exception of class `cls`.
struct ScriptError : std::runtime_error {
    ExcClass cls;
    ScriptError(ExcClass c, const std::string& message) : std::runtime_error(message), cls(c) {}
};
}
