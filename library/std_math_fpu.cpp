// Delphi's FPU exceptions for the math set.
#include "library/std_math_fpu.h"

#include "engine/runtime/script_error.h"

#include <cmath>

namespace novrix::library::math::fpu {

void invalidOp() {
    throw rt::ScriptError(rt::ExcClass::EInvalidOp, "Invalid floating point operation");
}
void zeroDivide() {
    throw rt::ScriptError(rt::ExcClass::EZeroDivide, "Floating point division by zero");
}
void overflow() {
    throw rt::ScriptError(rt::ExcClass::EOverflow, "Floating point overflow");
}

namespace {

struct ArgKinds {
    bool anyNaN = false;
    bool anyInfinite = false;
    void add(double a) {
        anyNaN = anyNaN || std::isnan(a);
        anyInfinite = anyInfinite || std::isinf(a);
    }
};

double checked(Ext r, ArgKinds k) {
    if (std::isnan(r)) {
        if (!k.anyNaN)
            invalidOp();
        return double(r);
    }
    const double d = double(r);
    if (std::isinf(d) && !(std::isinf(r) && (k.anyInfinite || k.anyNaN)))
        overflow();
    return d;
}

} // namespace

double result(Ext r, std::initializer_list<double> args) {
    ArgKinds k;
    for (double a : args)
        k.add(a);
    return checked(r, k);
}

double result(Ext r, std::span<const double> args, double moreArg) {
    ArgKinds k;
    for (double a : args)
        k.add(a);
    k.add(moreArg);
    return checked(r, k);
}

Ext finite(Ext r, Ext x) {
    if (std::isinf(r) && std::isfinite(x))
        overflow();
    return r;
}

Ext divide(Ext a, Ext b) {
    if (b == 0 && !std::isnan(a)) {
        if (a == 0)
            invalidOp();
        zeroDivide();
    }
    return a / b;
}

Ext sqrt(Ext x) {
    if (x < 0)
        invalidOp();
    return std::sqrt(x);
}

namespace {

// FYL2X on a negative number is an invalid operation, on zero a division by zero.
void logDomain(Ext x) {
    if (x < 0)
        invalidOp();
    if (x == 0)
        zeroDivide();
}

} // namespace

Ext ln(Ext x) {
    logDomain(x);
    return std::log(x);
}

Ext log2(Ext x) {
    logDomain(x);
    return std::log2(x);
}

Ext log10(Ext x) {
    logDomain(x);
    return std::log10(x);
}

} // namespace novrix::library::math::fpu
