// Calls, the stack, errors and coroutines. Errors are C++ exceptions
// (lua_exception) caught by the nearest protected call; a yield is an
// exception with status LUA_YIELD caught by lua_resume. Lua-to-Lua calls do
// not grow the native stack (luaV_execute reenters its loop); every native
// recursion (metamethods, host calls, resumes) counts in nCcalls, bounded by
// LUAI_MAXCCALLS ("C stack overflow"), so no program can exhaust it.
#include <cstring>

#include "engine/lua/internal.h"
#include "engine/lua/lparser.h"

void luaD_throw(lua_State*, int errcode) { throw luaD_error{errcode}; }

static void seterrorobj(lua_State* L, int errcode, StkId oldtop)
{
    switch (errcode) {
    case LUA_ERRMEM: setsvalue(oldtop, G(L)->memerrmsg); break;
    case LUA_ERRERR: setsvalue(oldtop, luaS_newliteral(L, "error in error handling")); break;
    default: setobj(oldtop, L->top - 1); break;
    }
    L->top = oldtop + 1;
}

// Runs f; returns LUA_OK or the status of the error (or yield) it threw.
int luaD_rawrunprotected(lua_State* L, Pfunc f, void* ud)
{
    unsigned short oldnCcalls = L->nCcalls;
    int status = LUA_OK;
    try {
        f(L, ud);
    } catch (const luaD_error& e) {
        status = e.status != LUA_OK ? e.status : -1;
    }
    L->nCcalls = oldnCcalls;
    return status;
}

// Stack reallocation: every pointer into the old stack moves along.
static void correctstack(lua_State* L, TValue* oldstack)
{
    L->top = (L->top - oldstack) + L->stack;
    for (GCObject* up = L->openupval; up != nullptr; up = (up)->next)
        gco2uv(up)->v = (gco2uv(up)->v - oldstack) + L->stack;
    for (CallInfo* ci = L->ci; ci != nullptr; ci = ci->previous) {
        ci->top = (ci->top - oldstack) + L->stack;
        ci->func = (ci->func - oldstack) + L->stack;
        if (isLua(ci)) ci->u.l.base = (ci->u.l.base - oldstack) + L->stack;
    }
}

#define ERRORSTACKSIZE (LUAI_MAXSTACK + 200)

void luaD_reallocstack(lua_State* L, int newsize)
{
    TValue* oldstack = L->stack;
    int lim = L->stacksize;
    luaM_reallocvector(L, L->stack, L->stacksize, newsize, TValue);
    for (; lim < newsize; lim++) setnilvalue(L->stack + lim);
    L->stacksize = newsize;
    L->stack_last = L->stack + newsize - EXTRA_STACK;
    correctstack(L, oldstack);
}

void luaD_growstack(lua_State* L, int n)
{
    int size = L->stacksize;
    if (size > LUAI_MAXSTACK) luaD_throw(L, LUA_ERRERR);  // error while handling overflow
    int needed = int(L->top - L->stack) + n + EXTRA_STACK;
    int newsize = 2 * size;
    if (newsize > LUAI_MAXSTACK) newsize = LUAI_MAXSTACK;
    if (newsize < needed) newsize = needed;
    if (newsize > LUAI_MAXSTACK) {
        luaD_reallocstack(L, ERRORSTACKSIZE);
        luaG_runerror(L, "stack overflow");
    }
    luaD_reallocstack(L, newsize);
}

static int stackinuse(lua_State* L)
{
    StkId lim = L->top;
    for (CallInfo* ci = L->ci; ci != nullptr; ci = ci->previous)
        if (lim < ci->top) lim = ci->top;
    return int(lim - L->stack) + 1;
}

void luaD_shrinkstack(lua_State* L)
{
    int inuse = stackinuse(L);
    int goodsize = inuse + (inuse / 8) + 2 * EXTRA_STACK;
    if (goodsize > LUAI_MAXSTACK) goodsize = LUAI_MAXSTACK;
    if (inuse > LUAI_MAXSTACK || goodsize >= L->stacksize) return;
    luaE_freeCI(L);
    luaD_reallocstack(L, goodsize);
}

void luaD_hook(lua_State* L, int event, int line)
{
    lua_Hook hook = L->hook;
    if (!hook || !L->allowhook) return;
    CallInfo* ci = L->ci;
    ptrdiff_t top = savestack(L, L->top);
    ptrdiff_t ci_top = savestack(L, ci->top);
    lua_Debug ar;
    ar.event = event;
    ar.currentline = line;
    ar.i_ci = ci;
    luaD_checkstack(L, LUA_MINSTACK);
    ci->top = L->top + LUA_MINSTACK;
    L->allowhook = 0;
    ci->callstatus |= CIST_HOOKED;
    (*hook)(L, &ar);
    L->allowhook = 1;
    ci->top = restorestack(L, ci_top);
    L->top = restorestack(L, top);
    ci->callstatus &= lu_byte(~CIST_HOOKED);
}

