// The math set's implementations as the catalogue binds them: each adapter reads the arguments as
// declared, calls the Math routine and stores the result (var parameters included).
#include "library/named_native.h"
#include "library/std_math.h"

#include <vector>

namespace novrix::library {

namespace {

using engine::NativeCall;

std::vector<double> doubleArray(const NativeCall& c, size_t k) {
    std::vector<double> values(c.arrayLength(k));
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = c.realElem(k, i);
    return values;
}

std::vector<int32_t> integerArray(const NativeCall& c, size_t k) {
    std::vector<int32_t> values(c.arrayLength(k));
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = int32_t(c.intElem(k, i));
    return values;
}

// A function of one Extended.
template <double (*F)(double)>
void unary(NativeCall& c) {
    c.returnReal(F(c.realArg(0)));
}

// A function of two Extended.
template <double (*F)(double, double)>
void binary(NativeCall& c) {
    c.returnReal(F(c.realArg(0), c.realArg(1)));
}

// A function of an array of Double.
template <double (*F)(std::span<const double>)>
void overArray(NativeCall& c) {
    c.returnReal(F(doubleArray(c, 0)));
}

void sinCosNative(NativeCall& c) {
    const math::SinCosResult r = math::sinCos(c.realArg(0));
    c.setReal(1, r.sin);
    c.setReal(2, r.cos);
}

void frexpNative(NativeCall& c) {
    const math::FrexpResult r = math::frexp(c.realArg(0));
    c.setReal(1, r.mantissa);
    c.setInt(2, r.exponent);
}

void sumsAndSquaresNative(NativeCall& c) {
    const math::SumsAndSquaresResult r = math::sumsAndSquares(doubleArray(c, 0));
    c.setReal(1, r.sum);
    c.setReal(2, r.sumOfSquares);
}

} // namespace

std::vector<NamedNative> mathBindings() {
    return {
        {"ArcCos", unary<math::arcCos>},
        {"ArcSin", unary<math::arcSin>},
        {"ArcTan2", binary<math::arcTan2>},
        {"SinCos", sinCosNative},
        {"Tan", unary<math::tan>},
        {"Cotan", unary<math::cotan>},
        {"Secant", unary<math::secant>},
        {"Cosecant", unary<math::cosecant>},
        {"Hypot", binary<math::hypot>},
        {"RadToDeg", unary<math::radToDeg>},
        {"RadToGrad", unary<math::radToGrad>},
        {"RadToCycle", unary<math::radToCycle>},
        {"DegToRad", unary<math::degToRad>},
        {"DegToGrad", unary<math::degToGrad>},
        {"DegToCycle", unary<math::degToCycle>},
        {"GradToRad", unary<math::gradToRad>},
        {"GradToDeg", unary<math::gradToDeg>},
        {"GradToCycle", unary<math::gradToCycle>},
        {"CycleToRad", unary<math::cycleToRad>},
        {"CycleToDeg", unary<math::cycleToDeg>},
        {"CycleToGrad", unary<math::cycleToGrad>},
        {"Cot", unary<math::cotan>},
        {"Sec", unary<math::secant>},
        {"Csc", unary<math::cosecant>},
        {"Cosh", unary<math::cosh>},
        {"Sinh", unary<math::sinh>},
        {"Tanh", unary<math::tanh>},
        {"CotH", unary<math::cotH>},
        {"SecH", unary<math::secH>},
        {"CscH", unary<math::cscH>},
        {"ArcCot", unary<math::arcCot>},
        {"ArcSec", unary<math::arcSec>},
        {"ArcCsc", unary<math::arcCsc>},
        {"ArcCosh", unary<math::arcCosh>},
        {"ArcSinh", unary<math::arcSinh>},
        {"ArcTanh", unary<math::arcTanh>},
        {"ArcCotH", unary<math::arcCotH>},
        {"ArcSecH", unary<math::arcSecH>},
        {"ArcCscH", unary<math::arcCscH>},
        {"LnXP1", unary<math::lnXP1>},
        {"Log10", unary<math::log10>},
        {"Log2", unary<math::log2>},
        {"LogN", binary<math::logN>},
        {"IntPower", [](NativeCall& c) { c.returnReal(math::intPower(c.realArg(0), int32_t(c.intArg(1)))); }},
        {"Power", binary<math::power>},
        {"Frexp", frexpNative},
        {"Ldexp", [](NativeCall& c) { c.returnReal(math::ldexp(c.realArg(0), int32_t(c.intArg(1)))); }},
        {"Ceil", [](NativeCall& c) { c.returnInt(math::ceil(c.realArg(0))); }},
        {"Floor", [](NativeCall& c) { c.returnInt(math::floor(c.realArg(0))); }},
        {"Poly", [](NativeCall& c) { c.returnReal(math::poly(c.realArg(0), doubleArray(c, 1))); }},
        {"Mean", overArray<math::mean>},
        {"Sum", overArray<math::sum>},
        {"SumInt", [](NativeCall& c) { c.returnInt(math::sumInt(integerArray(c, 0))); }},
        {"SumOfSquares", overArray<math::sumOfSquares>},
        {"SumsAndSquares", sumsAndSquaresNative},
        {"MinValue", overArray<math::minValue>},
        {"Min", binary<math::min>},
        {"MaxValue", overArray<math::maxValue>},
        {"Max", binary<math::max>},
    };
}

} // namespace novrix::library
