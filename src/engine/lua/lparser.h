// Parser interface and the data it shares with the code generator.
// Invariants:
// - There is no syntax tree: each construct is compiled as soon as it is read.
//   An expression stays an expdesc (a description of where its value is, or
//   how to get it) until the code generator is told where the value must go.
// - Per function, registers [0, nactvar) are locals and [nactvar, freereg)
//   temporaries, released in stack order.
// - Dyndata's three stacks (active locals, pending gotos, labels) span all
//   nested functions of a chunk; each FuncState/BlockCnt records its base.
#pragma once
#include "llex.h"
#include "lobject.h"
#include "lzio.h"

enum expkind {
    VVOID,       // no value at all: an empty list, or a free name while resolving
    VNIL,        // constant nil, not yet in a register
    VTRUE,       // constant booleans, likewise
    VFALSE,
    VK,          // info: index into f->k
    VKNUM,       // nval: a numeral, kept unallocated so it can be folded
    VNONRELOC,   // info: register that already holds the value
    VLOCAL,      // info: register of a local variable
    VUPVAL,      // info: upvalue index of the current function
    VINDEXED,    // ind: t[idx], t a register or upvalue, idx an RK operand
    VJMP,        // info: pc of the jump of a comparison (taken when true)
    VRELOCABLE,  // info: pc of an instruction whose target A is still open
    VCALL,       // info: pc of an OP_CALL whose result count is still open
    VVARARG      // info: pc of an OP_VARARG whose result count is still open
};

// Assignable kinds, and kinds whose value is already in a register.
#define vkisvar(k) (VLOCAL <= (k) && (k) <= VINDEXED)
#define vkisinreg(k) ((k) == VNONRELOC || (k) == VLOCAL)

struct expdesc {
    expkind k;
    union {
        struct {
            short idx;   // key as an RK operand
            lu_byte t;   // table: register or upvalue index
            lu_byte vt;  // VLOCAL when 't' is a register, VUPVAL when an upvalue
        } ind;
        int info;
        lua_Number nval;
    } u;
    int t;  // jumps taken when the value is true (NO_JUMP: none)
    int f;  // jumps taken when the value is false
};

// An active local, as an index into f->locvars (its debug record).
struct Vardesc {
    short idx;
};

// A goto not yet resolved, or a label visible in the current blocks.
struct Labeldesc {
    TString* name;
    int pc;
    int line;
    lu_byte nactvar;  // locals active at that point; a goto may not jump past new ones
};

struct Labellist {
    Labeldesc* arr;
    int n;
    int size;
};

// Growable stacks of the parser, shared by all functions of the chunk.
struct Dyndata {
    struct {
        Vardesc* arr;
        int n;
        int size;
    } actvar;
    Labellist gt;
    Labellist label;
};

struct BlockCnt;
struct KCache;

// Compilation state of one function; nested functions chain through 'prev'.
struct FuncState {
    Proto* f;
    KCache* h;            // constant value -> index in f->k, for sharing
    FuncState* prev;      // enclosing function, nullptr for the chunk
    LexState* ls;
    BlockCnt* bl;         // innermost open block
    int pc;               // where the next instruction goes
    int lasttarget;       // highest pc a jump may land on: no merging across it
    int jpc;              // jumps waiting for the next instruction
    int nk;               // used entries of f->k
    int np;               // used entries of f->p
    int firstlocal;       // base of this function's locals in dyd->actvar
    short nlocvars;       // used entries of f->locvars
    lu_byte nactvar;      // locals in scope = registers they occupy
    lu_byte nups;         // used entries of f->upvalues
    lu_byte freereg;      // first register not holding a local or temporary
};

Proto* luaY_parser(lua_State* L, ZIO* z, Mbuffer* buff, Dyndata* dyd, const char* name);
