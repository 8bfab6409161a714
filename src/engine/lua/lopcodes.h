// Instruction set of the virtual machine: 32-bit instructions with a 6-bit
// opcode and the operand layouts iABC, iABx, iAsBx and iAx. The table
// LUA_OPCODES is the single source of opcode names, operand modes and (in
// the virtual machine) dispatch.
#pragma once
#include "llimits.h"

enum OpMode { iABC, iABx, iAsBx, iAx };

#define SIZE_C 9
#define SIZE_B 9
#define SIZE_Bx (SIZE_C + SIZE_B)
#define SIZE_A 8
#define SIZE_Ax (SIZE_C + SIZE_B + SIZE_A)
#define SIZE_OP 6
#define POS_OP 0
#define POS_A (POS_OP + SIZE_OP)
#define POS_C (POS_A + SIZE_A)
#define POS_B (POS_C + SIZE_C)
#define POS_Bx POS_C
#define POS_Ax POS_A

#define MAXARG_Bx ((1 << SIZE_Bx) - 1)
#define MAXARG_sBx (MAXARG_Bx >> 1)
#define MAXARG_Ax ((1 << SIZE_Ax) - 1)
#define MAXARG_A ((1 << SIZE_A) - 1)
#define MAXARG_B ((1 << SIZE_B) - 1)
#define MAXARG_C ((1 << SIZE_C) - 1)

#define MASK1(n, p) ((~((~(Instruction)0) << (n))) << (p))
#define MASK0(n, p) (~MASK1(n, p))

inline int getarg(Instruction i, int pos, int size) { return cast_int((i >> pos) & MASK1(size, 0)); }
inline void setarg(Instruction& i, int v, int pos, int size)
{
    i = (i & MASK0(size, pos)) | ((cast(Instruction, v) << pos) & MASK1(size, pos));
}

#define GET_OPCODE(i) (cast(OpCode, luaP_opbase.v[((i) >> POS_OP) & MASK1(SIZE_OP, 0)]))
// The opcode field as it stands: a base opcode or a variant.
#define GET_RAWOP(i) (cast(int, ((i) >> POS_OP) & MASK1(SIZE_OP, 0)))
#define SET_OPCODE(i, o) setarg(i, o, POS_OP, SIZE_OP)
#define GETARG_A(i) getarg(i, POS_A, SIZE_A)
#define SETARG_A(i, v) setarg(i, v, POS_A, SIZE_A)
#define GETARG_B(i) getarg(i, POS_B, SIZE_B)
#define SETARG_B(i, v) setarg(i, v, POS_B, SIZE_B)
#define GETARG_C(i) getarg(i, POS_C, SIZE_C)
#define SETARG_C(i, v) setarg(i, v, POS_C, SIZE_C)
#define GETARG_Bx(i) getarg(i, POS_Bx, SIZE_Bx)
#define SETARG_Bx(i, v) setarg(i, v, POS_Bx, SIZE_Bx)
#define GETARG_Ax(i) getarg(i, POS_Ax, SIZE_Ax)
#define SETARG_Ax(i, v) setarg(i, v, POS_Ax, SIZE_Ax)
#define GETARG_sBx(i) (GETARG_Bx(i) - MAXARG_sBx)
#define SETARG_sBx(i, b) SETARG_Bx((i), cast(unsigned int, (b) + MAXARG_sBx))

#define CREATE_ABC(o, a, b, c) \
    ((cast(Instruction, o) << POS_OP) | (cast(Instruction, a) << POS_A) | \
     (cast(Instruction, b) << POS_B) | (cast(Instruction, c) << POS_C))
#define CREATE_ABx(o, a, bc) \
    ((cast(Instruction, o) << POS_OP) | (cast(Instruction, a) << POS_A) | (cast(Instruction, bc) << POS_Bx))
#define CREATE_Ax(o, a) ((cast(Instruction, o) << POS_OP) | (cast(Instruction, a) << POS_Ax))

// RK operands: values 0..255 are registers; with BITRK set, constants.
#define BITRK (1 << (SIZE_B - 1))
#define ISK(x) ((x)&BITRK)
#define INDEXK(r) ((int)(r) & ~BITRK)
#define MAXINDEXRK (BITRK - 1)
#define RKASK(x) ((x) | BITRK)

// Register index meaning "no register".
#define NO_REG MAXARG_A

// Operand kinds: N unused, U used as is, R register or jump offset,
// K constant or register (RK) or constant index.
enum OpArgMask { OpArgN, OpArgU, OpArgR, OpArgK };

