// The 40 instructions of the virtual machine and their encoding.
// Layout of a 32-bit instruction: OP 6 bits at 0, A 8 bits at 6, C 9 bits
// at 14, B 9 bits at 23; Bx (18 bits) and sBx (Bx - MAXARG_sBx) overlay B:C;
// Ax (26 bits) overlays A:B:C. An RK operand with bit 8 set names a constant.
#pragma once
#include "engine/lua/object.h"

enum OpArgMask { OpArgN, OpArgU, OpArgR, OpArgK };  // unused, used, register/jump, constant/register
enum OpMode { iABC, iABx, iAsBx, iAx };

// X(name, T: is a test, A: sets register A, B mode, C mode, format)
#define LUA_OPCODES(X)                          \
    X(MOVE, 0, 1, OpArgR, OpArgN, iABC)         \
    X(LOADK, 0, 1, OpArgK, OpArgN, iABx)        \
    X(LOADKX, 0, 1, OpArgN, OpArgN, iABx)       \
    X(LOADBOOL, 0, 1, OpArgU, OpArgU, iABC)     \
    X(LOADNIL, 0, 1, OpArgU, OpArgN, iABC)      \
    X(GETUPVAL, 0, 1, OpArgU, OpArgN, iABC)     \
    X(GETTABUP, 0, 1, OpArgU, OpArgK, iABC)     \
    X(GETTABLE, 0, 1, OpArgR, OpArgK, iABC)     \
    X(SETTABUP, 0, 0, OpArgK, OpArgK, iABC)     \
    X(SETUPVAL, 0, 0, OpArgU, OpArgN, iABC)     \
    X(SETTABLE, 0, 0, OpArgK, OpArgK, iABC)     \
    X(NEWTABLE, 0, 1, OpArgU, OpArgU, iABC)     \
    X(SELF, 0, 1, OpArgR, OpArgK, iABC)         \
    X(ADD, 0, 1, OpArgK, OpArgK, iABC)          \
    X(SUB, 0, 1, OpArgK, OpArgK, iABC)          \
    X(MUL, 0, 1, OpArgK, OpArgK, iABC)          \
    X(DIV, 0, 1, OpArgK, OpArgK, iABC)          \
    X(MOD, 0, 1, OpArgK, OpArgK, iABC)          \
    X(POW, 0, 1, OpArgK, OpArgK, iABC)          \
    X(UNM, 0, 1, OpArgR, OpArgN, iABC)          \
    X(NOT, 0, 1, OpArgR, OpArgN, iABC)          \
    X(LEN, 0, 1, OpArgR, OpArgN, iABC)          \
    X(CONCAT, 0, 1, OpArgR, OpArgR, iABC)       \
    X(JMP, 0, 0, OpArgR, OpArgN, iAsBx)         \
    X(EQ, 1, 0, OpArgK, OpArgK, iABC)           \
    X(LT, 1, 0, OpArgK, OpArgK, iABC)           \
    X(LE, 1, 0, OpArgK, OpArgK, iABC)           \
    X(TEST, 1, 0, OpArgN, OpArgU, iABC)         \
    X(TESTSET, 1, 1, OpArgR, OpArgU, iABC)      \
    X(CALL, 0, 1, OpArgU, OpArgU, iABC)         \
    X(TAILCALL, 0, 1, OpArgU, OpArgU, iABC)     \
    X(RETURN, 0, 0, OpArgU, OpArgN, iABC)       \
    X(FORLOOP, 0, 1, OpArgR, OpArgN, iAsBx)     \
    X(FORPREP, 0, 1, OpArgR, OpArgN, iAsBx)     \
    X(TFORCALL, 0, 0, OpArgN, OpArgU, iABC)     \
    X(TFORLOOP, 0, 1, OpArgR, OpArgN, iAsBx)    \
    X(SETLIST, 0, 0, OpArgU, OpArgU, iABC)      \
    X(CLOSURE, 0, 1, OpArgU, OpArgN, iABx)      \
    X(VARARG, 0, 1, OpArgU, OpArgN, iABC)       \
    X(EXTRAARG, 0, 0, OpArgU, OpArgU, iAx)

enum OpCode {
#define LUA_OPCODE_ENUM(name, t, a, b, c, m) OP_##name,
    LUA_OPCODES(LUA_OPCODE_ENUM)
#undef LUA_OPCODE_ENUM
};
constexpr int NUM_OPCODES = int(OP_EXTRAARG) + 1;

struct OpInfo {
    const char* name;
    lu_byte testT, setA, bmode, cmode, mode;
};
inline constexpr OpInfo luaP_opinfo[NUM_OPCODES] = {
#define LUA_OPCODE_INFO(name, t, a, b, c, m) {#name, t, a, b, c, m},
    LUA_OPCODES(LUA_OPCODE_INFO)
#undef LUA_OPCODE_INFO
};
#define getOpMode(m) (OpMode(luaP_opinfo[m].mode))
#define getBMode(m) (OpArgMask(luaP_opinfo[m].bmode))
#define getCMode(m) (OpArgMask(luaP_opinfo[m].cmode))
#define testAMode(m) (luaP_opinfo[m].setA)
#define testTMode(m) (luaP_opinfo[m].testT)

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

#define MASK1(n, p) ((~((~Instruction(0)) << (n))) << (p))
#define GET_OPCODE(i) (OpCode(((i) >> POS_OP) & MASK1(SIZE_OP, 0)))
#define getarg(i, pos, size) (int(((i) >> (pos)) & MASK1(size, 0)))
#define GETARG_A(i) getarg(i, POS_A, SIZE_A)
#define GETARG_B(i) getarg(i, POS_B, SIZE_B)
#define GETARG_C(i) getarg(i, POS_C, SIZE_C)
#define GETARG_Bx(i) getarg(i, POS_Bx, SIZE_Bx)
#define GETARG_Ax(i) getarg(i, POS_Ax, SIZE_Ax)
#define GETARG_sBx(i) (GETARG_Bx(i) - MAXARG_sBx)
#define CREATE_ABC(o, a, b, c) \
    ((Instruction(o) << POS_OP) | (Instruction(a) << POS_A) | (Instruction(b) << POS_B) | (Instruction(c) << POS_C))
#define CREATE_ABx(o, a, bc) ((Instruction(o) << POS_OP) | (Instruction(a) << POS_A) | (Instruction(bc) << POS_Bx))
#define CREATE_Ax(o, a) ((Instruction(o) << POS_OP) | (Instruction(a) << POS_Ax))

#define BITRK (1 << (SIZE_B - 1))
#define ISK(x) ((x)&BITRK)
#define INDEXK(r) (int(r) & ~BITRK)
#define RKASK(x) ((x) | BITRK)
#define LFIELDS_PER_FLUSH 50
