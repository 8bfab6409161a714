// Engine states and threads. The main thread and the global state share
// one block; other threads are ordinary collectable objects.
#include <cstring>
#include <ctime>
#include <new>

#include "engine/lua/internal.h"
#include "engine/lua/llex.h"

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

// The base frame of a thread: a nil function slot at the stack's bottom.
static void init_base_ci(lua_State* L)
{
    CallInfo* ci = &L->base_ci;
    ci->next = ci->previous = nullptr;
    ci->callstatus = 0;
    ci->func = L->top;
    setnilvalue(L->top++);
    ci->top = L->top + LUA_MINSTACK;
    L->ci = ci;
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
    g->totalbytes = sizeof(LG) - sizeof(vm_caches);  // the collector is paced as without them
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

CallInfo* luaE_extendCI(lua_State* L)
{
    CallInfo* ci = luaM_new(L, CallInfo);
    L->ci->next = ci;
    ci->previous = L->ci;
    ci->next = nullptr;
    return ci;
}

// Frees the frames above the running one.
void luaE_freeCI(lua_State* L)
{
    CallInfo* ci = L->ci;
    CallInfo* next = ci->next;
    ci->next = nullptr;
    while ((ci = next) != nullptr) {
        next = ci->next;
        luaM_free(L, ci);
    }
}

static void thread_stack_init(lua_State* L1, lua_State* L)
{
    L1->stack = luaM_newvector(L, BASIC_STACK_SIZE, TValue);
    L1->stacksize = BASIC_STACK_SIZE;
    for (int i = 0; i < BASIC_STACK_SIZE; i++) setnilvalue(L1->stack + i);
    L1->top = L1->stack;
    L1->stack_last = L1->stack + L1->stacksize - EXTRA_STACK;
    init_base_ci(L1);
}

static void freestack(lua_State* L)
{
    if (L->stack == nullptr) return;
    L->ci = &L->base_ci;
    luaE_freeCI(L);
    luaM_freearray(L, L->stack, size_t(L->stacksize));
}

static void init_registry(lua_State* L, global_State* g)
{
    Table* registry = luaH_new(L);
    sethvalue(&g->l_registry, registry);
    luaH_resize(L, registry, LUA_RIDX_LAST, 0);
    TValue mt;
    setthvalue(&mt, L);
    luaH_setint(L, registry, LUA_RIDX_MAINTHREAD, &mt);
    sethvalue(&mt, luaH_new(L));
    luaH_setint(L, registry, LUA_RIDX_GLOBALS, &mt);
}

// Completes a new state for running code: base frame, registry with the
// globals table, metamethod names, the memory error message, the collector.
void luaE_vminit(lua_State* L)
{
    global_State* g = G(L);
    g->uvhead.u.l.prev = &g->uvhead;
    g->uvhead.u.l.next = &g->uvhead;
    g->gcpause = 200;
    g->gcstepmul = 200;
    g->GCthreshold = 256 * 1024;
    L->allowhook = 1;
    init_base_ci(L);
    // Strings made so far (the reserved words) live as long as the state.
    for (int i = 0; i < g->strt.size; i++)
        for (GCObject* o = g->strt.hash[i]; o != nullptr; o = o->next) luaS_fix(gco2ts(o));
    init_registry(L, g);
    luaT_init(L);
    g->gcrunning = 1;
}

// Before the state's memory goes: open upvalues closed, finalizers run,
// frames freed.
void luaE_vmclose(lua_State* L)
{
    if (L->ci == nullptr) return;
    luaF_close(L, L->stack);
    L->ci = &L->base_ci;
    L->errfunc = 0;
    L->nny = 1;
    luaC_runallfinalizers(L);
    luaE_freeCI(L);
}

static void preinit_state(lua_State* L, global_State* g)
{
    G(L) = g;
    L->stack = nullptr;
    L->ci = nullptr;
    L->stacksize = 0;
    L->errorJmp = nullptr;
    L->nCcalls = 0;
    L->hook = nullptr;
    L->hookmask = 0;
    L->basehookcount = 0;
    L->allowhook = 1;
    resethookcount(L);
    L->openupval = nullptr;
    L->nny = 1;
    L->status = LUA_OK;
    L->errfunc = 0;
    L->oldpc = nullptr;
    L->gclist = nullptr;
}

lua_State* lua_newthread(lua_State* L)
{
    luaC_checkGC(L);
    lua_State* L1 = gco2th(luaC_newobj(L, LUA_TTHREAD, sizeof(lua_State), nullptr, 0));
    setthvalue(L->top, L1);
    api_incr_top(L);
    preinit_state(L1, G(L));
    // A new thread inherits the creator's hook.
    L1->hookmask = L->hookmask;
    L1->basehookcount = L->basehookcount;
    L1->hook = L->hook;
    resethookcount(L1);
    thread_stack_init(L1, L);
    return L1;
}

void luaE_freethread(lua_State* L, lua_State* L1)
{
    luaF_close(L1, L1->stack);
    freestack(L1);
    luaM_freemem(L, L1, sizeof(lua_State));
}

void lua_reset_call_state_orbo(lua_State* L)
{
    luaF_close(L, L->stack);  // a discarded chain keeps no open upvalue
    L->status = LUA_OK;
    L->ci = &L->base_ci;
    L->errfunc = 0;
    if (L->top < L->base_ci.func + 1) L->top = L->base_ci.func + 1;
}

void lua_spend_cpu(lua_State* L, int k)
{
    int base = L->hookcount;
    if (orbo_soft_yield_count != 0) {
        base = orbo_soft_yield_count;
        orbo_soft_yield_count = 0;
    }
    int counter = base - k;
    L->hookcount = counter > 0 ? counter : 1;
}

int lua_get_cpu(lua_State* L) { return L->hookcount; }

void lua_orbo_soft_yield(lua_State* L)
{
    orbo_soft_yield_count = L->hookcount;
    L->hookcount = 1;
}
