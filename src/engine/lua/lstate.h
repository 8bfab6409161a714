// The global state (shared by all threads of one engine instance) and the
// per-thread lua_State. One engine instance per program run; every block of
// memory is obtained through g->frealloc.
#pragma once
#include "lobject.h"

// Interned short strings: chained hash table, size a power of 2.
struct stringtable {
    GCObject** hash;
    lu_int32 nuse;
    int size;
};

// Maps a chunk line to (line within its code tab, tab index); installed by
// the host. The default maps every line to itself in tab 0.
typedef int (*orbo_find_tab_line_fn)(int line, int* tab);

// Call information of one active function (virtual machine).
#define CIST_LUA (1 << 0)        // running a Lua function
#define CIST_HOOKED (1 << 1)     // running a debug hook
#define CIST_REENTRY (1 << 2)    // running on the same invocation of luaV_execute
#define CIST_YIELDED (1 << 3)    // reentered after suspension
#define CIST_YPCALL (1 << 4)     // a yieldable protected call
#define CIST_STAT (1 << 5)       // has an error status (pcall)
#define CIST_TAIL (1 << 6)       // was tail called
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
        struct {  // Lua functions
            StkId base;
            const Instruction* savedpc;
            // The running closure and its constants (what func holds), so
            // a return reloads them without going through the stack; they
            // fill what the host functions' part leaves unused.
            LClosure* cl;
            TValue* k;
        } l;
        struct {  // host functions
            int ctx;
            lua_CFunction k;
            ptrdiff_t old_errfunc;
            lu_byte old_allowhook;
            lu_byte status;
        } c;
    } u;
};
static_assert(sizeof(CallInfo) == 80, "a call frame's size is part of the recorded heap figures");
#define ORBO_TM_COUNT 17  // metamethod events

// Lookups through __index tables, remembered by the virtual machine per
// instruction (by the low bits of its address): a short-string key missing
// from a table whose metatable is 'mt' was found in 'slot' of a table down
// the chain. Each memo is valid for one epoch; every change to a table
// marked 'in_chain' (a store, a new key, a resize, a new metatable, a weak
// entry cleared, its release) starts a new one (luaH_changed).
struct chain_memo {
    const Table* mt;
    const TString* key;
    uint64_t epoch;
    const TValue* slot;
};
#define CHAIN_MEMOS 256
// Short strings pushed by host functions, by the address of their text
// (host code pushes the same literals over and over): a hit still compares
// the text, so only the hashing and the table walk are saved. Every
// collection empties the memos, so none refers to a freed string.
struct string_memo {
    const char* text;
    TString* ts;
};
#define STRING_MEMOS 64
struct vm_caches {
    uint64_t chain_epoch;
    chain_memo chain_memos[CHAIN_MEMOS];
    string_memo string_memos[STRING_MEMOS];
};

struct global_State {
    lua_Alloc frealloc;
    void* ud;
    lu_mem totalbytes;       // bytes currently allocated
    stringtable strt;
    GCObject* allgc;         // every collectable object except short strings
    unsigned int seed;       // hash seed of strings
    TString* memerrmsg;      // "not enough memory", made at start so that
                             // reporting a memory error needs no memory
    TString* tmname[ORBO_TM_COUNT];  // metamethod names
    orbo_find_tab_line_fn find_tab_line;
    lua_State* mainthread;
    // Collector and runtime (virtual machine side).
    lu_mem GCthreshold;   // collect when totalbytes reaches this
    lu_mem GCestimate;    // bytes in use after the last collection
    TValue l_registry;
    lu_byte gckind;
    lu_byte gcrunning;    // false while the collector is stopped
    lu_byte gcinprogress; // a collection is running
    int gcblocked;        // > 0: no collection at all (objects not anchored yet)
    GCObject* finobj;     // objects with finalizers
    GCObject* tobefnz;    // unreachable objects waiting for their finalizer
    GCObject* gray;       // marked, not yet traversed
    GCObject* weak;       // tables with weak values
    GCObject* ephemeron;  // tables with weak keys
    GCObject* allweak;    // tables with weak keys and values
    UpVal uvhead;         // head of the list of all open upvalues
    int gcpause;
    int gcstepmul;
    lua_CFunction panic;
    struct Table* mt[LUA_NUMTAGS];  // metatables of the basic types
    vm_caches caches;  // not script memory: totalbytes leaves them out
};

// A thread. The stack is a plain vector of values; the virtual machine adds
// call information around it.
struct lua_State : GCObject {
    lu_byte status;
    StkId top;
    global_State* l_G;
    StkId stack_last;  // last usable slot of the stack
    StkId stack;
    int stacksize;
    unsigned short nny;      // number of non-yieldable calls in the stack
    unsigned short nCcalls;  // nested host calls and syntax levels
    struct lua_longjmp* errorJmp;
    // Calls and hooks (virtual machine side).
    CallInfo* ci;               // the running function
    const Instruction* oldpc;   // last pc traced
    lu_byte hookmask;
    lu_byte allowhook;
    int basehookcount;
    int hookcount;
    lua_Hook hook;
    GCObject* openupval;        // open upvalues of this stack, highest first
    GCObject* gclist;
    ptrdiff_t errfunc;          // current error handling function (stack index)
    CallInfo base_ci;           // the first frame
    lu_byte resuming;           // inside lua_resume: yields are possible in principle
    // Set while a host function called straight from the virtual machine
    // runs with no host call between it and lua_resume: its yield needs no
    // unwinding, so lua_yieldk records the yield and returns, and every
    // level returns normally up to lua_resume.
    lu_byte yield_returns;
    unsigned short resume_nccalls;  // nCcalls of the running lua_resume
};

#define G(L) (L->l_G)
#define BASIC_STACK_SIZE 40
#define EXTRA_STACK 5

lua_State* lua_newstate(lua_Alloc f, void* ud);
void lua_close(lua_State* L);
// Makes room for n more values on the stack.
void luaD_checkstack(lua_State* L, int n);
inline void incr_top(lua_State* L)
{
    L->top++;
    if (L->top >= L->stack_last) luaD_checkstack(L, 1);
}

// Engine globals used by the host's error report.
extern int32_t orbo_last_line_number;
extern int32_t orbo_runtime_line;
extern int32_t orbo_soft_yield_count;
