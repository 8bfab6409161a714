// Opcode variants for a finished prototype. Which operands are registers and
// which constants are numbers or short strings never changes after
// compilation, so the tests the virtual machine would repeat on every run of
// an instruction are made once here, by writing a variant's opcode over the
// base one. Operands are left as they are.
#include "engine/lua/internal.h"

static bool isnumk(const Proto* p, int rk) { return ISK(rk) && ttisnumber(&p->k[INDEXK(rk)]); }
static bool isstrk(const Proto* p, int rk) { return ISK(rk) && ttisshrstring(&p->k[INDEXK(rk)]); }

// The variant for one instruction, or -1 to keep the base opcode.
static int variant(const Proto* p, Instruction i)
{
    OpCode op = GET_OPCODE(i);
    int b = GETARG_B(i);
    int c = GETARG_C(i);
    switch (op) {
    case OP_ADD: case OP_SUB: case OP_MUL: case OP_DIV: case OP_MOD:
        if (ISK(b)) return -1;
        if (!ISK(c)) return OP_ADD_RR + (op - OP_ADD);
        return isnumk(p, c) ? OP_ADD_RN + (op - OP_ADD) : -1;
    case OP_EQ: case OP_LT: case OP_LE:
        if (!ISK(b) && isnumk(p, c)) return OP_EQ_RN + (op - OP_EQ);
        if (op != OP_EQ && isnumk(p, b) && !ISK(c)) return op == OP_LT ? OP_LT_NR : OP_LE_NR;
        return -1;
    case OP_GETTABUP: return isstrk(p, c) ? OP_GETTABUP_S : -1;
    case OP_GETTABLE: return isstrk(p, c) ? OP_GETTABLE_S : -1;
    case OP_SELF: return isstrk(p, c) ? OP_SELF_S : -1;
    case OP_SETTABUP: return isstrk(p, b) ? OP_SETTABUP_S : -1;
    case OP_SETTABLE: return isstrk(p, b) ? OP_SETTABLE_S : -1;
    default: return -1;
    }
}

// 't.k = t.k + t.k2' (or -) as the compiler emits it after i, j: i and j
// read t's fields into two registers other than t's, the sum goes to i's
// and is written back under i's key.
static bool isupdate(Instruction i, Instruction j, Instruction op, Instruction set)
{
    int a = GETARG_A(i), b = GETARG_A(j), t = GETARG_B(i);
    return (GET_RAWOP(op) == OP_ADD_RR || GET_RAWOP(op) == OP_SUB_RR) && GETARG_A(op) == a && GETARG_B(op) == a &&
           GETARG_C(op) == b && b != a && b != t && GET_RAWOP(set) == OP_SETTABLE_S && GETARG_A(set) == t &&
           GETARG_B(set) == GETARG_C(i) && GETARG_C(set) == a;
}

// The variant heading a run of instructions at pc, or -1. The code already
// carries the single-instruction variants; the instructions after pc do not
// yet carry run variants (the pass goes forward).
static int runvariant(const Proto* p, int pc)
{
    const Instruction* c = p->code + pc;
    int n = p->sizecode - pc;
    Instruction i = c[0];
    if (n < 2) return -1;
    int next = GET_RAWOP(c[1]);
    if (GET_RAWOP(i) == OP_GETTABUP_S) return next == OP_GETTABUP_S && GETARG_B(c[1]) == GETARG_B(i) ? OP_GETTABUP_2 : -1;
    int a = GETARG_A(i);
    if (GET_RAWOP(i) != OP_GETTABLE_S || a == GETARG_B(i)) return -1;  // the first read must leave the table
    if (next == OP_GETTABLE_S && GETARG_B(c[1]) == GETARG_B(i))
        return n >= 4 && isupdate(i, c[1], c[2], c[3]) ? OP_GETTABLE_UPD : OP_GETTABLE_2;
    bool cmp = ((next == OP_EQ_RN || next == OP_LT_RN || next == OP_LE_RN) && GETARG_B(c[1]) == a) ||
               ((next == OP_LT_NR || next == OP_LE_NR) && GETARG_C(c[1]) == a);
    return cmp && n >= 3 && GET_OPCODE(c[2]) == OP_JMP && GETARG_A(c[2]) == 0 ? OP_GETTABLE_CMP : -1;  // the jump closes no upvalues
}

void luaP_usevariants(Proto* p)
{
    static_assert(OP_SUB_RR - OP_ADD_RR == OP_SUB - OP_ADD && OP_MOD_RN - OP_ADD_RN == OP_MOD - OP_ADD &&
                      OP_LE_RN - OP_EQ_RN == OP_LE - OP_EQ,
                  "arithmetic and comparison variants follow their base opcodes' order");
    for (int pc = 0; pc < p->sizecode; pc++) {
        Instruction& i = p->code[pc];  // extra arguments are EXTRAARG words: left alone
        int v = variant(p, i);
        if (v >= 0) SET_OPCODE(i, v);
    }
    for (int pc = 0; pc < p->sizecode; pc++) {
        int v = runvariant(p, pc);
        if (v >= 0) SET_OPCODE(p->code[pc], v);
    }
}