static void callhook(lua_State* L, CallInfo* ci)
{
    int hook = LUA_HOOKCALL;
    ci->u.l.savedpc++;  // hooks assume 'pc' is already incremented
    if (isLua(ci->previous) && GET_OPCODE(*(ci->previous->u.l.savedpc - 1)) == OP_TAILCALL) {
        ci->callstatus |= CIST_TAIL;
        hook = LUA_HOOKTAILCALL;
    }
    luaD_hook(L, hook, -1);
    ci->u.l.savedpc--;
}

static StkId adjust_varargs(lua_State* L, Proto* p, int actual)
{
    int nfixargs = p->numparams;
    for (; actual < nfixargs; ++actual) setnilvalue(L->top++);
    // Move the fixed parameters above the varargs.
    StkId fixed = L->top - actual;
    StkId base = L->top;
    for (int i = 0; i < nfixargs; i++) {
        setobj(L->top++, fixed + i);
        setnilvalue(fixed + i);
    }
    return base;
}

static StkId tryfuncTM(lua_State* L, StkId func)
{
    const TValue* tm = luaT_gettmbyobj(L, func, TM_CALL);
    ptrdiff_t funcr = savestack(L, func);
    if (!ttisfunction(tm)) luaG_typeerror(L, func, "call");
    // Open a hole below the arguments for the called value.
    for (StkId p = L->top; p > func; p--) setobj(p, p - 1);
    incr_top(L);
    func = restorestack(L, funcr);
    setobj(func, tm);
    return func;
}

#define next_ci(L) (L->ci = (L->ci->next ? L->ci->next : luaE_extendCI(L)))

// Prepares a call: returns 1 when a C function already ran, 0 when a Lua
// frame is ready for luaV_execute.
int luaD_precall(lua_State* L, StkId func, int nresults)
{
    lua_CFunction f;
    CallInfo* ci;
    ptrdiff_t funcr = savestack(L, func);
    switch (ttype(func)) {
    case LUA_TLCF: f = fvalue(func); goto Cfunc;
    case LUA_TCCL: f = clCvalue(func)->f;
    Cfunc : {
        checkstackfast(L, LUA_MINSTACK);
        ci = next_ci(L);
        ci->nresults = short(nresults);
        ci->func = restorestack(L, funcr);
        ci->top = L->top + LUA_MINSTACK;
        ci->callstatus = 0;
        luaC_checkGC(L);
        if (L->hookmask & LUA_MASKCALL) luaD_hook(L, LUA_HOOKCALL, -1);
        int n = luaD_runhost(L, f);
        if (L->status == LUA_YIELD) return 1;  // yielded in place: the frame stays
        luaD_poscall(L, L->top - n);
        return 1;
    }
    case LUA_TLCL: {
        LClosure* cl = clLvalue(func);
        Proto* p = cl->p;
        checkstackfast(L, p->maxstacksize);
        func = restorestack(L, funcr);
        int n = int(L->top - func) - 1;
        StkId base;
        if (!p->is_vararg) {
            for (; n < p->numparams; n++) setnilvalue(L->top++);
            base = func + 1;
        } else {
            base = adjust_varargs(L, p, n);
            func = restorestack(L, funcr);
        }
        ci = next_ci(L);
        ci->nresults = short(nresults);
        ci->func = func;
        ci->u.l.base = base;
        ci->top = base + p->maxstacksize;
        ci->u.l.savedpc = p->code;
        ci->u.l.cl = cl;
        ci->u.l.k = p->k;
        ci->callstatus = CIST_LUA;
        L->top = ci->top;
        luaC_checkGC(L);
        if (L->hookmask & LUA_MASKCALL) callhook(L, ci);
        return 0;
    }
    default:
        func = tryfuncTM(L, func);
        return luaD_precall(L, func, nresults);
    }
}

int luaD_poscall(lua_State* L, StkId firstResult)
{
    CallInfo* ci = L->ci;
    if (L->hookmask & (LUA_MASKRET | LUA_MASKLINE)) {
        if (L->hookmask & LUA_MASKRET) {
            ptrdiff_t fr = savestack(L, firstResult);
            luaD_hook(L, LUA_HOOKRET, -1);
            firstResult = restorestack(L, fr);
        }
        L->oldpc = ci->previous->u.l.savedpc;
    }
    StkId res = ci->func;
    int wanted = ci->nresults;
    L->ci = ci = ci->previous;
    L->top = luaD_moveresults(res, firstResult, L->top, wanted);
    return wanted - LUA_MULTRET;  // 0 iff wanted == LUA_MULTRET
}

