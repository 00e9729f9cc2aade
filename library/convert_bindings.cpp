// The script adapters of the conversion, string, time and random functions: read the arguments as
// declared, call the plain function, hand back the result. No logic lives here.
#include "library/convert_bindings.h"

#include "engine/runtime/date_time.h"
#include "library/convert.h"
#include "library/time_random.h"

namespace novrix::library {
namespace {

using engine::NativeCall;

// An argument or result that a Variant conversion cannot read gives the empty text.
std::string realText(const std::optional<double>& x, const std::function<std::string(double)>& format) {
    return x ? format(*x) : std::string();
}

} // namespace

std::vector<NamedNative> conversionBindings(ScriptContext& ctx) {
    return {
        // function NOVRIX_Random(Which:integer):Extended;
        {"NOVRIX_Random",
         [&ctx](NativeCall& c) {
             c.returnReal(timing::randomDraw(ctx.randSeed, static_cast<int32_t>(c.intArg(0))));
         }},
        // procedure NOVRIX_Randomize;
        {"NOVRIX_Randomize",
         [&ctx](NativeCall&) { ctx.randSeed = timing::randomizeSeed(std::chrono::system_clock::now()); }},
        // function NOVRIX_StringNthArgument(N:Integer; Var Worin:String; Delimiter:Char):String;
        {"NOVRIX_StringNthArgument",
         [](NativeCall& c) {
             c.returnStr(convert::nthArgument(static_cast<int32_t>(c.intArg(0)), c.strArg(1), c.charArg(2)));
         }},
        // function NOVRIX_ConvertToIntNumber(Which:String):Integer;
        {"NOVRIX_ConvertToIntNumber", [](NativeCall& c) { c.returnInt(convert::toIntNumber(c.strArg(0))); }},
        // function NOVRIX_ConvertToFloatNumber(Which:String):Double;
        {"NOVRIX_ConvertToFloatNumber",
         [](NativeCall& c) { c.returnReal(convert::toFloatNumber(c.strArg(0))); }},
        // procedure NOVRIX_ConvertAddToString(var Where: String;What:Variant);
        {"NOVRIX_ConvertAddToString",
         [&ctx](NativeCall& c) {
             c.setStr(0, std::string(c.strArg(0)) + convert::generalText(c.variantArg(1), ctx.locale));
         }},
        // function NOVRIX_ConvertToFixed(V:Variant;digits:Integer):String;
        {"NOVRIX_ConvertToFixed",
         [&ctx](NativeCall& c) {
             const auto digits = static_cast<int32_t>(c.intArg(1));
             c.returnStr(realText(convert::realValue(c.variantArg(0), ctx.locale),
                                  [digits](double x) { return convert::toFixed(x, digits); }));
         }},
        // function NOVRIX_ConvertToExponential(V:Variant;TotalLength:Integer;ExponentLength:Integer):String;
        {"NOVRIX_ConvertToExponential",
         [&ctx](NativeCall& c) {
             const auto total = static_cast<int32_t>(c.intArg(1));
             const auto exponent = static_cast<int32_t>(c.intArg(2));
             c.returnStr(realText(convert::realValue(c.variantArg(0), ctx.locale),
                                  [=](double x) { return convert::toExponential(x, total, exponent); }));
         }},
        // function NOVRIX_ConvertStripToNumber(V:Variant):String;
        {"NOVRIX_ConvertStripToNumber",
         [&ctx](NativeCall& c) {
             c.returnStr(convert::stripToNumber(convert::generalText(c.variantArg(0), ctx.locale)));
         }},
        // function NOVRIX_ConvertToMJD(What:Variant):String;
        {"NOVRIX_ConvertToMJD",
         [&ctx](NativeCall& c) {
             c.returnStr(realText(convert::realValue(c.variantArg(0), ctx.locale), convert::toMjd));
         }},
        // function NOVRIX_ConvertToDecimalComma(Where:String):String;
        {"NOVRIX_ConvertToDecimalComma",
         [](NativeCall& c) { c.returnStr(convert::toDecimalComma(c.strArg(0))); }},
        // function NOVRIX_ConvertToDecimalPoint(Where:String):String;
        {"NOVRIX_ConvertToDecimalPoint",
         [](NativeCall& c) { c.returnStr(convert::toDecimalPoint(c.strArg(0))); }},
        // function NOVRIX_ConvertHextoInt(HexString:String):String;
        {"NOVRIX_ConvertHextoInt", [](NativeCall& c) { c.returnStr(convert::hexToInt(c.strArg(0))); }},
        // procedure NOVRIX_ConvertRemove(What:String; Var FromWhere:String);
        {"NOVRIX_ConvertRemove",
         [](NativeCall& c) { c.setStr(1, convert::removeAll(c.strArg(0), c.strArg(1))); }},
        // function NOVRIX_TimeNow:TDateTime
        {"NOVRIX_TimeNow", [](NativeCall& c) { c.returnReal(rt::now()); }},
        // function NOVRIX_TimeNewSecond:boolean
        {"NOVRIX_TimeNewSecond",
         [&ctx](NativeCall& c) { c.returnBool(timing::newSecond(rt::now(), ctx.lastSeenSecond)); }},
        // procedure NOVRIX_TimeSleep(HowLong:double);
        {"NOVRIX_TimeSleep",
         [&ctx](NativeCall& c) { timing::timeSleep(c.realArg(0), ctx, [&c] { return c.stopRequested(); }); }},
        // procedure NOVRIX_TimeWaitForMultipleOf(Seconds:Cardinal);
        {"NOVRIX_TimeWaitForMultipleOf",
         [&ctx](NativeCall& c) {
             timing::SystemTimeSource clock;
             timing::timeWaitForMultipleOf(static_cast<uint32_t>(c.intArg(0)), ctx, clock,
                                           [&c] { return c.stopRequested(); });
         }},
    };
}

} // namespace novrix::library
