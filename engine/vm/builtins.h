#pragma once
// Built-in routines implemented in C++. The compiler chooses the entry by the argument types; each
// entry reads its arguments from base[1..] and writes its result (if any) to base[0]. var parameters
// arrive as pointers to cells, open arrays as (pointer, High) pairs.
#include "vm.h"

#define NOVRIX_BUILTINS(B)                                                                                 \
    B(CopyStr)        /* (s, index, count): String */                                                      \
    B(CopyArr)        /* (a, index, count): dynamic array */                                               \
    B(PosStr)         /* (sub, s): Integer */                                                              \
    B(DeleteStr)      /* (var s, index, count) */                                                          \
    B(InsertStr)      /* (src, var s, index) */                                                            \
    B(StringOfChar)   /* (c, n): String */                                                                 \
    B(UpCase)         /* (c): Char */                                                                      \
    B(IntToStr)       /* (i): String */                                                                    \
    B(IntToHex)       /* (i, digits): String */                                                            \
    B(IntToHex64)     /* (i, digits): String */                                                            \
    B(StrToInt)       /* (s): Integer */                                                                   \
    B(StrToIntDef)    /* (s, def): Integer */                                                              \
    B(StrToInt64)     /* (s): Int64 */                                                                     \
    B(FloatToStr)     /* (x): String */                                                                    \
    B(StrToFloat)     /* (s): Double */                                                                    \
    B(StrToFloatDef)  /* (s, def): Double */                                                               \
    B(FormatFloat)    /* (fmt, x): String */                                                               \
    B(Format)         /* (fmt, args: array of const): String */                                            \
    B(UpperCase)      /* (s): String */                                                                    \
    B(LowerCase)      /* (s): String */                                                                    \
    B(Trim)           /* (s): String */                                                                    \
    B(TrimLeft)       /* (s): String */                                                                    \
    B(TrimRight)      /* (s): String */                                                                    \
    B(CompareStr)     /* (a, b): Integer */                                                                \
    B(CompareText)    /* (a, b): Integer */                                                                \
    B(SameText)       /* (a, b): Boolean */                                                                \
    B(QuotedStr)      /* (s): String */                                                                    \
    B(StringReplace)  /* (s, old, new, flags set): String */                                               \
    B(BoolToStr)      /* (b, useBoolStrs): String */                                                       \
    B(ValInt)         /* (s, var v: Integer cell, var code) */                                             \
    B(ValInt64)       /* (s, var v: Int64 cell, var code) */                                               \
    B(ValReal)        /* (s, var v: Double cell, var code) */                                              \
    B(StrInt)         /* (i, width, var s) */                                                              \
    B(StrReal)        /* (x, width, decimals, var s) */                                                    \
    B(Sqrt) B(Sin) B(Cos) B(ArcTan) B(Exp) B(Ln) B(AbsF) B(AbsI) B(AbsL)                                   \
    B(Trunc) B(Round) B(Int) B(Frac)                                                                       \
    B(Random)         /* (n): Integer */                                                                   \
    B(RandomReal)     /* (): Double */                                                                     \
    B(Randomize)                                                                                           \
    B(Now) B(Date) B(Time)                                                                                 \
    B(EncodeDate)     /* (y, m, d): TDateTime */                                                           \
    B(EncodeTime)     /* (h, n, s, ms): TDateTime */                                                       \
    B(DecodeDate)     /* (dt, var y, var m, var d: Word) */                                                \
    B(DecodeTime)     /* (dt, var h, var n, var s, var ms: Word) */                                        \
    B(DayOfWeek)      /* (dt): Integer */                                                                  \
    B(DateToStr) B(TimeToStr) B(DateTimeToStr)                                                             \
    B(FormatDateTime) /* (fmt, dt): String */                                                              \
    B(Sleep)          /* (ms) */                                                                           \
    B(GetTickCount)   /* (): Cardinal */                                                                   \
    B(VarType)        /* (v): Integer */                                                                   \
    B(VarIsNull)      /* (v): Boolean */                                                                   \
    B(VarIsEmpty)     /* (v): Boolean */                                                                   \
    B(Null)           /* (): Variant */                                                                    \
    B(Unassigned)     /* (): Variant */

namespace novrix::engine::vm {

enum class Builtin : uint32_t {
#define NOVRIX_BUILTIN_ENUM(name) name,
    NOVRIX_BUILTINS(NOVRIX_BUILTIN_ENUM)
#undef NOVRIX_BUILTIN_ENUM
        Count
};

struct BuiltinEntry {
    const char* name;
    BuiltinFn fn;
};

extern const BuiltinEntry kBuiltins[];

} // namespace novrix::engine::vm
