#pragma once
// The VM's instruction set, in one list: the enum, the names, the operand counts, the disassembler and
// the dispatch table are all generated from it. Note that the order here is the order of the dispatch table.
//
// An instruction is one opcode word followed by its operand words. R[x] is slot x of the current frame,
// G[x] slot x of the globals, K an index into a constant table, T an index into the type-description table,
// L a code address. "ref" cells hold reference-counted objects (strings, dynamic arrays, variants,
// exceptions): storing into them releases the old value.

#include <cstdint>

#define NOVRIX_OPCODES(OP)                                                                                 \
    /* moves and constants */                                                                              \
    OP(Mov, 2, "R[A] := R[B]")                                                                             \
    OP(MovRef, 2, "R[A] := R[B] (ref, retained)")                                                          \
    OP(MovOwn, 2, "R[A] := R[B] (ref, ownership moves; R[B] := nil)")                                      \
    OP(MovComp, 3, "R[A..] := R[B..] (composite of type T=C)")                                             \
    OP(InitRef, 2, "R[A] := R[B] (ref, retained; R[A] held nothing)")                                      \
    OP(InitOwn, 2, "R[A] := R[B] (ref moves; R[A] held nothing; R[B] := nil)")                             \
    OP(InitComp, 3, "R[A..] := R[B..] (composite of type T=C, retained; R[A..] held nothing)")             \
    OP(LoadInt, 3, "R[A].i := int64(B | C << 32)")                                                         \
    OP(LoadReal, 2, "R[A].d := realK[B]")                                                                  \
    OP(LoadStr, 2, "R[A] := strK[B] (ref)")                                                                \
    OP(LoadNil, 1, "R[A] := nil (ref released)")                                                           \
    OP(Zero, 2, "R[A..A+B-1] := 0 (plain cells)")                                                          \
    OP(ClearComp, 2, "release composite R[A..] of type T=B and zero it")                                   \
    /* globals, outer frames, pointers */                                                                  \
    OP(AddrLocal, 2, "R[A].p := @R[B]")                                                                    \
    OP(AddrGlobal, 2, "R[A].p := @G[B]")                                                                   \
    OP(AddrOuter, 3, "R[A].p := @R'[C] of the frame B static links up")                                    \
    OP(LoadHost, 2, "R[A] := host string variable B (ref)")                                                 \
    OP(StoreHost, 2, "host string variable A := R[B]")                                                     \
    OP(LoadGlobal, 2, "R[A] := G[B]")                                                                      \
    OP(LoadGlobalRef, 2, "R[A] := G[B] (ref)")                                                             \
    OP(StoreGlobal, 2, "G[A] := R[B]")                                                                     \
    OP(StoreGlobalRef, 2, "G[A] := R[B] (ref)")                                                            \
    OP(LoadPtr, 3, "R[A] := P[C] where P = R[B].p")                                                        \
    OP(LoadPtrRef, 3, "R[A] := P[C] (ref)")                                                                \
    OP(LoadPtrComp, 4, "R[A..] := P[C..] (composite of type T=D)")                                         \
    OP(StorePtr, 3, "P[B] := R[C] where P = R[A].p")                                                       \
    OP(StorePtrRef, 3, "P[B] := R[C] (ref)")                                                               \
    OP(StorePtrComp, 4, "P[B..] := R[C..] (composite of type T=D)")                                        \
    OP(PtrAdd, 3, "R[A].p := R[B].p + C cells")                                                            \
    OP(IndexPtr, 6, "R[A].p := R[B].p + (R[C].i - D) * F, checked 0 <= R[C].i - D < E")                    \
    OP(IndexDyn, 4, "R[A].p := @dynarray(R[B])[R[C].i * D], checked")                                      \
    OP(IndexOpen, 4, "R[A].p := R[B].p + R[C].i * D, checked against High in R[B+1]")                      \
    OP(LoadElem, 5, "R[A] := R[B + R[C].i - D], checked 0 <= R[C].i - D < E")                              \
    OP(StoreElem, 5, "R[A + R[B].i - C] := R[E], checked 0 <= R[B].i - C < D")                             \
    OP(LoadPtrElem, 5, "R[A] := P[R[C].i - D] where P = R[B].p, checked 0 <= R[C].i - D < E")              \
    OP(StorePtrElem, 5, "P[R[B].i - C] := R[E] where P = R[A].p, checked 0 <= R[B].i - C < D")             \
    OP(LoadDyn, 3, "R[A] := dynarray(R[B])[R[C].i] (one-cell plain elements), checked")                    \
    OP(StoreDyn, 3, "dynarray(R[A])[R[B].i] := R[C] (one-cell plain elements), checked")                   \
    /* integer arithmetic: 32-bit signed (I), 32-bit unsigned (U), 64-bit (L) */                           \
    OP(AddI, 3, "R[A] := int32(R[B] + R[C])")                                                              \
    OP(SubI, 3, "R[A] := int32(R[B] - R[C])")                                                              \
    OP(MulI, 3, "R[A] := int32(R[B] * R[C])")                                                              \
    OP(DivI, 3, "R[A] := int32(R[B] div R[C])")                                                            \
    OP(ModI, 3, "R[A] := int32(R[B] mod R[C])")                                                            \
    OP(AddIK, 3, "R[A] := int32(R[B] + int32(C))")                                                         \
    OP(AddU, 3, "R[A] := uint32(R[B] + R[C])")                                                             \
    OP(SubU, 3, "R[A] := uint32(R[B] - R[C])")                                                             \
    OP(MulU, 3, "R[A] := uint32(R[B] * R[C])")                                                             \
    OP(DivU, 3, "R[A] := uint32(R[B]) div uint32(R[C])")                                                   \
    OP(ModU, 3, "R[A] := uint32(R[B]) mod uint32(R[C])")                                                   \
    OP(AddL, 3, "R[A] := R[B] + R[C]")                                                                     \
    OP(SubL, 3, "R[A] := R[B] - R[C]")                                                                     \
    OP(MulL, 3, "R[A] := R[B] * R[C]")                                                                     \
    OP(DivL, 3, "R[A] := R[B] div R[C]")                                                                   \
    OP(ModL, 3, "R[A] := R[B] mod R[C]")                                                                   \
    OP(AddLK, 3, "R[A] := R[B] + int32(C)")                                                                \
    OP(NegI, 2, "R[A] := int32(-R[B])")                                                                    \
    OP(NegL, 2, "R[A] := -R[B]")                                                                           \
    OP(And, 3, "R[A] := R[B] and R[C] (bitwise)")                                                          \
    OP(Or, 3, "R[A] := R[B] or R[C] (bitwise)")                                                            \
    OP(Xor, 3, "R[A] := R[B] xor R[C] (bitwise)")                                                          \
    OP(NotI, 2, "R[A] := int32(not R[B])")                                                                 \
    OP(NotU, 2, "R[A] := uint32(not R[B])")                                                                \
    OP(NotL, 2, "R[A] := not R[B]")                                                                        \
    OP(NotB, 2, "R[A] := not Boolean(R[B])")                                                               \
    OP(ShlI, 3, "R[A] := int32(R[B] shl (R[C] and 31))")                                                   \
    OP(ShrI, 3, "R[A] := int32(uint32(R[B]) shr (R[C] and 31))")                                           \
    OP(ShlL, 3, "R[A] := R[B] shl (R[C] and 63)")                                                          \
    OP(ShrL, 3, "R[A] := uint64(R[B]) shr (R[C] and 63)")                                                  \
    OP(Trunc, 3, "R[A] := R[B] truncated to width C (0 u8, 1 s8, 2 u16, 3 s16, 4 s32, 5 u32)")            \
    OP(CheckRange, 3, "raise Out Of Range unless B <= R[A].i <= C")                                        \
    /* reals */                                                                                            \
    OP(AddF, 3, "R[A].d := R[B].d + R[C].d")                                                               \
    OP(SubF, 3, "R[A].d := R[B].d - R[C].d")                                                               \
    OP(MulF, 3, "R[A].d := R[B].d * R[C].d")                                                               \
    OP(DivF, 3, "R[A].d := R[B].d / R[C].d (zero divisor raises)")                                         \
    OP(NegF, 2, "R[A].d := -R[B].d")                                                                       \
    OP(IntToF, 2, "R[A].d := R[B].i")                                                                      \
    OP(ToSingle, 2, "R[A].d := float(R[B].d)")                                                             \
    /* comparisons to Boolean */                                                                           \
    OP(EqI, 3, "R[A] := R[B].i = R[C].i")                                                                  \
    OP(NeI, 3, "R[A] := R[B].i <> R[C].i")                                                                 \
    OP(LtI, 3, "R[A] := R[B].i < R[C].i")                                                                  \
    OP(LeI, 3, "R[A] := R[B].i <= R[C].i")                                                                 \
    OP(EqF, 3, "R[A] := R[B].d = R[C].d")                                                                  \
    OP(NeF, 3, "R[A] := R[B].d <> R[C].d")                                                                 \
    OP(LtF, 3, "R[A] := R[B].d < R[C].d")                                                                  \
    OP(LeF, 3, "R[A] := R[B].d <= R[C].d")                                                                 \
    OP(CmpS, 4, "R[A] := compare(str R[B], str R[C]) satisfies relation D (0 = 1 <> 2 < 3 <= 4 > 5 >=)")   \
    /* jumps */                                                                                            \
    OP(Jump, 1, "goto A")                                                                                  \
    OP(JumpIfTrue, 2, "if R[A] then goto B")                                                               \
    OP(JumpIfFalse, 2, "if not R[A] then goto B")                                                          \
    OP(JumpLtI, 3, "if R[A].i < R[B].i then goto C")                                                       \
    OP(JumpLeI, 3, "if R[A].i <= R[B].i then goto C")                                                      \
    OP(JumpEqI, 3, "if R[A].i = R[B].i then goto C")                                                       \
    OP(JumpNeI, 3, "if R[A].i <> R[B].i then goto C")                                                      \
    OP(JumpGeI, 3, "if R[A].i >= R[B].i then goto C")                                                      \
    OP(JumpGtI, 3, "if R[A].i > R[B].i then goto C")                                                       \
    OP(JumpLtIK, 3, "if R[A].i < int32(B) then goto C")                                                    \
    OP(JumpLeIK, 3, "if R[A].i <= int32(B) then goto C")                                                   \
    OP(JumpEqIK, 3, "if R[A].i = int32(B) then goto C")                                                    \
    OP(JumpNeIK, 3, "if R[A].i <> int32(B) then goto C")                                                   \
    OP(JumpGeIK, 3, "if R[A].i >= int32(B) then goto C")                                                   \
    OP(JumpGtIK, 3, "if R[A].i > int32(B) then goto C")                                                    \
    OP(JumpLtF, 3, "if R[A].d < R[B].d then goto C")                                                       \
    OP(JumpLeF, 3, "if R[A].d <= R[B].d then goto C")                                                      \
    OP(JumpGeF, 3, "if not (R[A].d < R[B].d) then goto C")                                                 \
    OP(JumpGtF, 3, "if not (R[A].d <= R[B].d) then goto C")                                                \
    OP(ForUp, 3, "if R[A].i < R[B].i then R[A] := R[A] + 1, goto C")                                       \
    OP(ForDown, 3, "if R[A].i > R[B].i then R[A] := R[A] - 1, goto C")                                     \
    /* strings and chars */                                                                                \
    OP(Concat, 3, "R[A] := str R[B] + str R[C]")                                                           \
    OP(Append, 2, "str R[A] := str R[A] + str R[B], in place when unshared")                               \
    OP(AppendChar, 2, "str R[A] := str R[A] + char R[B]")                                                  \
    OP(CharToStr, 2, "R[A] := string of char R[B]")                                                        \
    OP(StrLen, 2, "R[A] := Length(str R[B])")                                                              \
    OP(StrChar, 3, "R[A] := ord(str R[B][R[C]]), index checked")                                           \
    OP(StrSetChar, 3, "str P^[R[B]] := char R[C] where P = R[A].p, made unshared, index checked")          \
    /* sets (four cells, 256 members) */                                                                   \
    OP(SetIncl, 2, "include R[B] in set R[A]")                                                             \
    OP(SetExcl, 2, "exclude R[B] from set R[A]")                                                           \
    OP(SetInclRange, 3, "include R[B]..R[C] in set R[A]")                                                  \
    OP(SetIn, 3, "R[A] := R[B] in set R[C]")                                                               \
    OP(SetUnion, 3, "set R[A] := R[B] + R[C]")                                                             \
    OP(SetDiff, 3, "set R[A] := R[B] - R[C]")                                                              \
    OP(SetInter, 3, "set R[A] := R[B] * R[C]")                                                             \
    OP(SetEq, 3, "R[A] := set R[B] = set R[C]")                                                            \
    OP(SetLe, 3, "R[A] := set R[B] <= set R[C]")                                                           \
    /* dynamic arrays */                                                                                   \
    OP(ArrSetLen, 3, "SetLength(array P^, R[B]) with element type T=C, P = R[A].p")                        \
    OP(StrSetLen, 2, "SetLength(string P^, R[B]), P = R[A].p")                                             \
    OP(ArrLen, 2, "R[A] := Length(array R[B])")                                                            \
    OP(MakeOpen, 3, "R[A].p, R[A+1].i := elements and High of dynamic array R[B] (C unused)")              \
    OP(NewArray, 3, "R[A] := new dynamic array of R[B] elements, element type T=C")                        \
    /* calls */                                                                                            \
    OP(Call, 2, "call routine A with its frame at R[B]")                                                   \
    OP(CallBuiltin, 2, "builtin A with result and arguments at R[B..]")                                    \
    OP(CallNative, 2, "host routine A with result and arguments at R[B..]")                                \
    OP(Return, 0, "return from the routine")                                                               \
    OP(Halt, 0, "end the run")                                                                             \
    /* exceptions */                                                                                       \
    OP(NewExc, 3, "R[A] := new exception of class B with message str R[C]")                                \
    OP(Raise, 1, "raise the exception in R[A]")                                                            \
    OP(Reraise, 1, "raise again the exception held in R[A]")                                               \
    OP(ExcIs, 3, "R[A] := exception R[B] is of class C or a descendant")                                   \
    OP(ExcMessage, 2, "R[A] := message of exception R[B]")                                                 \
    OP(ExcClassName, 2, "R[A] := class name of exception R[B]")                                            \
    OP(SetFinally, 2, "R[A].i := B (where the finally block goes on)")                                     \
    OP(EndFinally, 1, "end of a finally block: go to R[A].i, or raise R[A+1] again when R[A].i = -1")      \
    /* variants */                                                                                         \
    OP(VarOp, 4, "R[A] := variant R[B] op(D) variant R[C]")                                                \
    OP(ToVar, 3, "R[A] := variant of R[B] holding kind C")                                                 \
    OP(FromVar, 3, "R[A] := R[B] converted to kind C")                                                     \
    /* console */                                                                                          \
    OP(Write, 4, "write R[A] of kind B, width R[C] (-1 none), decimals R[D] (-1 none)")                    \
    OP(WriteLn, 0, "write a line end")                                                                     \
    /* debugging */                                                                                        \
    OP(Break, 0, "breakpoint: the original instruction is kept aside")

