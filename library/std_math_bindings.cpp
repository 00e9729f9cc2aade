// The math set's implementations as the catalogue binds them: each adapter reads the arguments as
// declared, calls the Math routine and stores the result (var parameters included).
#include <vector>

#include "library/named_native.h"
#include "library/std_math.h"

namespace novrix::library {

namespace {

using engine::NativeCall;

std::vector<double> doubleArray(const NativeCall& c, size_t k) {
    std::vector<double> values(c.arrayLength(k));
    for (size_t i = 0; i < values.size(); ++i) values[i] = c.realElem(k, i);
    return values;
}

std::vector<int32_t> integerArray(const NativeCall& c, size_t k) {
    std::vector<int32_t> values(c.arrayLength(k));
    for (size_t i = 0; i < values.size(); ++i) values[i] = int32_t(c.intElem(k, i));
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

void sinCos(NativeCall& c) {
    const math::SinCosResult r = math::sinCos(c.realArg(0));
    c.setReal(1, r.sin);
    c.setReal(2, r.cos);
}

void frexp(NativeCall& c) {
    const math::FrexpResult r = math::frexp(c.realArg(0));
    c.setReal(1, r.mantissa);
    c.setInt(2, r.exponent);
}

void sumsAndSquares(NativeCall& c) {
    const math::SumsAndSquaresResult r = math::sumsAndSquares(doubleArray(c, 0));
    c.setReal(1, r.sum);
    c.setReal(2, r.sumOfSquares);
}

} // namespace

std::vector<NamedNative> mathBindings() {
    using namespace math;
    return {
        {"ArcCos", unary<arcCos>},
        {"ArcSin", unary<arcSin>},
        {"ArcTan2", binary<arcTan2>},
        {"SinCos", sinCos},
        {"Tan", unary<tan>},
        {"Cotan", unary<cotan>},
        {"Secant", unary<secant>},
        {"Cosecant", unary<cosecant>},
        {"Hypot", binary<hypot>},
        {"RadToDeg", unary<radToDeg>},
        {"RadToGrad", unary<radToGrad>},
        {"RadToCycle", unary<radToCycle>},
        {"DegToRad", unary<degToRad>},
        {"DegToGrad", unary<degToGrad>},
        {"DegToCycle", unary<degToCycle>},
        {"GradToRad", unary<gradToRad>},
        {"GradToDeg", unary<gradToDeg>},
        {"GradToCycle", unary<gradToCycle>},
        {"CycleToRad", unary<cycleToRad>},
        {"CycleToDeg", unary<cycleToDeg>},
        {"CycleToGrad", unary<cycleToGrad>},
        {"Cot", unary<cotan>},
        {"Sec", unary<secant>},
        {"Csc", unary<cosecant>},
        {"Cosh", unary<cosh>},
        {"Sinh", unary<sinh>},
        {"Tanh", unary<tanh>},
        {"CotH", unary<cotH>},
        {"SecH", unary<secH>},
        {"CscH", unary<cscH>},
        {"ArcCot", unary<arcCot>},
        {"ArcSec", unary<arcSec>},
        {"ArcCsc", unary<arcCsc>},
        {"ArcCosh", unary<arcCosh>},
        {"ArcSinh", unary<arcSinh>},
        {"ArcTanh", unary<arcTanh>},
        {"ArcCotH", unary<arcCotH>},
        {"ArcSecH", unary<arcSecH>},
        {"ArcCscH", unary<arcCscH>},
        {"LnXP1", unary<lnXP1>},
        {"Log10", unary<log10>},
        {"Log2", unary<log2>},
        {"LogN", binary<logN>},
        {"IntPower", [](NativeCall& c) { c.returnReal(intPower(c.realArg(0), int32_t(c.intArg(1)))); }},
        {"Power", binary<power>},
        {"Frexp", frexp},
        {"Ldexp", [](NativeCall& c) { c.returnReal(ldexp(c.realArg(0), int32_t(c.intArg(1)))); }},
        {"Ceil", [](NativeCall& c) { c.returnInt(ceil(c.realArg(0))); }},
        {"Floor", [](NativeCall& c) { c.returnInt(floor(c.realArg(0))); }},
        {"Poly", [](NativeCall& c) { c.returnReal(poly(c.realArg(0), doubleArray(c, 1))); }},
        {"Mean", overArray<mean>},
        {"Sum", overArray<sum>},
        {"SumInt", [](NativeCall& c) { c.returnInt(sumInt(integerArray(c, 0))); }},
        {"SumOfSquares", overArray<sumOfSquares>},
        {"SumsAndSquares", sumsAndSquares},
        {"MinValue", overArray<minValue>},
        {"Min", binary<min>},
        {"MaxValue", overArray<maxValue>},
        {"Max", binary<max>},
    };
}

} // namespace novrix::library