// Calls a function from C (or a metamethod): native recursion, bounded.
void luaD_call(lua_State* L, StkId func, int nResults, int allowyield)
{
    if (++L->nCcalls >= LUAI_MAXCCALLS) {
        if (L->nCcalls == LUAI_MAXCCALLS) luaG_runerror(L, "C stack overflow");
        else if (L->nCcalls >= (LUAI_MAXCCALLS + (LUAI_MAXCCALLS >> 3)))
            luaD_throw(L, LUA_ERRERR);  // error while handling stack error
    }
    if (!allowyield) L->nny++;
    if (!luaD_precall(L, func, nResults)) luaV_execute(L);
    if (!allowyield) L->nny--;
    L->nCcalls--;
}

// Completes a C function interrupted by a yield: its continuation runs.
static void finishCcall(lua_State* L)
{
    CallInfo* ci = L->ci;
    if (ci->callstatus & CIST_YPCALL) {
        ci->callstatus &= lu_byte(~CIST_YPCALL);
        L->errfunc = ci->u.c.old_errfunc;
    }
    if (ci->nresults == LUA_MULTRET && L->ci->top < L->top) L->ci->top = L->top;
    // lua_getctx reports the error recovered by the yieldable pcall, once;
    // otherwise the call was simply suspended and resumed.
    if (!(ci->callstatus & CIST_STAT)) ci->u.c.status = LUA_YIELD;
    ci->callstatus = lu_byte((ci->callstatus & ~(CIST_YPCALL | CIST_STAT)) | CIST_YIELDED);
    L->yield_returns = 0;
    int n = (*ci->u.c.k)(L);
    luaD_poscall(L, L->top - n);
}

// Runs the frames left by a yield until the stack is back at the base.
static void unroll(lua_State* L, void*)
{
    for (;;) {
        if (L->ci == &L->base_ci) return;
        if (!isLua(L->ci)) finishCcall(L);
        else {
            luaV_finishOp(L);
            luaV_execute(L);
        }
        if (L->status == LUA_YIELD) return;
    }
}

// Innermost frame with a pending yieldable protected call.
static CallInfo* findpcall(lua_State* L)
{
    for (CallInfo* ci = L->ci; ci != nullptr; ci = ci->previous)
        if (ci->callstatus & CIST_YPCALL) return ci;
    return nullptr;
}

static int recover(lua_State* L, int status)
{
    CallInfo* ci = findpcall(L);
    if (ci == nullptr) return 0;
    StkId oldtop = restorestack(L, ci->extra);
    luaF_close(L, oldtop);
    seterrorobj(L, status, oldtop);
    L->ci = ci;
    L->allowhook = ci->u.c.old_allowhook;
    L->nny = 0;
    luaD_shrinkstack(L);
    L->errfunc = ci->u.c.old_errfunc;
    ci->callstatus |= CIST_STAT;
    ci->u.c.status = cast_byte(status);
    return 1;
}

[[noreturn]] static void resume_error(lua_State* L, const char* msg, StkId firstArg)
{
    L->top = firstArg;
    setsvalue(L->top, luaS_new(L, msg));
    incr_top(L);
    luaD_throw(L, -1);
}

static void resume(lua_State* L, void* ud)
{
    int nCcalls = L->nCcalls;
    StkId firstArg = static_cast<StkId>(ud);
    CallInfo* ci = L->ci;
    if (nCcalls >= LUAI_MAXCCALLS) resume_error(L, "C stack overflow", firstArg);
    if (L->status == LUA_OK) {
        if (ci != &L->base_ci) resume_error(L, "cannot resume non-suspended coroutine", firstArg);
        if (!luaD_precall(L, firstArg - 1, LUA_MULTRET)) luaV_execute(L);
    } else if (L->status != LUA_YIELD) {
        resume_error(L, "cannot resume dead coroutine", firstArg);
    } else {
        L->status = LUA_OK;
        ci->func = restorestack(L, ci->extra);
        if (isLua(ci)) {
            // Yielded inside a hook: continue the interrupted instruction.
            luaV_execute(L);
            if (L->status == LUA_YIELD) return;
        } else {
            if (ci->u.c.k != nullptr) {
                ci->u.c.status = LUA_YIELD;
                ci->callstatus |= CIST_YIELDED;
                L->yield_returns = 0;
                int n = (*ci->u.c.k)(L);
                firstArg = L->top - n;
            }
            luaD_poscall(L, firstArg);
        }
        unroll(L, nullptr);
    }
}

