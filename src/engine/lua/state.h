// Threads, call frames and the global state shared by all threads of one
// engine. Invariants: L->ci is the running frame; frames form a doubly
// linked list from base_ci; L->top is the first free slot; slots between
// L->top and L->stack_last are usable without a stack check only up to the
// frame's ci->top; EXTRA_STACK slots beyond stack_last absorb metamethod calls.
#pragma once
#include "engine/lua/object.h"

#define EXTRA_STACK 5
#define BASIC_STACK_SIZE (2 * LUA_MINSTACK)
#define LUAI_MAXCCALLS 200
#define STRCACHE_SIZE 0

// Kinds of garbage collection.
#define KGC_NORMAL 0
#define KGC_EMERGENCY 1

struct stringtable {
    GCObject** hash;
    uint32_t nuse;
    int size;
};

// Call status bits.
#define CIST_LUA (1 << 0)      // call is running a Lua function
#define CIST_HOOKED (1 << 1)   // call is running a debug hook
#define CIST_REENTRY (1 << 2)  // call is running on same invocation of luaV_execute
#define CIST_YIELDED (1 << 3)  // call reentered after suspension
#define CIST_YPCALL (1 << 4)   // call is a yieldable protected call
#define CIST_STAT (1 << 5)     // call has an error status (pcall)
#define CIST_TAIL (1 << 6)     // call was tail called
#define CIST_HOOKYIELD (1 << 7)  // last hook called yielded

struct CallInfo {
    StkId func;  // function index in the stack
    StkId top;   // top for this function
    CallInfo* previous;
    CallInfo* next;
    short nresults;  // expected number of results
    lu_byte callstatus;
    ptrdiff_t extra;
    union {
        struct {  // only for Lua functions
            StkId base;
            const Instruction* savedpc;
        } l;
        struct {  // only for C functions
            int ctx;
            lua_CFunction k;
            ptrdiff_t old_errfunc;
            lu_byte old_allowhook;
            lu_byte status;
        } c;
    } u;
};
#define isLua(ci) ((ci)->callstatus & CIST_LUA)
#define ci_func(ci) (clLvalue((ci)->func))

struct lua_longjmp;

struct global_State {
    lua_Alloc frealloc;
    void* ud;
    size_t totalbytes;   // bytes allocated
    size_t GCthreshold;  // next collection when totalbytes passes this
    size_t GCestimate;   // bytes in use after the last collection
    stringtable strt;
    TValue l_registry;
    unsigned int seed;
    lu_byte currentwhite;
    lu_byte gckind;
    lu_byte gcrunning;  // false while the collector is stopped
    lu_byte gcinprogress;  // a collection is running (no reentry)
    GCObject* allgc;     // every collectable object except strings and finobj
    GCObject* finobj;    // objects with finalizers
    GCObject* tobefnz;   // unreachable objects waiting for their finalizer
    GCObject* gray;      // objects marked but not traversed yet
    GCObject* weak;      // tables with weak values
    GCObject* ephemeron; // tables with weak keys
    GCObject* allweak;   // tables with weak keys and values
    UpVal uvhead;        // head of the list of all open upvalues
    int gcpause;
    int gcstepmul;
    lua_CFunction panic;
    lua_State* mainthread;
    const lua_Number* version;
    TString* memerrmsg;
    TString* tmname[17];  // metamethod names
    Table* mt[LUA_NUMTAGS];  // metatables of basic types
};

struct lua_State {
    CommonHeader;
    lu_byte status;
    StkId top;
    global_State* l_G;
    CallInfo* ci;
    const Instruction* oldpc;  // last pc traced
    StkId stack_last;
    StkId stack;
    int stacksize;
    unsigned short nny;      // non-yieldable calls on the stack
    unsigned short nCcalls;  // nested C calls
    lu_byte hookmask;
    lu_byte allowhook;
    int basehookcount;
    int hookcount;
    lua_Hook hook;
    GCObject* openupval;
    GCObject* gclist;
    lua_longjmp* errorJmp;
    ptrdiff_t errfunc;
    CallInfo base_ci;
};

#define G(L) (L->l_G)

// Every collectable object, viewed through one union.
union GCObject {
    GCheader gch;
    TString ts;
    Udata u;
    Closure cl;
    Table h;
    Proto p;
    UpVal uv;
    lua_State th;
};
#define gch(o) (&(o)->gch)
#define gco2ts(o) ((o)->ts)
#define gco2u(o) ((o)->u)
#define gco2cl(o) ((o)->cl)
#define gco2lcl(o) ((o)->cl.l)
#define gco2ccl(o) ((o)->cl.c)
#define gco2t(o) ((o)->h)
#define gco2p(o) ((o)->p)
#define gco2uv(o) ((o)->uv)
#define gco2th(o) ((o)->th)
#define obj2gco(v) (reinterpret_cast<GCObject*>(v))

#define registry(L) (&G(L)->l_registry)

void luaE_setdebt(global_State* g, ptrdiff_t debt);
void luaE_freethread(lua_State* L, lua_State* L1);
CallInfo* luaE_extendCI(lua_State* L);
void luaE_freeCI(lua_State* L);
