// Math: logarithms, powers, splitting and scaling by powers of two, rounding to Integer, polynomials.
#include "engine/runtime/script_error.h"
#include "library/std_math.h"
#include "library/std_math_fpu.h"

#include <cmath>
#include <cstdlib>

namespace novrix::library::math {

using fpu::Ext;
using fpu::result;

namespace {

// Base raised to the magnitude of the exponent by squaring, in the 80-bit range (whose overflow is
// Delphi's even when 1 / Result would fit), then inverted for a negative exponent.
Ext intPowerE(Ext base, int32_t exponent) {
    Ext r = 1;
    Ext factor = base;
    // Abs(Low(Integer)) stays 2^31 when taken as unsigned.
    for (uint32_t n = exponent < 0 ? 0u - uint32_t(exponent) : uint32_t(exponent); n != 0; n >>= 1) {
        if (n & 1u)
            r = fpu::finite(r * factor, base);
        if (n > 1)
            factor = fpu::finite(factor * factor, base);
    }
    return exponent < 0 ? fpu::divide(1, r) : r;
}

// Delphi's Trunc to Int64, cast to Integer as Ceil and Floor do.
int32_t truncToInteger(double x) {
    if (std::isnan(x) || std::fabs(x) >= 9223372036854775808.0)
        fpu::invalidOp();
    return int32_t(uint32_t(uint64_t(int64_t(x))));
}

} // namespace

// Ln(1 + X), accurate for X near zero.
double lnXP1(double x) {
    if (x == -1)
        fpu::zeroDivide();
    if (x < -1)
        fpu::invalidOp();
    return result(std::log1p(Ext(x)), {x});
}

double log10(double x) {
    return result(fpu::log10(x), {x});
}
double log2(double x) {
    return result(fpu::log2(x), {x});
}

// Log2(X) / Log2(Base), each logarithm failing as FYL2X does, then the division.
double logN(double base, double x) {
    const Ext lx = fpu::log2(x);
    const Ext lb = fpu::log2(base);
    return result(fpu::divide(lx, lb), {base, x});
}

double intPower(double base, int32_t exponent) {
    return result(intPowerE(base, exponent), {base});
}

double power(double base, double exponent) {
    if (exponent == 0)
        return 1;
    if (base == 0 && exponent > 0)
        return 0;
    if (std::trunc(exponent) == exponent && std::fabs(exponent) <= 2147483647.0)
        return result(intPowerE(base, int32_t(exponent)), {base, exponent});
    const Ext product = Ext(exponent) * fpu::ln(base);
    return result(fpu::finite(std::exp(product), product), {base, exponent});
}

// Mantissa in [0.5, 1) by magnitude; zero keeps itself with exponent 0, infinities and NaN have no
// exponent (FXTRACT faults on them).
FrexpResult frexp(double x) {
    if (x == 0)
        return {x, 0};
    if (!std::isfinite(x))
        fpu::invalidOp();
    int e = 0;
    const double m = std::frexp(x, &e);
    return {m, int32_t(e)};
}

double ldexp(double x, int32_t p) {
    return result(fpu::finite(std::ldexp(Ext(x), p), x), {x});
}

int32_t ceil(double x) {
    int32_t r = truncToInteger(x);
    if (x - std::trunc(x) > 0)
        r = int32_t(uint32_t(r) + 1u);
    return r;
}

int32_t floor(double x) {
    int32_t r = truncToInteger(x);
    if (x - std::trunc(x) < 0)
        r = int32_t(uint32_t(r) - 1u);
    return r;
}

// Horner's rule from the highest coefficient; Coefficients[High] of an empty array is out of range.
double poly(double x, std::span<const double> coefficients) {
    if (coefficients.empty())
        throw rt::ScriptError(rt::ExcClass::ERangeError, "Out Of Range");
    Ext r = coefficients.back();
    for (size_t i = coefficients.size() - 1; i-- > 0;)
        r = r * x + coefficients[i];
    return result(r, coefficients, x);
}

} // namespace novrix::library::math
