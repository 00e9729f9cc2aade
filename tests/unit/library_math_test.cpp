// The math set: Delphi 7's Math routines as the script vocabulary sees them. Unless a row says otherwise,
// the expected values were printed by small fpc -Mdelphi programs (Free Pascal 3.2.2, Math unit, 80-bit
// Extended rounded to Double). Routines Free Pascal lacks (CotH, SecH, CscH, ArcCot, ArcSec, ArcCsc,
// ArcCotH, ArcSecH, ArcCscH, DegToCycle, GradToCycle, CycleToDeg, CycleToGrad, Poly) were evaluated there
// from Delphi's definitions; DegToGrad and GradToDeg too, because Free Pascal folds 200/180 in single
// precision (it prints 100.00000476837158 for DegToGrad(90)).
#include "engine/engine.h"
#include "engine/runtime/script_error.h"
#include "library/catalogue.h"
#include "library/named_native.h"
#include "standard_set_run.h"
#include "library/std_math.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

namespace math = novrix::library::math;
using novrix::rt::ExcClass;
using novrix::rt::ScriptError;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const char* const kInvalidOp = "Invalid floating point operation";
const char* const kZeroDivide = "Floating point division by zero";
const char* const kOverflow = "Floating point overflow";

struct ErrorCase {
    const char* call;
    std::function<void()> run;
    ExcClass cls;
    const char* message;
};

void expectErrors(const std::vector<ErrorCase>& cases) {
    for (const ErrorCase& c : cases) {
        try {
            c.run();
            ADD_FAILURE() << c.call << " raised nothing";
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.cls, c.cls) << c.call;
            EXPECT_STREQ(e.what(), c.message) << c.call;
        }
    }
}

