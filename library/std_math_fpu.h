#pragma once
// What the math set shares: the 80-bit working type, and Delphi's FPU exceptions for the operations
// whose faults it leaves unmasked (invalid operation, division by zero, overflow).
#include <initializer_list>
#include <span>

namespace novrix::library::math::fpu {

using Ext = long double;

constexpr Ext kPi = 3.141592653589793238462643383279502884L;

[[noreturn]] void invalidOp();  // EInvalidOp "Invalid floating point operation"
[[noreturn]] void zeroDivide(); // EZeroDivide "Floating point division by zero"
[[noreturn]] void overflow();   // EOverflow "Floating point overflow"

// The double a routine returns for the working value `r` computed from `args`: a NaN made from numbers
// is an invalid operation, an infinity made from finite numbers or a value beyond the double range an
// overflow. NaN and infinite arguments pass through.
double result(Ext r, std::initializer_list<double> args);
double result(Ext r, std::span<const double> args, double moreArg);

// Raises overflow when `r` became infinite although `x` is finite (an x87 instruction would have).
Ext finite(Ext r, Ext x);

Ext divide(Ext a, Ext b); // b = 0: invalid for 0/0, else a division by zero
Ext sqrt(Ext x);          // invalid below 0
Ext ln(Ext x);            // invalid below 0, a division by zero at 0
Ext log2(Ext x);          // as ln
Ext log10(Ext x);         // as ln

} // namespace novrix::library::math::fpu