int lua_resume(lua_State* L, lua_State* from, int nargs)
{
    // The non-yieldable count is restored afterwards, as Lua 5.2.3 does: a
    // running coroutine that tries to resume itself must stay yieldable.
    unsigned short oldnny = L->nny;
    L->nCcalls = from ? from->nCcalls + 1 : 1;
    L->nny = 0;
    lu_byte oldresuming = L->resuming;
    lu_byte old_yield_returns = L->yield_returns;
    unsigned short old_resume_nccalls = L->resume_nccalls;
    L->resuming = 1;
    L->yield_returns = 0;
    L->resume_nccalls = L->nCcalls;
    int status = luaD_rawrunprotected(L, resume, L->top - nargs);
    if (status == LUA_OK && L->status == LUA_YIELD) status = LUA_YIELD;  // yielded in place
    if (status == -1) status = LUA_ERRRUN;
    else {
        while (status != LUA_OK && status != LUA_YIELD) {
            if (recover(L, status)) {
                status = luaD_rawrunprotected(L, unroll, nullptr);
                if (status == LUA_OK && L->status == LUA_YIELD) status = LUA_YIELD;
            }
            else {
                L->status = cast_byte(status);
                seterrorobj(L, status, L->top);
                L->ci->top = L->top;
                break;
            }
        }
    }
    L->nny = oldnny;
    L->resuming = oldresuming;
    L->yield_returns = old_yield_returns;
    L->resume_nccalls = old_resume_nccalls;
    L->nCcalls--;
    return status;
}

int lua_yieldk(lua_State* L, int nresults, int ctx, lua_CFunction k)
{
    CallInfo* ci = L->ci;
    if (L->nny > 0) {
        // A thread being resumed (the main one included: the program runs
        // that way) can only be blocked by a host call in between.
        if (L != G(L)->mainthread || L->resuming) luaG_runerror(L, "attempt to yield across a C-call boundary");
        else luaG_runerror(L, "attempt to yield from outside a coroutine");
    }
    L->status = LUA_YIELD;
    ci->extra = savestack(L, ci->func);
    if (!isLua(ci)) {
        if ((ci->u.c.k = k) != nullptr) ci->u.c.ctx = ctx;
        ci->func = L->top - nresults - 1;
        if (L->yield_returns) return -1;  // the caller sees L->status and returns
        luaD_throw(L, LUA_YIELD);
    }
    return 0;  // inside a hook: luaV_execute's hook check throws the yield
}

int luaD_pcall(lua_State* L, Pfunc func, void* u, ptrdiff_t old_top, ptrdiff_t ef)
{
    CallInfo* old_ci = L->ci;
    lu_byte old_allowhooks = L->allowhook;
    unsigned short old_nny = L->nny;
    ptrdiff_t old_errfunc = L->errfunc;
    L->errfunc = ef;
    int status = luaD_rawrunprotected(L, func, u);
    if (status != LUA_OK) {
        if (status == -1) status = LUA_ERRRUN;
        StkId oldtop = restorestack(L, old_top);
        luaF_close(L, oldtop);
        seterrorobj(L, status, oldtop);
        L->ci = old_ci;
        L->allowhook = old_allowhooks;
        L->nny = old_nny;
        luaD_shrinkstack(L);
    }
    L->errfunc = old_errfunc;
    return status;
}

// Compiling is a protected call of its own: a syntax or memory error leaves
// its message at the old top, and the parser's buffers are freed either way.
int luaD_protectedparser(lua_State* L, ZIO* z, const char* name, Proto** out)
{
    ptrdiff_t oldtop = L->top - L->stack;
    unsigned short oldnCcalls = L->nCcalls;
    Mbuffer buff;
    Dyndata dyd{};
    luaZ_initbuffer(&buff);
    int status = LUA_OK;
    L->nny++;
    try {
        *out = luaY_parser(L, z, &buff, &dyd, name);
    } catch (const luaD_error& e) {
        status = e.status;
        L->nCcalls = oldnCcalls;
        // The message of a memory error exists ahead of time, so
        // reporting it cannot fail again.
        seterrorobj(L, status, L->stack + oldtop);
    }
    luaZ_freebuffer(L, &buff);
    luaM_freearray(L, dyd.actvar.arr, dyd.actvar.size);
    luaM_freearray(L, dyd.gt.arr, dyd.gt.size);
    luaM_freearray(L, dyd.label.arr, dyd.label.size);
    L->nny--;
    return status;
}