TEST(LibraryMath, FunctionsOfOneArgumentMatchTheOracle) {
    struct Case {
        const char* name;
        double (*fn)(double);
        double x;
        double expected;
    } const cases[] = {
        {"ArcCos", math::arcCos, 0.5, 1.0471975511965979E+000},
        {"ArcSin", math::arcSin, 0.5, 5.2359877559829893E-001},
        {"ArcCos", math::arcCos, -0.25, 1.8234765819369754E+000},
        {"ArcSin", math::arcSin, -0.25, -2.5268025514207865E-001},
        {"ArcCos", math::arcCos, 1, 0.0000000000000000E+000},
        {"ArcCos", math::arcCos, -1, 3.1415926535897931E+000},
        {"ArcSin", math::arcSin, 1, 1.5707963267948966E+000},
        {"Tan", math::tan, 0.5, 5.4630248984379048E-001},
        {"Cotan", math::cotan, 0.5, 1.8304877217124520E+000},
        {"Secant", math::secant, 0.5, 1.1394939273245490E+000},
        {"Cosecant", math::cosecant, 0.5, 2.0858296429334882E+000},
        {"Cosh", math::cosh, 0.5, 1.1276259652063807E+000},
        {"Sinh", math::sinh, 0.5, 5.2109530549374738E-001},
        {"Tanh", math::tanh, 0.5, 4.6211715726000974E-001},
        {"ArcSinh", math::arcSinh, 0.5, 4.8121182505960347E-001},
        {"CotH", math::cotH, 0.5, 2.1639534137386529E+000},
        {"SecH", math::secH, 0.5, 8.8681888397007391E-001},
        {"CscH", math::cscH, 0.5, 1.9190347513349437E+000},
        {"RadToDeg", math::radToDeg, 0.5, 2.8647889756541161E+001},
        {"RadToGrad", math::radToGrad, 0.5, 3.1830988618379067E+001},
        {"RadToCycle", math::radToCycle, 0.5, 7.9577471545947673E-002},
        {"DegToRad", math::degToRad, 0.5, 8.7266462599716477E-003},
        {"DegToGrad", math::degToGrad, 0.5, 5.5555555555555558E-001},
        {"DegToCycle", math::degToCycle, 0.5, 1.3888888888888889E-003},
        {"GradToRad", math::gradToRad, 0.5, 7.8539816339744835E-003},
        {"GradToDeg", math::gradToDeg, 0.5, 4.5000000000000001E-001},
        {"GradToCycle", math::gradToCycle, 0.5, 1.2500000000000000E-003},
        {"CycleToRad", math::cycleToRad, 0.5, 3.1415926535897931E+000},
        {"CycleToDeg", math::cycleToDeg, 0.5, 1.8000000000000000E+002},
        {"CycleToGrad", math::cycleToGrad, 0.5, 2.0000000000000000E+002},
        {"Tan", math::tan, -0.25, -2.5534192122103627E-001},
        {"Cotan", math::cotan, -0.25, -3.9163173646459399E+000},
        {"Secant", math::secant, -0.25, 1.0320850239843857E+000},
        {"Cosecant", math::cosecant, -0.25, -4.0419725012210712E+000},
        {"Cosh", math::cosh, -0.25, 1.0314130998795732E+000},
        {"Sinh", math::sinh, -0.25, -2.5261231680816831E-001},
        {"Tanh", math::tanh, -0.25, -2.4491866240370913E-001},
        {"ArcSinh", math::arcSinh, -0.25, -2.4746646154726346E-001},
        {"CotH", math::cotH, -0.25, -4.0829881650735969E+000},
        {"SecH", math::secH, -0.25, 9.6954362914021464E-001},
        {"CscH", math::cscH, -0.25, -3.9586351633020005E+000},
        {"Tan", math::tan, 1.75, -5.5203799225093304E+000},
        {"Cotan", math::cotan, 1.75, -1.8114695257159810E-001},
        {"Secant", math::secant, 1.75, -5.6102223208037056E+000},
        {"Cosecant", math::cosecant, 1.75, 1.0162746766627500E+000},
        {"Cosh", math::cosh, 1.75, 2.9641883097280877E+000},
        {"Sinh", math::sinh, 1.75, 2.7904143662776426E+000},
        {"Tanh", math::tanh, 1.75, 9.4137553849728739E-001},
        {"ArcSinh", math::arcSinh, 1.75, 1.3258977669011374E+000},
        {"CotH", math::cotH, 1.75, 1.0622753185155995E+000},
        {"SecH", math::secH, 1.75, 3.3736048304290506E-001},
        {"CscH", math::cscH, 1.75, 3.5836971457897854E-001},
        {"Tan", math::tan, -3, 1.4254654307427780E-001},
        {"Cotan", math::cotan, -3, 7.0152525514345339E+000},
        {"Secant", math::secant, -3, -1.0101086659079936E+000},
        {"Cosecant", math::cosecant, -3, -7.0861673957371858E+000},
        {"Cosh", math::cosh, -3, 1.0067661995777765E+001},
        {"Sinh", math::sinh, -3, -1.0017874927409903E+001},
        {"Tanh", math::tanh, -3, -9.9505475368673046E-001},
        {"ArcSinh", math::arcSinh, -3, -1.8184464592320668E+000},
        {"CotH", math::cotH, -3, -1.0049698233136892E+000},
        {"SecH", math::secH, -3, 9.9327927419433207E-002},
        {"CscH", math::cscH, -3, -9.9821569668822732E-002},
        {"RadToDeg", math::radToDeg, -3, -1.7188733853924697E+002},
        {"RadToGrad", math::radToGrad, -3, -1.9098593171027440E+002},
        {"RadToCycle", math::radToCycle, -3, -4.7746482927568601E-001},
        {"DegToRad", math::degToRad, -3, -5.2359877559829890E-002},
        {"DegToGrad", math::degToGrad, -3, -3.3333333333333335E+000},
        {"DegToCycle", math::degToCycle, -3, -8.3333333333333332E-003},
        {"GradToRad", math::gradToRad, -3, -4.7123889803846901E-002},
        {"GradToDeg", math::gradToDeg, -3, -2.7000000000000002E+000},
        {"GradToCycle", math::gradToCycle, -3, -7.4999999999999997E-003},
        {"CycleToRad", math::cycleToRad, -3, -1.8849555921538759E+001},
        {"CycleToDeg", math::cycleToDeg, -3, -1.0800000000000000E+003},
        {"CycleToGrad", math::cycleToGrad, -3, -1.2000000000000000E+003},
        {"DegToGrad", math::degToGrad, 90, 1.0000000000000000E+002},
        {"GradToDeg", math::gradToDeg, 100, 9.0000000000000000E+001},
        {"CycleToDeg", math::cycleToDeg, 0.25, 9.0000000000000000E+001},
        {"ArcTanh", math::arcTanh, 0.5, 5.4930614433405489E-001},
        {"ArcSecH", math::arcSecH, 0.5, 1.3169578969248168E+000},
        {"LnXP1", math::lnXP1, 0.5, 4.0546510810816438E-001},
        {"ArcTanh", math::arcTanh, -0.25, -2.5541281188299536E-001},
        {"LnXP1", math::lnXP1, -0.25, -2.8768207245178090E-001},
        {"ArcSecH", math::arcSecH, 0.75, 7.9536546122390561E-001},
        {"ArcCot", math::arcCot, 1.5, 5.8800260354756750E-001},
        {"ArcSec", math::arcSec, 1.5, 8.4106867056793022E-001},
        {"ArcCsc", math::arcCsc, 1.5, 7.2972765622696634E-001},
        {"ArcCotH", math::arcCotH, 1.5, 8.0471895621705014E-001},
        {"ArcCscH", math::arcCscH, 1.5, 3.7360720091511052E-001},
        {"ArcCot", math::arcCot, -2.5, -3.8050637711236490E-001},
        {"ArcSec", math::arcSec, -2.5, 1.9823131728623846E+000},
        {"ArcCsc", math::arcCsc, -2.5, -4.1151684606748801E-001},
        {"ArcCotH", math::arcCotH, -2.5, -4.2364893019360178E-001},
        {"ArcCscH", math::arcCscH, -2.5, -1.3721842285088015E-001},
        {"ArcCot", math::arcCot, 10, 9.9668652491162024E-002},
        {"ArcSec", math::arcSec, 10, 1.4706289056333368E+000},
        {"ArcCsc", math::arcCsc, 10, 1.0016742116155980E-001},
        {"ArcCotH", math::arcCotH, 10, 1.0033534773107558E-001},
        {"ArcCscH", math::arcCscH, 10, 5.2180007662121386E-002},
        {"ArcCot", math::arcCot, -0.5, -1.1071487177940904E+000},
        {"ArcCosh", math::arcCosh, 1, 0.0000000000000000E+000},
        {"ArcCosh", math::arcCosh, 1.5, 9.6242365011920694E-001},
        {"ArcCosh", math::arcCosh, 10, 2.9932228461263808E+000},
        {"Log10", math::log10, 1000, 3.0000000000000000E+000},
        {"Log10", math::log10, 2, 3.0102999566398120E-001},
        {"Log10", math::log10, 0.001, -3.0000000000000000E+000},
        {"Log2", math::log2, 1024, 1.0000000000000000E+001},
        {"Log2", math::log2, 10, 3.3219280948873622E+000},
        {"Log2", math::log2, 0.125, -3.0000000000000000E+000},
        {"LnXP1", math::lnXP1, 1e-10, 9.9999999994999994E-011},
        {"LnXP1", math::lnXP1, 3, 1.3862943611198906E+000},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(c.fn(c.x), c.expected) << c.name << "(" << c.x << ")";
}

TEST(LibraryMath, FunctionsOfTwoArgumentsMatchTheOracle) {
    struct Case {
        const char* name;
        double (*fn)(double, double);
        double a, b;
        double expected;
    } const cases[] = {
        {"ArcTan2", math::arcTan2, 1, 1, 7.8539816339744828E-001},
        {"ArcTan2", math::arcTan2, 1, -1, 2.3561944901923448E+000},
        {"ArcTan2", math::arcTan2, -1, -1, -2.3561944901923448E+000},
        {"ArcTan2", math::arcTan2, 0, -1, 3.1415926535897931E+000},
        {"ArcTan2", math::arcTan2, 0, 0, 0.0000000000000000E+000},
        {"ArcTan2", math::arcTan2, -2, 0, -1.5707963267948966E+000},
        {"Hypot", math::hypot, 3, 4, 5.0000000000000000E+000},
        {"Hypot", math::hypot, -5, 12, 1.3000000000000000E+001},
        {"Hypot", math::hypot, 0, -7, 7.0000000000000000E+000},
        {"Hypot", math::hypot, 1e200, 1e200, 1.4142135623730950E+200},
        {"LogN", math::logN, 2, 8, 3.0000000000000000E+000},
        {"LogN", math::logN, 10, 0.01, -2.0000000000000000E+000},
        {"LogN", math::logN, 3, 10, 2.0959032742893844E+000},
        {"LogN", math::logN, 0.5, 8, -3.0000000000000000E+000},
        {"Power", math::power, 2, 10, 1.0240000000000000E+003},
        {"Power", math::power, 2, 0.5, 1.4142135623730951E+000},
        {"Power", math::power, -2, 3, -8.0000000000000000E+000},
        {"Power", math::power, -2, -2, 2.5000000000000000E-001},
        {"Power", math::power, 0, 0, 1.0000000000000000E+000},
        {"Power", math::power, 0, 2.5, 0.0000000000000000E+000},
        {"Power", math::power, 10, -2, 1.0000000000000000E-002},
        {"Power", math::power, 1.5, 2.5, 2.7556759606310752E+000},
        {"Min", math::min, 1.5, -2, -2.0000000000000000E+000},
        {"Max", math::max, 1.5, -2, 1.5000000000000000E+000},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(c.fn(c.a, c.b), c.expected) << c.name << "(" << c.a << ", " << c.b << ")";
}

TEST(LibraryMath, AliasesAndSinCosAgreeWithTheirNamesakes) {
    for (double x : {0.5, -0.25, 1.75, -3.0}) {
        const math::SinCosResult sc = math::sinCos(x);
        EXPECT_DOUBLE_EQ(sc.sin, std::sin(x)) << x;
        EXPECT_DOUBLE_EQ(sc.cos, std::cos(x)) << x;
    }
    // From fpc: SinCos(0.5) and SinCos(-2).
    EXPECT_DOUBLE_EQ(math::sinCos(0.5).sin, 4.7942553860420301E-001);
    EXPECT_DOUBLE_EQ(math::sinCos(-2).cos, -4.1614683654714241E-001);
}

// Where Delphi answers instead of faulting, or faults where Free Pascal does not, the row is Delphi 7's
// behaviour, derived from its definitions.
TEST(LibraryMath, PolesAndLimitsFollowDelphi) {
    EXPECT_EQ(math::arcTanh(1), kInf);   // Delphi: Infinity; Free Pascal divides by zero
    EXPECT_EQ(math::arcTanh(-1), -kInf); // Delphi: NegInfinity
    EXPECT_EQ(math::arcCotH(1), kInf);
    EXPECT_EQ(math::arcCotH(-1), -kInf);
    EXPECT_EQ(math::arcSec(0), kInf);
    EXPECT_EQ(math::arcCsc(0), kInf);
    EXPECT_EQ(math::arcSecH(0), kInf);
    EXPECT_EQ(math::arcSecH(1), 0);
    EXPECT_DOUBLE_EQ(math::arcCot(0), M_PI / 2);
    EXPECT_DOUBLE_EQ(math::arcCot(1e-17), M_PI / 2); // IsZero with Extended's tolerance, 1e-16
    EXPECT_EQ(math::tanh(6000), 1);                  // no overflow: Tanh saturates
    EXPECT_EQ(math::arcCos(1), 0);
    EXPECT_DOUBLE_EQ(math::arcCos(-1), M_PI);
    EXPECT_DOUBLE_EQ(math::hypot(3e200, 4e200), 5e200); // no overflow in the squares
    EXPECT_EQ(math::power(-7, 0), 1);
    EXPECT_EQ(math::power(kNaN, 0), 1); // Exponent = 0 is looked at first
    EXPECT_EQ(math::intPower(0, 0), 1);
    EXPECT_TRUE(std::isnan(math::arcCos(kNaN)));
    EXPECT_TRUE(std::isnan(math::sum(std::vector<double>{1, kNaN})));
    EXPECT_EQ(math::cosh(kInf), kInf);
}

// Delphi 7's ArcCscH takes the square root of the whole sum (its formula is Ln(Sqrt(1 + 1/X^2 + 1/X)));
// the library keeps those numbers. The true inverse would give 0.88137358701954302 at 1.
TEST(LibraryMath, ArcCscHKeepsDelphiFormula) {
    EXPECT_DOUBLE_EQ(math::arcCscH(1), std::log(std::sqrt(3.0)));
    EXPECT_DOUBLE_EQ(math::arcCscH(-1), 0);
}

TEST(LibraryMath, IntegerPowersAndPowersOfTwo) {
    struct Case {
        double base;
        int32_t exponent;
        double expected;
    } const cases[] = {
        // From fpc.
        {2, 10, 1.0240000000000000E+003},
        {2, -3, 1.2500000000000000E-001},
        {-3, 3, -2.7000000000000000E+001},
        {10, -300, 1.0000000000000000E-300},
        {0, 0, 1.0000000000000000E+000},
        {1.1, 100, 1.3780612339822381E+004},
        {-1, INT32_MIN, 1}, // |Low(Integer)| taken as 2^31
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(math::intPower(c.base, c.exponent), c.expected) << c.base << "^" << c.exponent;

    // From fpc.
    EXPECT_EQ(math::ldexp(1.5, 4), 24);
    EXPECT_EQ(math::ldexp(3, -2), 0.75);
    EXPECT_EQ(math::ldexp(1, -1074), 4.9406564584124654E-324);
    EXPECT_EQ(math::ldexp(1, -1080), 0); // underflow is masked
    EXPECT_EQ(math::ldexp(kInf, 5), kInf);
}

TEST(LibraryMath, FrexpSplitsIntoAHalfOpenMantissa) {
    struct Case {
        double x;
        double mantissa;
        int32_t exponent;
    } const cases[] = {
        // From fpc.
        {8, 0.5, 4},
        {-0.3, -6.0000000000000000E-001, -1},
        {1, 0.5, 1},
        {0, 0, 0},
        // The smallest subnormal double (Free Pascal's literal 5e-324 is an Extended, so derived).
        {4.9406564584124654E-324, 0.5, -1073},
    };
    for (const Case& c : cases) {
        const math::FrexpResult r = math::frexp(c.x);
        EXPECT_DOUBLE_EQ(r.mantissa, c.mantissa) << c.x;
        EXPECT_EQ(r.exponent, c.exponent) << c.x;
    }
    EXPECT_TRUE(std::signbit(math::frexp(-0.0).mantissa)); // zero comes back as itself
}

TEST(LibraryMath, CeilAndFloorTruncateToInteger) {
    struct Case {
        double x;
        int32_t ceil, floor;
    } const cases[] = {
        // From fpc: Ceil and Floor of each value.
        {1.2, 2, 1},
        {-1.2, -1, -2},
        {-0.5, 0, -1},
        {3, 3, 3},
        {0.5, 1, 0},
        {1.8, 2, 1},
        {-3, -3, -3},
        // Integer(Trunc(X)) wraps, and so does the step past it.
        {2147483647.5, INT32_MIN, INT32_MAX},
        {-2147483648.5, INT32_MIN, INT32_MAX},
        {5e9, 705032704, 705032704},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(math::ceil(c.x), c.ceil) << "Ceil(" << c.x << ")";
        EXPECT_EQ(math::floor(c.x), c.floor) << "Floor(" << c.x << ")";
    }
}

TEST(LibraryMath, OpenArrayStatistics) {
    using V = std::vector<double>;
    // From fpc.
    EXPECT_DOUBLE_EQ(math::poly(2, V{1, 2, 3}), 17);
    EXPECT_DOUBLE_EQ(math::poly(-0.5, V{4}), 4);
    EXPECT_DOUBLE_EQ(math::poly(1.5, V{0, 0, 0, 1}), 3.375);
    EXPECT_DOUBLE_EQ(math::mean(V{1, 2, 3, 4}), 2.5);
    EXPECT_DOUBLE_EQ(math::mean(V{0.1, 0.2, 0.3}), 2.0000000000000001E-001);
    EXPECT_DOUBLE_EQ(math::sum(V{0.1, 0.2, 0.3}), 5.9999999999999998E-001);
    EXPECT_DOUBLE_EQ(math::sum(V{1e308, 1e308, -1e308}), 1e308); // the 80-bit sum does not overflow
    EXPECT_DOUBLE_EQ(math::sumOfSquares(V{1, 2, 3}), 14);
    EXPECT_DOUBLE_EQ(math::sumOfSquares(V{0.1, -0.2}), 5.0000000000000003E-002);
    const math::SumsAndSquaresResult ss = math::sumsAndSquares(V{1.5, -2, 3});
    EXPECT_DOUBLE_EQ(ss.sum, 2.5);
    EXPECT_DOUBLE_EQ(ss.sumOfSquares, 15.25);
    EXPECT_EQ(math::minValue(V{3, -1.5, 2}), -1.5);
    EXPECT_EQ(math::maxValue(V{3, -1.5, 2}), 3);
    EXPECT_EQ(math::sumInt(std::vector<int32_t>{1, 2, 3}), 6);
    EXPECT_EQ(math::sumInt(std::vector<int32_t>{-5, 5}), 0);

    // Empty arrays: sums are 0; 32-bit sums wrap as Delphi's additions do.
    EXPECT_EQ(math::sum(V{}), 0);
    EXPECT_EQ(math::sumOfSquares(V{}), 0);
    EXPECT_EQ(math::sumInt(std::vector<int32_t>{}), 0);
    EXPECT_EQ(math::sumInt(std::vector<int32_t>{INT32_MAX, 1}), INT32_MIN);
}

TEST(LibraryMath, FaultsRaiseDelphiExceptions) {
    using V = std::vector<double>;
    expectErrors({
        // From fpc: class and message of each.
        {"ArcCos(2)", [] { math::arcCos(2); }, ExcClass::EInvalidOp, kInvalidOp},
        {"ArcSin(-1.5)", [] { math::arcSin(-1.5); }, ExcClass::EInvalidOp, kInvalidOp},
        {"Cotan(0)", [] { math::cotan(0); }, ExcClass::EZeroDivide, kZeroDivide},
        {"Cosecant(0)", [] { math::cosecant(0); }, ExcClass::EZeroDivide, kZeroDivide},
        {"Cosh(1000)", [] { math::cosh(1000); }, ExcClass::EOverflow, kOverflow},
        {"Sinh(-1000)", [] { math::sinh(-1000); }, ExcClass::EOverflow, kOverflow},
        {"ArcCosh(0.5)", [] { math::arcCosh(0.5); }, ExcClass::EInvalidOp, kInvalidOp},
        {"ArcTanh(2)", [] { math::arcTanh(2); }, ExcClass::EInvalidOp, kInvalidOp},
        {"LnXP1(-1)", [] { math::lnXP1(-1); }, ExcClass::EZeroDivide, kZeroDivide},
        {"LnXP1(-2)", [] { math::lnXP1(-2); }, ExcClass::EInvalidOp, kInvalidOp},
        {"Log10(0)", [] { math::log10(0); }, ExcClass::EZeroDivide, kZeroDivide},
        {"Log10(-1)", [] { math::log10(-1); }, ExcClass::EInvalidOp, kInvalidOp},
        {"Log2(0)", [] { math::log2(0); }, ExcClass::EZeroDivide, kZeroDivide},
        {"LogN(1, 5)", [] { math::logN(1, 5); }, ExcClass::EZeroDivide, kZeroDivide},
        {"LogN(1, 1)", [] { math::logN(1, 1); }, ExcClass::EInvalidOp, kInvalidOp},
        {"LogN(2, 0)", [] { math::logN(2, 0); }, ExcClass::EZeroDivide, kZeroDivide},
        {"LogN(-2, 8)", [] { math::logN(-2, 8); }, ExcClass::EInvalidOp, kInvalidOp},
        {"IntPower(0, -1)", [] { math::intPower(0, -1); }, ExcClass::EZeroDivide, kZeroDivide},
        {"IntPower(10, 400)", [] { math::intPower(10, 400); }, ExcClass::EOverflow, kOverflow},
        {"IntPower(10, 5000)", [] { math::intPower(10, 5000); }, ExcClass::EOverflow, kOverflow},
        {"Power(-8, 1/3)", [] { math::power(-8, 1.0 / 3); }, ExcClass::EInvalidOp, kInvalidOp},
        {"Power(0, -1)", [] { math::power(0, -1); }, ExcClass::EZeroDivide, kZeroDivide},
        {"Power(0, -0.5)", [] { math::power(0, -0.5); }, ExcClass::EZeroDivide, kZeroDivide},
        {"Power(10, 400)", [] { math::power(10, 400); }, ExcClass::EOverflow, kOverflow},
        {"Power(2, 1e10)", [] { math::power(2, 1e10); }, ExcClass::EOverflow, kOverflow},
        {"Ldexp(1, 1100)", [] { math::ldexp(1, 1100); }, ExcClass::EOverflow, kOverflow},
        {"Ldexp(1, 20000)", [] { math::ldexp(1, 20000); }, ExcClass::EOverflow, kOverflow},
        {"Ceil(1e19)", [] { math::ceil(1e19); }, ExcClass::EInvalidOp, kInvalidOp},
        {"Floor(NaN)", [] { math::floor(kNaN); }, ExcClass::EInvalidOp, kInvalidOp},
        {"Mean([])", [] { math::mean(V{}); }, ExcClass::EInvalidOp, kInvalidOp},
        {"Sum([1e308, 1e308])",
         [] {
             math::sum(V{1e308, 1e308});
         },
         ExcClass::EOverflow, kOverflow},
        {"Tan(Infinity)", [] { math::tan(kInf); }, ExcClass::EInvalidOp, kInvalidOp},
        {"Hypot(Infinity, Infinity)", [] { math::hypot(kInf, kInf); }, ExcClass::EInvalidOp, kInvalidOp},
        // Delphi 7, where Free Pascal lacks the routine or differs.
        {"CotH(0)", [] { math::cotH(0); }, ExcClass::EZeroDivide, kZeroDivide},
        {"CscH(0)", [] { math::cscH(0); }, ExcClass::EZeroDivide, kZeroDivide},
        {"SecH(12000)", [] { math::secH(12000); }, ExcClass::EOverflow, kOverflow}, // Exp overflows first
        {"ArcSec(0.5)", [] { math::arcSec(0.5); }, ExcClass::EInvalidOp, kInvalidOp},
        {"ArcCotH(0.5)", [] { math::arcCotH(0.5); }, ExcClass::EInvalidOp, kInvalidOp},
        {"ArcSecH(2)", [] { math::arcSecH(2); }, ExcClass::EInvalidOp, kInvalidOp},
        {"ArcSecH(-0.5)", [] { math::arcSecH(-0.5); }, ExcClass::EInvalidOp, kInvalidOp},
        {"ArcCscH(0)", [] { math::arcCscH(0); }, ExcClass::EZeroDivide, kZeroDivide},
        {"ArcCosh(-1)", [] { math::arcCosh(-1); }, ExcClass::EZeroDivide, kZeroDivide}, // (X-1)/(X+1)
        // The 80-bit square of 10^2500 overflows before 1/Result would underflow.
        {"IntPower(10, -5000)", [] { math::intPower(10, -5000); }, ExcClass::EOverflow, kOverflow},
        {"Frexp(Infinity)", [] { math::frexp(kInf); }, ExcClass::EInvalidOp, kInvalidOp},
        {"Frexp(NaN)", [] { math::frexp(kNaN); }, ExcClass::EInvalidOp, kInvalidOp},
        // Data[0] and Coefficients[High] of an empty array are out of range.
        {"Poly(1, [])", [] { math::poly(1, V{}); }, ExcClass::ERangeError, "Out Of Range"},
        {"MinValue([])", [] { math::minValue(V{}); }, ExcClass::ERangeError, "Out Of Range"},
        {"MaxValue([])", [] { math::maxValue(V{}); }, ExcClass::ERangeError, "Out Of Range"},
    });
}

// The bindings cover the whole set, in its order, and a script reaches each kind of parameter through
// the registered declarations: var Extended and Integer, open arrays of Double and Integer, Integer
// results, the constants, and Delphi's exceptions.
TEST(LibraryMath, ScriptCallsTheRegisteredSet) {
    novrix::library::test::expectBindingsInOrder(novrix::library::mathBindings(),
                                                 novrix::library::mathBindingNames());
    novrix::library::test::StandardSetRun run(novrix::library::registerMathDeclarations, novrix::library::registerMathBindings,
                                              novrix::library::mathBindings());
    novrix::engine::Engine& e = run.engine;
    const std::string& out = run.out;
    const size_t& bound = run.bound;
    const char* script = R"(
var s, c, m, su, sq: Extended; ex: Integer; d: array of Double;
begin
  SinCos(0.5, s, c);
  WriteLn(s:0:6, ' ', c:0:6);
  Frexp(-0.3, m, ex);
  WriteLn(m:0:6, ' ', ex);
  SumsAndSquares([1.5, -2, 3], su, sq);
  WriteLn(su:0:3, ' ', sq:0:3);
  SetLength(d, 3); d[0] := 3; d[1] := -1.5; d[2] := 2;
  WriteLn(MinValue(d):0:2, ' ', MaxValue(d):0:2, ' ', Mean(d):0:4, ' ', Poly(2, [1, 2, 3]):0:1);
  WriteLn(SumInt([1, 2, 3]), ' ', Ceil(-1.5), ' ', Floor(-1.5), ' ', IntPower(2, -3):0:3);
  WriteLn(Power(2, 0.5):0:6, ' ', LogN(2, 8):0:1, ' ', Hypot(3, 4):0:1, ' ', RadToDeg(Pi):0:1);
  if ArcTanh(1) = Infinity then WriteLn('Infinity');
  try
    WriteLn(ArcCos(2):0:3);
  except
    on E: EInvalidOp do WriteLn(E.ClassName, ': ', E.Message);
  end;
  try
    WriteLn(Cotan(0):0:3);
  except
    on E: EMathError do WriteLn(E.ClassName, ': ', E.Message);
  end;
  WriteLn(Log10(0):0:3);
end.
)";
    ASSERT_TRUE(e.compile(script)) << (e.messageLines().empty() ? "" : e.messageLines()[0]);
    EXPECT_EQ(bound, 59u);
    EXPECT_FALSE(e.execute());
    // Values from fpc running the same calls (Free Pascal has no Poly; ArcTanh(1) is Delphi's Infinity).
    EXPECT_EQ(out, "0.479426 0.877583\n"
                   "-0.600000 -1\n"
                   "2.500 15.250\n"
                   "-1.50 3.00 1.1667 17.0\n"
                   "6 -1 -2 0.125\n"
                   "1.414214 3.0 5.0 180.0\n"
                   "Infinity\n"
                   "EInvalidOp: Invalid floating point operation\n"
                   "EZeroDivide: Floating point division by zero\n");
    EXPECT_EQ(e.runtimeError().text, kZeroDivide);
}

} // namespace
