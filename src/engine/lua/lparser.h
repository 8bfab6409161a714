// Parser: a recursive-descent parser that generates code while it reads
// (no syntax tree). Expressions are described by expdesc until the code
// generator decides where their values go.
#pragma once
#include "llex.h"
#include "lobject.h"
#include "lzio.h"

enum expkind {
    VVOID,       // no value (empty expression list)
    VNIL,
    VTRUE,
    VFALSE,
    VK,          // info = index of constant in 'k'
    VKNUM,       // nval = numerical value
    VNONRELOC,   // info = result register
    VLOCAL,      // info = local register
    VUPVAL,      // info = index of upvalue in 'upvalues'
    VINDEXED,    // t = table register or upvalue; idx = index R/K
    VJMP,        // info = instruction pc
    VRELOCABLE,  // info = instruction pc
    VCALL,       // info = instruction pc
    VVARARG      // info = instruction pc
};

#define vkisvar(k) (VLOCAL <= (k) && (k) <= VINDEXED)
#define vkisinreg(k) ((k) == VNONRELOC || (k) == VLOCAL)

struct expdesc {
    expkind k;
    union {
        struct {
            short idx;   // index (R/K)
            lu_byte t;   // table (register or upvalue)
            lu_byte vt;  // whether 't' is register (VLOCAL) or upvalue (VUPVAL)
        } ind;
        int info;
        lua_Number nval;
    } u;
    int t;  // patch list of 'exit when true'
    int f;  // patch list of 'exit when false'
};

// Active local variable: index into the prototype's locvars.
struct Vardesc {
    short idx;
};

// Pending goto or label.
struct Labeldesc {
    TString* name;
    int pc;
    int line;
    lu_byte nactvar;  // local level where it appears
};

struct Labellist {
    Labeldesc* arr;
    int n;
    int size;
};

// Dynamic structures used by the parser, shared by all nested functions.
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

// State of the function being generated.
struct FuncState {
    Proto* f;
    KCache* h;            // constant lookup (value -> index in f->k)
    FuncState* prev;      // enclosing function
    LexState* ls;
    BlockCnt* bl;         // chain of current blocks
    int pc;               // next position to code
    int lasttarget;       // pc of last jump target
    int jpc;              // list of pending jumps to pc
    int nk;               // number of elements in f->k
    int np;               // number of elements in f->p
    int firstlocal;       // index of first local var in dyd->actvar
    short nlocvars;       // number of elements in f->locvars
    lu_byte nactvar;      // number of active local variables
    lu_byte nups;         // number of upvalues
    lu_byte freereg;      // first free register
};

Proto* luaY_parser(lua_State* L, ZIO* z, Mbuffer* buff, Dyndata* dyd, const char* name);
