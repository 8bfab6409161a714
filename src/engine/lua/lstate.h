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

struct global_State {
    lua_Alloc frealloc;
    void* ud;
    lu_mem totalbytes;       // bytes currently allocated
    stringtable strt;
    GCObject* allgc;         // every collectable object except short strings
    unsigned int seed;       // hash seed of strings
    TString* memerrmsg;      // "not enough memory", made at start so that
                             // reporting a memory error needs no memory
    TString* tmname[1];      // placeholder for the metamethod names
    orbo_find_tab_line_fn find_tab_line;
    lua_State* mainthread;
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
