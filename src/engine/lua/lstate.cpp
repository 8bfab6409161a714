#include "lstate.h"

#include <new>

#include "ldo.h"
#include "lgc.h"
#include "llex.h"
#include "lmem.h"
#include "lstring.h"

int32_t orbo_last_line_number = 0;
int32_t orbo_runtime_line = 0;
int32_t orbo_soft_yield_count = 0;

// The main thread and the global state live in one block.
struct LG {
    lua_State l;
    global_State g;
};

// Fixed seed: string hashes (and with them table traversal order) are the
// same on every run, which keeps programs reproducible.
static const unsigned int k_string_seed = 0x2545f491u;

static int default_find_tab_line(int line, int* tab)
{
    if (tab) *tab = 0;
    return line;
}

void luaD_growstack(lua_State* L, int n);

void luaD_checkstack(lua_State* L, int n)
{
    if (L->stack_last - L->top > n) return;
    if (L->ci != nullptr) {
        // A running engine: frames and open upvalues move with the stack.
        luaD_growstack(L, n);
        return;
    }
    int used = cast_int(L->top - L->stack);
    int newsize = L->stacksize * 2;
    if (newsize < used + n + EXTRA_STACK + 1) newsize = used + n + EXTRA_STACK + 1;
    luaM_reallocvector(L, L->stack, L->stacksize, newsize, TValue);
    for (int i = L->stacksize; i < newsize; i++) setnilvalue(&L->stack[i]);
    L->stacksize = newsize;
    L->top = L->stack + used;
    L->stack_last = L->stack + newsize - EXTRA_STACK;
}

static void stack_init(lua_State* L)
{
    L->stack = luaM_newvector(L, BASIC_STACK_SIZE, TValue);
    L->stacksize = BASIC_STACK_SIZE;
    for (int i = 0; i < BASIC_STACK_SIZE; i++) setnilvalue(&L->stack[i]);
    L->top = L->stack;
    L->stack_last = L->stack + L->stacksize - EXTRA_STACK;
}

void luaE_vminit(lua_State* L);
void luaE_vmclose(lua_State* L);

static void close_state(lua_State* L)
{
    global_State* g = G(L);
    if (g->strt.hash) luaC_freeallobjects(L);
    luaM_freearray(L, g->strt.hash, g->strt.size);
    luaM_freearray(L, L->stack, L->stacksize);
    (*g->frealloc)(g->ud, reinterpret_cast<LG*>(L), sizeof(LG), 0);
}

lua_State* lua_newstate(lua_Alloc f, void* ud)
{
    void* raw = (*f)(ud, nullptr, LUA_TTHREAD, sizeof(LG));
    if (raw == nullptr) return nullptr;
    LG* l = new (raw) LG{};
    lua_State* L = &l->l;
    global_State* g = &l->g;
    L->next = nullptr;
    L->tt = LUA_TTHREAD;
    L->l_G = g;
    L->status = LUA_OK;
    L->nny = 1;
    g->frealloc = f;
    g->ud = ud;
    g->totalbytes = sizeof(LG);
    g->seed = k_string_seed;
    g->find_tab_line = default_find_tab_line;
    g->mainthread = L;
    try {
        stack_init(L);
        luaS_resize(L, MINSTRTABSIZE);
        g->memerrmsg = luaS_newliteral(L, "not enough memory");
        luaX_init(L);
        luaE_vminit(L);
    } catch (const luaD_error&) {
        close_state(L);
        return nullptr;
    }
    return L;
}

void lua_close(lua_State* L)
{
    L = G(L)->mainthread;
    luaE_vmclose(L);
    close_state(L);
}