// X(name, test-mode, sets-A, B kind, C kind, layout)
// R(A) register, Kst(n) constant, RK(B) register or constant, UpValue[n].
#define LUA_OPCODES(X)                                                                 \
    X(MOVE, 0, 1, OpArgR, OpArgN, iABC)      /* R(A) := R(B) */                        \
    X(LOADK, 0, 1, OpArgK, OpArgN, iABx)     /* R(A) := Kst(Bx) */                     \
    X(LOADKX, 0, 1, OpArgN, OpArgN, iABx)    /* R(A) := Kst(extra arg) */              \
    X(LOADBOOL, 0, 1, OpArgU, OpArgU, iABC)  /* R(A) := (Bool)B; if (C) pc++ */        \
    X(LOADNIL, 0, 1, OpArgU, OpArgN, iABC)   /* R(A), ..., R(A+B) := nil */            \
    X(GETUPVAL, 0, 1, OpArgU, OpArgN, iABC)  /* R(A) := UpValue[B] */                  \
    X(GETTABUP, 0, 1, OpArgU, OpArgK, iABC)  /* R(A) := UpValue[B][RK(C)] */           \
    X(GETTABLE, 0, 1, OpArgR, OpArgK, iABC)  /* R(A) := R(B)[RK(C)] */                 \
    X(SETTABUP, 0, 0, OpArgK, OpArgK, iABC)  /* UpValue[A][RK(B)] := RK(C) */          \
    X(SETUPVAL, 0, 0, OpArgU, OpArgN, iABC)  /* UpValue[B] := R(A) */                  \
    X(SETTABLE, 0, 0, OpArgK, OpArgK, iABC)  /* R(A)[RK(B)] := RK(C) */                \
    X(NEWTABLE, 0, 1, OpArgU, OpArgU, iABC)  /* R(A) := {} (size = B,C) */             \
    X(SELF, 0, 1, OpArgR, OpArgK, iABC)      /* R(A+1) := R(B); R(A) := R(B)[RK(C)] */ \
    X(ADD, 0, 1, OpArgK, OpArgK, iABC)       /* R(A) := RK(B) + RK(C) */               \
    X(SUB, 0, 1, OpArgK, OpArgK, iABC)                                                 \
    X(MUL, 0, 1, OpArgK, OpArgK, iABC)                                                 \
    X(DIV, 0, 1, OpArgK, OpArgK, iABC)                                                 \
    X(MOD, 0, 1, OpArgK, OpArgK, iABC)                                                 \
    X(POW, 0, 1, OpArgK, OpArgK, iABC)                                                 \
    X(UNM, 0, 1, OpArgR, OpArgN, iABC)       /* R(A) := -R(B) */                       \
    X(NOT, 0, 1, OpArgR, OpArgN, iABC)       /* R(A) := not R(B) */                    \
    X(LEN, 0, 1, OpArgR, OpArgN, iABC)       /* R(A) := length of R(B) */              \
    X(CONCAT, 0, 1, OpArgR, OpArgR, iABC)    /* R(A) := R(B).. ... ..R(C) */           \
    X(JMP, 0, 0, OpArgR, OpArgN, iAsBx)      /* pc+=sBx; if (A) close upvalues >= A-1 */ \
    X(EQ, 1, 0, OpArgK, OpArgK, iABC)        /* if ((RK(B) == RK(C)) ~= A) then pc++ */ \
    X(LT, 1, 0, OpArgK, OpArgK, iABC)                                                  \
    X(LE, 1, 0, OpArgK, OpArgK, iABC)                                                  \
    X(TEST, 1, 0, OpArgN, OpArgU, iABC)      /* if not (R(A) <=> C) then pc++ */       \
    X(TESTSET, 1, 1, OpArgR, OpArgU, iABC)   /* if (R(B) <=> C) then R(A) := R(B) else pc++ */ \
    X(CALL, 0, 1, OpArgU, OpArgU, iABC)      /* R(A), ... ,R(A+C-2) := R(A)(R(A+1), ... ,R(A+B-1)) */ \
    X(TAILCALL, 0, 1, OpArgU, OpArgU, iABC)  /* return R(A)(R(A+1), ... ,R(A+B-1)) */  \
    X(RETURN, 0, 0, OpArgU, OpArgN, iABC)    /* return R(A), ... ,R(A+B-2) */          \
    X(FORLOOP, 0, 1, OpArgR, OpArgN, iAsBx)  /* R(A)+=R(A+2); if R(A) <?= R(A+1) then { pc+=sBx; R(A+3)=R(A) } */ \
    X(FORPREP, 0, 1, OpArgR, OpArgN, iAsBx)  /* R(A)-=R(A+2); pc+=sBx */               \
    X(TFORCALL, 0, 0, OpArgN, OpArgU, iABC)  /* R(A+3), ... ,R(A+2+C) := R(A)(R(A+1), R(A+2)) */ \
    X(TFORLOOP, 0, 1, OpArgR, OpArgN, iAsBx) /* if R(A+1) ~= nil then { R(A)=R(A+1); pc += sBx } */ \
    X(SETLIST, 0, 0, OpArgU, OpArgU, iABC)   /* R(A)[(C-1)*FPF+i] := R(A+i), 1 <= i <= B */ \
    X(CLOSURE, 0, 1, OpArgU, OpArgN, iABx)   /* R(A) := closure(KPROTO[Bx]) */         \
    X(VARARG, 0, 1, OpArgU, OpArgN, iABC)    /* R(A), R(A+1), ..., R(A+B-2) = vararg */ \
    X(EXTRAARG, 0, 0, OpArgU, OpArgU, iAx)   /* extra (larger) argument for previous opcode */

