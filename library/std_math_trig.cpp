// Math: trigonometry, angle units, hyperbolic functions and their inverses.
#include "library/std_math.h"
#include "library/std_math_fpu.h"

#include <cmath>
#include <limits>
#include <utility>

namespace novrix::library::math {

using fpu::Ext;
using fpu::kPi;
using fpu::result;

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// IsZero with Extended's default tolerance.
bool isZero(Ext x) {
    return std::fabs(x) <= 1e-16L;
}

Ext arcCosE(Ext x) {
    return std::atan2(fpu::sqrt(1 - x * x), x);
}
Ext arcSinE(Ext x) {
    return std::atan2(x, fpu::sqrt(1 - x * x));
}

// Exp in Delphi's hyperbolic functions overflows the 80-bit range before the result does.
Ext coshE(Ext x) {
    return fpu::finite(std::cosh(x), x);
}
Ext sinhE(Ext x) {
    return fpu::finite(std::sinh(x), x);
}

Ext radToDegE(Ext r) {
    return r * (180 / kPi);
}
Ext radToGradE(Ext r) {
    return r * (200 / kPi);
}
Ext radToCycleE(Ext r) {
    return r / (2 * kPi);
}
Ext degToRadE(Ext d) {
    return d * (kPi / 180);
}
Ext gradToRadE(Ext g) {
    return g * (kPi / 200);
}
Ext cycleToRadE(Ext c) {
    return c * (2 * kPi);
}

} // namespace

double arcCos(double x) {
    return result(arcCosE(x), {x});
}
double arcSin(double x) {
    return result(arcSinE(x), {x});
}
double arcTan2(double y, double x) {
    return result(std::atan2(Ext(y), Ext(x)), {y, x});
}

SinCosResult sinCos(double theta) {
    return {result(std::sin(Ext(theta)), {theta}), result(std::cos(Ext(theta)), {theta})};
}

double tan(double x) {
    return result(std::tan(Ext(x)), {x});
}
double cotan(double x) {
    return result(fpu::divide(1, std::tan(Ext(x))), {x});
}
double secant(double x) {
    return result(fpu::divide(1, std::cos(Ext(x))), {x});
}
double cosecant(double x) {
    return result(fpu::divide(1, std::sin(Ext(x))), {x});
}

// The smaller side over the larger one, so that the squares cannot overflow.
double hypot(double x, double y) {
    Ext small = std::fabs(Ext(x)), large = std::fabs(Ext(y));
    if (small > large)
        std::swap(small, large);
    const Ext r = small == 0 ? large : large * std::sqrt(1 + (small / large) * (small / large));
    return result(r, {x, y});
}

double radToDeg(double radians) {
    return result(radToDegE(radians), {radians});
}
double radToGrad(double radians) {
    return result(radToGradE(radians), {radians});
}
double radToCycle(double radians) {
    return result(radToCycleE(radians), {radians});
}
double degToRad(double degrees) {
    return result(degToRadE(degrees), {degrees});
}
double degToGrad(double degrees) {
    return result(radToGradE(degToRadE(degrees)), {degrees});
}
double degToCycle(double degrees) {
    return result(radToCycleE(degToRadE(degrees)), {degrees});
}
double gradToRad(double grads) {
    return result(gradToRadE(grads), {grads});
}
double gradToDeg(double grads) {
    return result(radToDegE(gradToRadE(grads)), {grads});
}
double gradToCycle(double grads) {
    return result(radToCycleE(gradToRadE(grads)), {grads});
}
double cycleToRad(double cycles) {
    return result(cycleToRadE(cycles), {cycles});
}
double cycleToDeg(double cycles) {
    return result(radToDegE(cycleToRadE(cycles)), {cycles});
}
double cycleToGrad(double cycles) {
    return result(radToGradE(cycleToRadE(cycles)), {cycles});
}

double cosh(double x) {
    return result(coshE(x), {x});
}
double sinh(double x) {
    return result(sinhE(x), {x});
}
double tanh(double x) {
    return result(std::tanh(Ext(x)), {x});
}
double cotH(double x) {
    return result(fpu::divide(1, std::tanh(Ext(x))), {x});
}
double secH(double x) {
    return result(fpu::divide(1, coshE(x)), {x});
}
double cscH(double x) {
    return result(fpu::divide(1, sinhE(x)), {x});
}

double arcCot(double x) {
    return result(isZero(x) ? kPi / 2 : std::atan(fpu::divide(1, x)), {x});
}
double arcSec(double x) {
    return isZero(x) ? kInfinity : result(arcCosE(fpu::divide(1, x)), {x});
}
double arcCsc(double x) {
    return isZero(x) ? kInfinity : result(arcSinE(fpu::divide(1, x)), {x});
}

// Delphi's Ln(X + Sqrt((X - 1) / (X + 1)) * (X + 1)): no result below 1, and X = -1 divides by zero.
double arcCosh(double x) {
    if (x == -1)
        fpu::zeroDivide();
    if (x < 1)
        fpu::invalidOp();
    return result(std::acosh(Ext(x)), {x});
}

double arcSinh(double x) {
    return result(std::asinh(Ext(x)), {x});
}

// The poles are the infinities themselves; beyond them the logarithm has no result.
double arcTanh(double x) {
    if (x == 1)
        return kInfinity;
    if (x == -1)
        return -kInfinity;
    if (std::fabs(x) > 1)
        fpu::invalidOp();
    return result(std::atanh(Ext(x)), {x});
}

// 0.5 * Ln((X + 1) / (X - 1)), which is ArcTanh(1 / X) outside [-1, 1].
double arcCotH(double x) {
    if (x == 1)
        return kInfinity;
    if (x == -1)
        return -kInfinity;
    if (std::fabs(x) < 1)
        fpu::invalidOp();
    return result(std::atanh(1 / Ext(x)), {x});
}

double arcSecH(double x) {
    if (isZero(x))
        return kInfinity;
    if (x == 1)
        return 0;
    const Ext X = x;
    return result(fpu::ln((fpu::sqrt(1 - X * X) + 1) / X), {x});
}

// Delphi 7 computes Ln(Sqrt(1 + 1/X^2 + 1/X)) rather than Ln(Sqrt(1 + 1/X^2) + 1/X); scripts written
// against it get the same numbers here.
double arcCscH(double x) {
    const Ext X = x;
    return result(fpu::ln(std::sqrt(1 + fpu::divide(1, X * X) + fpu::divide(1, X))), {x});
}

} // namespace novrix::library::math
