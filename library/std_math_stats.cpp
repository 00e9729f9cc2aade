// Math: sums, mean and extremes over open arrays, and the smaller and larger of two values.
#include "engine/runtime/script_error.h"
#include "library/std_math.h"
#include "library/std_math_fpu.h"

#include <cmath>

namespace novrix::library::math {

using fpu::Ext;

namespace {

Ext sumE(std::span<const double> data) {
    Ext r = 0;
    for (double v : data)
        r += v;
    return r;
}

Ext sumOfSquaresE(std::span<const double> data) {
    Ext r = 0;
    for (double v : data)
        r += Ext(v) * v;
    return r;
}

// Data[Low(Data)] of an empty array.
void requireElements(std::span<const double> data) {
    if (data.empty())
        throw rt::ScriptError(rt::ExcClass::ERangeError, "Out Of Range");
}

} // namespace

// Sum / Count: an empty array divides 0 by 0.
double mean(std::span<const double> data) {
    if (data.empty())
        fpu::invalidOp();
    return fpu::result(sumE(data) / Ext(data.size()), data, 0);
}

double sum(std::span<const double> data) {
    return fpu::result(sumE(data), data, 0);
}

// 32-bit additions that wrap, as Delphi's.
int32_t sumInt(std::span<const int32_t> data) {
    uint32_t r = 0;
    for (int32_t v : data)
        r += uint32_t(v);
    return int32_t(r);
}

double sumOfSquares(std::span<const double> data) {
    return fpu::result(sumOfSquaresE(data), data, 0);
}

SumsAndSquaresResult sumsAndSquares(std::span<const double> data) {
    return {fpu::result(sumE(data), data, 0), fpu::result(sumOfSquaresE(data), data, 0)};
}

double minValue(std::span<const double> data) {
    requireElements(data);
    double r = data[0];
    for (double v : data.subspan(1))
        if (r > v)
            r = v;
    return r;
}

double maxValue(std::span<const double> data) {
    requireElements(data);
    double r = data[0];
    for (double v : data.subspan(1))
        if (r < v)
            r = v;
    return r;
}

double min(double a, double b) {
    return a < b ? a : b;
}
double max(double a, double b) {
    return a > b ? a : b;
}

} // namespace novrix::library::math