// Variants the virtual machine runs in place of a base opcode when the kind
// of an operand is fixed once the function is compiled: _RR both operands
// registers, _RN B a register and C a number constant, _NR the reverse
// (B a number constant and C a register), _S the key a
// short-string constant. A finished prototype has them written over the
// base opcode; every other reader of instructions goes through GET_OPCODE,
// which gives the base, so listings, debug information and the compiler
// see only base opcodes.
// The last four head a run of instructions the machine may run as one
// when no hook falls inside the run (each still counts as its own
// instruction); otherwise they run as the first instruction alone, a _S
// field read: _2 two reads of one table into two registers, _CMP a read
// and a comparison of it with a number constant (and the same run again
// when the comparison falls through to it), _UPD 't.k = t.k +- t.k2'
// (read, read, ADD or SUB, write back).
// X(variant, base)
#define LUA_OPVARIANTS(X)                                                       \
    X(ADD_RR, ADD) X(SUB_RR, SUB) X(MUL_RR, MUL) X(DIV_RR, DIV) X(MOD_RR, MOD)  \
    X(ADD_RN, ADD) X(SUB_RN, SUB) X(MUL_RN, MUL) X(DIV_RN, DIV) X(MOD_RN, MOD)  \
    X(EQ_RN, EQ) X(LT_RN, LT) X(LE_RN, LE) X(LT_NR, LT) X(LE_NR, LE)            \
    X(GETTABUP_S, GETTABUP) X(GETTABLE_S, GETTABLE) X(SETTABUP_S, SETTABUP)     \
    X(SETTABLE_S, SETTABLE) X(SELF_S, SELF)                                     \
    X(GETTABUP_2, GETTABUP) X(GETTABLE_2, GETTABLE) X(GETTABLE_CMP, GETTABLE)   \
    X(GETTABLE_UPD, GETTABLE)

enum OpCode {
#define LUA_OPENUM(name, t, a, b, c, m) OP_##name,
    LUA_OPCODES(LUA_OPENUM)
#undef LUA_OPENUM
#define LUA_OPVARENUM(name, base) OP_##name,
    LUA_OPVARIANTS(LUA_OPVARENUM)
#undef LUA_OPVARENUM
    OP_END_
};
#define NUM_OPCODES (cast(int, OP_EXTRAARG) + 1)
#define NUM_OPVARIANTS (cast(int, OP_END_) - NUM_OPCODES)
static_assert(int(OP_END_) <= (1 << SIZE_OP), "variants share the opcode field");

// Base opcode of every value of the opcode field (a base opcode maps to
// itself; values no instruction has map to EXTRAARG).
struct OpBaseTable {
    lu_byte v[1 << SIZE_OP];
};
constexpr OpBaseTable luaP_makeopbase()
{
    OpBaseTable t{};
    for (int o = 0; o < (1 << SIZE_OP); o++) t.v[o] = lu_byte(o < NUM_OPCODES ? o : int(OP_EXTRAARG));
    int o = NUM_OPCODES;
#define LUA_OPVARBASE(name, base) t.v[o++] = lu_byte(OP_##base);
    LUA_OPVARIANTS(LUA_OPVARBASE)
#undef LUA_OPVARBASE
    return t;
}
inline constexpr OpBaseTable luaP_opbase = luaP_makeopbase();

extern const char* const luaP_opnames[NUM_OPCODES + 1];
extern const lu_byte luaP_opmodes[NUM_OPCODES];

// Writes opcode variants over a finished prototype's base opcodes.
struct Proto;
void luaP_usevariants(Proto* p);

inline OpMode getOpMode(OpCode m) { return cast(OpMode, luaP_opmodes[m] & 3); }
inline OpArgMask getBMode(OpCode m) { return cast(OpArgMask, (luaP_opmodes[m] >> 4) & 3); }
inline OpArgMask getCMode(OpCode m) { return cast(OpArgMask, (luaP_opmodes[m] >> 2) & 3); }
inline bool testAMode(OpCode m) { return (luaP_opmodes[m] & (1 << 6)) != 0; }
inline bool testTMode(OpCode m) { return (luaP_opmodes[m] & (1 << 7)) != 0; }

// Number of list items to accumulate before a SETLIST instruction.
#define LFIELDS_PER_FLUSH 50
