// The math set: its constants, then its declarations, in registration order.
#include "library/catalogue.h"

#include <array>
#include <bit>
#include <limits>

namespace novrix::library {

namespace {

using Limits = std::numeric_limits<double>;

// All of type Extended. The engine keeps reals as double, so each constant holds the double nearest to
// the value given; where that departs from the value by more than rounding, the note says how.
constexpr std::array<CatalogueConstant, 11> kConstants{{
    {"MinSingle", "Extended", 1.5e-45, "1.5e-45"},
    {"MaxSingle", "Extended", 3.4e38, "3.4e38"},
    {"MinDouble", "Extended", Limits::denorm_min(), "5.0e-324",
     "the nearest double is the smallest subnormal, 4.9406564584124654e-324"},
    {"MaxDouble", "Extended", 1.7e308, "1.7e308"},
    {"MinExtended", "Extended", Limits::denorm_min(), "3.4e-4932",
     "below the double range: held as the smallest positive double, 4.9406564584124654e-324, so that it "
     "stays greater than zero"},
    {"MaxExtended", "Extended", Limits::max(), "1.1e4932",
     "above the double range: held as the largest finite double, 1.7976931348623157e308, so that it "
     "stays finite"},
    {"MinComp", "Extended", -9223372036854775807.0, "-9223372036854775807",
     "not a double: held as -2^63 = -9223372036854775808"},
    {"MaxComp", "Extended", 9223372036854775807.0, "9223372036854775807",
     "not a double: held as 2^63 = 9223372036854775808"},
    // The 80-bit pattern (sign 1, exponent all ones, significand C000000000000000) is the negative quiet
    // NaN with an empty payload; its double form is FFF8000000000000.
    {"NaN", "Extended", std::bit_cast<double>(uint64_t{0xFFF8000000000000}), "NaN"},
    {"Infinity", "Extended", Limits::infinity(), "+Inf"},
    {"NegInfinity", "Extended", -Limits::infinity(), "-Inf"},
}};

constexpr std::array<CatalogueDeclaration, 59> kDeclarations{{
    {"ArcCos", "Function ArcCos( const X : Extended) : Extended"},
    {"ArcSin", "Function ArcSin( const X : Extended) : Extended"},
    {"ArcTan2", "Function ArcTan2( const Y, X : Extended) : Extended"},
    {"SinCos", "Procedure SinCos( const Theta : Extended; var Sin, Cos : Extended)"},
    {"Tan", "Function Tan( const X : Extended) : Extended"},
    {"Cotan", "Function Cotan( const X : Extended) : Extended"},
    {"Secant", "Function Secant( const X : Extended) : Extended"},
    {"Cosecant", "Function Cosecant( const X : Extended) : Extended"},
    {"Hypot", "Function Hypot( const X, Y : Extended) : Extended"},
    {"RadToDeg", "Function RadToDeg( const Radians : Extended) : Extended"},
    {"RadToGrad", "Function RadToGrad( const Radians : Extended) : Extended"},
    {"RadToCycle", "Function RadToCycle( const Radians : Extended) : Extended"},
    {"DegToRad", "Function DegToRad( const Degrees : Extended) : Extended"},
    {"DegToGrad", "Function DegToGrad( const Degrees : Extended) : Extended"},
    {"DegToCycle", "Function DegToCycle( const Degrees : Extended) : Extended"},
    {"GradToRad", "Function GradToRad( const Grads : Extended) : Extended"},
    {"GradToDeg", "Function GradToDeg( const Grads : Extended) : Extended"},
    {"GradToCycle", "Function GradToCycle( const Grads : Extended) : Extended"},
    {"CycleToRad", "Function CycleToRad( const Cycles : Extended) : Extended"},
    {"CycleToDeg", "Function CycleToDeg( const Cycles : Extended) : Extended"},
    {"CycleToGrad", "Function CycleToGrad( const Cycles : Extended) : Extended"},
    {"Cot", "Function Cot( const X : Extended) : Extended"},
    {"Sec", "Function Sec( const X : Extended) : Extended"},
    {"Csc", "Function Csc( const X : Extended) : Extended"},
    {"Cosh", "Function Cosh( const X : Extended) : Extended"},
    {"Sinh", "Function Sinh( const X : Extended) : Extended"},
    {"Tanh", "Function Tanh( const X : Extended) : Extended"},
    {"CotH", "Function CotH( const X : Extended) : Extended"},
    {"SecH", "Function SecH( const X : Extended) : Extended"},
    {"CscH", "Function CscH( const X : Extended) : Extended"},
    {"ArcCot", "Function ArcCot( const X : Extended) : Extended"},
    {"ArcSec", "Function ArcSec( const X : Extended) : Extended"},
    {"ArcCsc", "Function ArcCsc( const X : Extended) : Extended"},
    {"ArcCosh", "Function ArcCosh( const X : Extended) : Extended"},
    {"ArcSinh", "Function ArcSinh( const X : Extended) : Extended"},
    {"ArcTanh", "Function ArcTanh( const X : Extended) : Extended"},
    {"ArcCotH", "Function ArcCotH( const X : Extended) : Extended"},
    {"ArcSecH", "Function ArcSecH( const X : Extended) : Extended"},
    {"ArcCscH", "Function ArcCscH( const X : Extended) : Extended"},
    {"LnXP1", "Function LnXP1( const X : Extended) : Extended"},
    {"Log10", "Function Log10( const X : Extended) : Extended"},
    {"Log2", "Function Log2( const X : Extended) : Extended"},
    {"LogN", "Function LogN( const Base, X : Extended) : Extended"},
    {"IntPower", "Function IntPower( const Base : Extended; const Exponent : Integer) : Extended"},
    {"Power", "Function Power( const Base, Exponent : Extended) : Extended"},
    {"Frexp", "Procedure Frexp( const X : Extended; var Mantissa : Extended; var Exponent : Integer)"},
    {"Ldexp", "Function Ldexp( const X : Extended; const P : Integer) : Extended"},
    {"Ceil", "Function Ceil( const X : Extended) : Integer"},
    {"Floor", "Function Floor( const X : Extended) : Integer"},
    {"Poly", "Function Poly( const X : Extended; const Coefficients : array of Double) : Extended"},
    {"Mean", "Function Mean( const Data : array of Double) : Extended"},
    {"Sum", "Function Sum( const Data : array of Double) : Extended"},
    {"SumInt", "Function SumInt( const Data : array of Integer) : Integer"},
    {"SumOfSquares", "Function SumOfSquares( const Data : array of Double) : Extended"},
    {"SumsAndSquares",
     "Procedure SumsAndSquares( const Data : array of Double; var Sum, SumOfSquares : Extended)"},
    {"MinValue", "Function MinValue( const Data : array of Double) : Double"},
    {"Min", "Function Min( const A, B : Extended) : Extended"},
    {"MaxValue", "Function MaxValue( const Data : array of Double) : Double"},
    {"Max", "Function Max( const A, B : Extended) : Extended"},
}};

} // namespace

std::span<const CatalogueConstant> mathConstants() {
    return kConstants;
}
std::span<const CatalogueDeclaration> mathDeclarations() {
    return kDeclarations;
}

std::vector<std::string_view> mathBindingNames() {
    std::vector<std::string_view> names;
    for (const CatalogueDeclaration& d : kDeclarations)
        names.push_back(d.name);
    return names;
}

} // namespace novrix::library
