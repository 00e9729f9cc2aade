#pragma once
// The routines every script has without registration. The compiler checks their arguments itself
// (they are overloaded on types, take any array, or compile to plain instructions).

#define NOVRIX_BUILTIN_NAMES(X)                                                                            \
    X(Write) X(WriteLn) X(Length) X(SetLength) X(Copy) X(Pos) X(Delete) X(Insert) X(Concat)                \
    X(StringOfChar) X(Chr) X(Ord) X(Succ) X(Pred) X(Inc) X(Dec) X(High) X(Low) X(Odd) X(Abs) X(Sqr)        \
    X(Sqrt) X(Sin) X(Cos) X(ArcTan) X(Exp) X(Ln) X(Pi) X(Int) X(Frac) X(Trunc) X(Round) X(Random)          \
    X(Randomize) X(Include) X(Exclude) X(Assigned) X(UpCase) X(Val) X(Str) X(Halt) X(IntToStr)             \
    X(IntToHex) X(StrToInt) X(StrToIntDef) X(StrToInt64) X(FloatToStr) X(StrToFloat) X(StrToFloatDef)      \
    X(FormatFloat) X(Format) X(UpperCase) X(LowerCase) X(Trim) X(TrimLeft) X(TrimRight) X(CompareStr)      \
    X(CompareText) X(SameText) X(QuotedStr) X(StringReplace) X(BoolToStr) X(Now) X(Date) X(Time)           \
    X(EncodeDate) X(EncodeTime) X(DecodeDate) X(DecodeTime) X(DayOfWeek) X(DateToStr) X(TimeToStr)        \
    X(DateTimeToStr) X(FormatDateTime) X(Sleep) X(GetTickCount) X(VarType) X(VarIsNull) X(VarIsEmpty)     \
    X(Null) X(Unassigned) X(SizeOf) X(Exit) X(Break) X(Continue)

namespace novrix::engine {

enum class BI {
#define NOVRIX_BI_ENUM(name) name,
    NOVRIX_BUILTIN_NAMES(NOVRIX_BI_ENUM)
#undef NOVRIX_BI_ENUM
        Count
};

inline constexpr const char* kBuiltinNames[] = {
#define NOVRIX_BI_NAME(name) #name,
    NOVRIX_BUILTIN_NAMES(NOVRIX_BI_NAME)
#undef NOVRIX_BI_NAME
};

} // namespace novrix::engine
