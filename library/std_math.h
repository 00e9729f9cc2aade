#pragma once
// The math set of the script vocabulary: Delphi 7's Math routines as plain functions. Extended
// arguments and results are doubles (the engine keeps reals as double); each routine computes in the
// 80-bit long double, as Delphi's Extended arithmetic does, and rounds once at the end.
//
// The FPU exceptions Delphi leaves unmasked are raised as its SysUtils exceptions: EInvalidOp "Invalid
// floating point operation" (a NaN made from numbers: ArcCos(2), Ln of a negative), EZeroDivide
// "Floating point division by zero" (Cotan(0), Log10(0)) and EOverflow "Floating point overflow"
// (a result beyond the double range: Cosh(1000), Ldexp(1, 1100)). NaN arguments give NaN results.
#include <cstdint>
#include <span>

namespace novrix::library::math {

// --- trigonometry
double arcCos(double x);
double arcSin(double x);
double arcTan2(double y, double x);
struct SinCosResult {
    double sin = 0, cos = 0;
};
SinCosResult sinCos(double theta);
double tan(double x);
double cotan(double x);    // also Cot
double secant(double x);   // also Sec
double cosecant(double x); // also Csc
double hypot(double x, double y);

// --- angle units: radians, degrees, grads (400 to the circle) and cycles
double radToDeg(double radians);
double radToGrad(double radians);
double radToCycle(double radians);
double degToRad(double degrees);
double degToGrad(double degrees);
double degToCycle(double degrees);
double gradToRad(double grads);
double gradToDeg(double grads);
double gradToCycle(double grads);
double cycleToRad(double cycles);
double cycleToDeg(double cycles);
double cycleToGrad(double cycles);

// --- hyperbolic functions and the inverses
double cosh(double x);
double sinh(double x);
double tanh(double x);
double cotH(double x);
double secH(double x);
double cscH(double x);
double arcCot(double x);
double arcSec(double x);
double arcCsc(double x);
double arcCosh(double x);
double arcSinh(double x);
double arcTanh(double x);
double arcCotH(double x);
double arcSecH(double x);
double arcCscH(double x);

// --- logarithms and powers
double lnXP1(double x);
double log10(double x);
double log2(double x);
double logN(double base, double x);
double intPower(double base, int32_t exponent);
double power(double base, double exponent);
struct FrexpResult {
    double mantissa = 0;
    int32_t exponent = 0;
};
FrexpResult frexp(double x);
double ldexp(double x, int32_t p);
int32_t ceil(double x);
int32_t floor(double x);
double poly(double x, std::span<const double> coefficients);

// --- statistics over open arrays
double mean(std::span<const double> data);
double sum(std::span<const double> data);
int32_t sumInt(std::span<const int32_t> data);
double sumOfSquares(std::span<const double> data);
struct SumsAndSquaresResult {
    double sum = 0, sumOfSquares = 0;
};
SumsAndSquaresResult sumsAndSquares(std::span<const double> data);
double minValue(std::span<const double> data);
double maxValue(std::span<const double> data);
double min(double a, double b);
double max(double a, double b);

} // namespace novrix::library::math
