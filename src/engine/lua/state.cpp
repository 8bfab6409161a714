// Engine states and threads. The main thread and the global state share
// one block; other threads are ordinary collectable objects.
#include <cstring>
#include <ctime>

#include "engine/lua/internal.h"

int32_t orbo_soft_yield_count = 0;

void luaX_init(lua_State* L);

#define MINSTRTABSIZE 64
#define GCSEED 0x2545F491u

struct LG {
    lua_State l;
    global_State g;
};

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

static void stack_init(lua_State* L1, lua_State* L)
{
    L1->stack = luaM_newvector(L, BASIC_STACK_SIZE, TValue);
    L1->stacksize = BASIC_STACK_SIZE;
    for (int i = 0; i < BASIC_STACK_SIZE; i++) setnilvalue(L1->stack + i);
    L1->top = L1->stack;
    L1->stack_last = L1->stack + L1->stacksize - EXTRA_STACK;
    CallInfo* ci = &L1->base_ci;
    ci->next = ci->previous = nullptr;
    ci->callstatus = 0;
    ci->func = L1->top;
    setnilvalue(L1->top++);  // the base frame's function slot
    ci->top = L1->top + LUA_MINSTACK;
    L1->ci = ci;
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
    sethvalue(L, &g->l_registry, registry);
    luaH_resize(L, registry, LUA_RIDX_LAST, 0);
    TValue mt;
    setthvalue(L, &mt, L);
    luaH_setint(L, registry, LUA_RIDX_MAINTHREAD, &mt);
    sethvalue(L, &mt, luaH_new(L));
    luaH_setint(L, registry, LUA_RIDX_GLOBALS, &mt);
}

static void f_luaopen(lua_State* L, void*)
{
    global_State* g = G(L);
    stack_init(L, L);
    init_registry(L, g);
    luaS_resize(L, MINSTRTABSIZE);
    luaT_init(L);
    luaX_init(L);
    g->memerrmsg = luaS_newliteral(L, "not enough memory");
    luaS_fix(g->memerrmsg);
    g->gcrunning = 1;
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

static void close_state(lua_State* L)
{
    global_State* g = G(L);
    luaF_close(L, L->stack);
    luaC_freeallobjects(L);
    luaM_freearray(L, g->strt.hash, size_t(g->strt.size));
    freestack(L);
    (*g->frealloc)(g->ud, reinterpret_cast<LG*>(L), sizeof(LG), 0);
}

lua_State* lua_newthread(lua_State* L)
{
    luaC_checkGC(L);
    lua_State* L1 = &gco2th(luaC_newobj(L, LUA_TTHREAD, sizeof(lua_State), nullptr, 0));
    setthvalue(L, L->top, L1);
    api_incr_top(L);
    preinit_state(L1, G(L));
    // A new thread inherits the creator's hook.
    L1->hookmask = L->hookmask;
    L1->basehookcount = L->basehookcount;
    L1->hook = L->hook;
    resethookcount(L1);
    stack_init(L1, L);
    return L1;
}

void luaE_freethread(lua_State* L, lua_State* L1)
{
    luaF_close(L1, L1->stack);
    freestack(L1);
    luaM_freemem(L, L1, sizeof(lua_State));
}

lua_State* lua_newstate(lua_Alloc f, void* ud)
{
    LG* l = static_cast<LG*>((*f)(ud, nullptr, LUA_TTHREAD, sizeof(LG)));
    if (l == nullptr) return nullptr;
    lua_State* L = &l->l;
    global_State* g = &l->g;
    L->next = nullptr;
    L->tt = LUA_TTHREAD;
    L->marked = 0;
    preinit_state(L, g);
    g->frealloc = f;
    g->ud = ud;
    g->mainthread = L;
    g->seed = GCSEED;
    g->uvhead.u.l.prev = &g->uvhead;
    g->uvhead.u.l.next = &g->uvhead;
    g->gcrunning = 0;
    g->gcinprogress = 0;
    g->GCestimate = 0;
    g->GCthreshold = 256 * 1024;
    g->strt.size = 0;
    g->strt.nuse = 0;
    g->strt.hash = nullptr;
    setnilvalue(&g->l_registry);
    g->panic = nullptr;
    g->version = nullptr;
    g->currentwhite = 0;
    g->gckind = KGC_NORMAL;
    g->allgc = g->finobj = g->tobefnz = nullptr;
    g->gray = g->weak = g->ephemeron = g->allweak = nullptr;
    g->totalbytes = sizeof(LG);
    g->gcpause = 200;
    g->gcstepmul = 200;
    g->memerrmsg = nullptr;
    for (int i = 0; i < TM_N; i++) g->tmname[i] = nullptr;
    for (int i = 0; i < LUA_NUMTAGS; i++) g->mt[i] = nullptr;
    if (luaD_rawrunprotected(L, f_luaopen, nullptr) != LUA_OK) {
        close_state(L);
        L = nullptr;
    }
    return L;
}

void lua_close(lua_State* L)
{
    L = G(L)->mainthread;
    luaF_close(L, L->stack);
    L->ci = &L->base_ci;
    L->errfunc = 0;
    L->nny = 1;
    close_state(L);
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