namespace novrix::engine::vm {

enum class Op : uint32_t {
#define NOVRIX_OP_ENUM(name, n, meaning) name,
    NOVRIX_OPCODES(NOVRIX_OP_ENUM)
#undef NOVRIX_OP_ENUM
        Count
};

struct OpInfo {
    const char* name;
    int operands;
    const char* meaning;
};

inline constexpr OpInfo kOpInfo[] = {
#define NOVRIX_OP_INFO(name, n, meaning) {#name, n, meaning},
    NOVRIX_OPCODES(NOVRIX_OP_INFO)
#undef NOVRIX_OP_INFO
};

inline int opOperands(Op op) { return kOpInfo[uint32_t(op)].operands; }

// Value kinds named by Write, ToVar and FromVar.
enum class ValKind : uint32_t { Integer, Int64, Cardinal, Real, Boolean, Char, String, Variant, Date, Single };

// Relations of CmpS and VarOp comparisons.
enum class Rel : uint32_t { Eq, Ne, Lt, Le, Gt, Ge };

// Variant operations of VarOp (comparisons are 100 + Rel).
enum class VarOpKind : uint32_t { Add, Sub, Mul, RealDiv, IntDiv, Mod, And, Or, Xor, Neg, Not, Cmp = 100 };

} // namespace novrix::engine::vm
