// The host API. Numbers cross the boundary as 16.16 raw values:
// lua_tonumberx returns the raw value (strings converted, other types 0),
// lua_tointegerx and lua_tounsignedx the floor (raw >> 16),
// lua_pushnumber and lua_pushinteger store the raw value unchanged, and
// lua_pushunsigned pushes i << 16.
#include <cstring>

#include "engine/lua/internal.h"

#define api_checknelems(L, n) ((void)0)
#define ispseudo(i) ((i) <= LUA_REGISTRYINDEX)
#define isupvalue(i) ((i) < LUA_REGISTRYINDEX)
#define isstackindex(i, o) (isvalid(o) && !ispseudo(i))
#define isvalid(o) ((o) != luaO_nilobject)

static TValue nonvalid_;  // writable stand-in for an absent upvalue

static TValue* index2addr(lua_State* L, int idx)
{
    CallInfo* ci = L->ci;
    if (idx > 0) {
        TValue* o = ci->func + idx;
        if (o >= L->top) return const_cast<TValue*>(luaO_nilobject);
        return o;
    }
    if (!ispseudo(idx)) return L->top + idx;
    if (idx == LUA_REGISTRYINDEX) return &G(L)->l_registry;
    idx = LUA_REGISTRYINDEX - idx;
    if (ttislcf(ci->func)) return const_cast<TValue*>(luaO_nilobject);
    CClosure* func = clCvalue(ci->func);
    if (idx <= func->nupvalues) return &func->upvalue[idx - 1];
    setnilvalue(&nonvalid_);
    return const_cast<TValue*>(luaO_nilobject);
}

static void growstack(lua_State* L, void* ud)
{
    int size = *static_cast<int*>(ud);
    luaD_growstack(L, size);
}

int lua_checkstack(lua_State* L, int size)
{
    int res;
    CallInfo* ci = L->ci;
    if (L->stack_last - L->top > size) res = 1;
    else {
        int inuse = int(L->top - L->stack) + EXTRA_STACK;
        if (inuse > LUAI_MAXSTACK - size) res = 0;
        else res = luaD_rawrunprotected(L, &growstack, &size) == LUA_OK;
    }
    if (res && ci->top < L->top + size) ci->top = L->top + size;
    return res;
}

void lua_xmove(lua_State* from, lua_State* to, int n)
{
    if (from == to) return;
    from->top -= n;
    for (int i = 0; i < n; i++) setobj(to->top++, from->top + i);
}

lua_CFunction lua_atpanic(lua_State* L, lua_CFunction panicf)
{
    lua_CFunction old = G(L)->panic;
    G(L)->panic = panicf;
    return old;
}

int lua_absindex(lua_State* L, int idx)
{
    return (idx > 0 || ispseudo(idx)) ? idx : int(L->top - L->ci->func) + idx;
}

int lua_gettop(lua_State* L) { return int(L->top - (L->ci->func + 1)); }

void lua_settop(lua_State* L, int idx)
{
    StkId func = L->ci->func;
    if (idx >= 0) {
        while (L->top < (func + 1) + idx) setnilvalue(L->top++);
        L->top = (func + 1) + idx;
    } else {
        L->top += idx + 1;
    }
}

void lua_remove(lua_State* L, int idx)
{
    StkId p = index2addr(L, idx);
    while (++p < L->top) setobj(p - 1, p);
    L->top--;
}

void lua_insert(lua_State* L, int idx)
{
    StkId p = index2addr(L, idx);
    for (StkId q = L->top; q > p; q--) setobj(q, q - 1);
    setobj(p, L->top);
}

static void moveto(lua_State* L, TValue* fr, int idx)
{
    TValue* to = index2addr(L, idx);
    setobj(to, fr);
}

void lua_replace(lua_State* L, int idx)
{
    moveto(L, L->top - 1, idx);
    L->top--;
}

void lua_copy(lua_State* L, int fromidx, int toidx) { moveto(L, index2addr(L, fromidx), toidx); }

void lua_pushvalue(lua_State* L, int idx)
{
    setobj(L->top, index2addr(L, idx));
    api_incr_top(L);
}

int lua_type(lua_State* L, int idx)
{
    StkId o = index2addr(L, idx);
    return isvalid(o) ? ttypenv(o) : LUA_TNONE;
}

const char* lua_typename(lua_State*, int t) { return ttypename(t); }

int lua_iscfunction(lua_State* L, int idx)
{
    StkId o = index2addr(L, idx);
    return ttislcf(o) || ttisCclosure(o);
}

int lua_isnumber(lua_State* L, int idx)
{
    TValue n;
    const TValue* o = index2addr(L, idx);
    return tonumber(o, &n);
}

int lua_isstring(lua_State* L, int idx)
{
    int t = lua_type(L, idx);
    return t == LUA_TSTRING || t == LUA_TNUMBER;
}

int lua_isuserdata(lua_State* L, int idx)
{
    const TValue* o = index2addr(L, idx);
    return ttisuserdata(o) || ttislightuserdata(o);
}

int lua_rawequal(lua_State* L, int index1, int index2)
{
    StkId o1 = index2addr(L, index1);
    StkId o2 = index2addr(L, index2);
    return isvalid(o1) && isvalid(o2) && luaV_rawequalobj(o1, o2);
}

void lua_arith(lua_State* L, int op)
{
    if (op == LUA_OPUNM) {
        setobj(L->top, L->top - 1);
        L->top++;
    }
    StkId o1 = L->top - 2;
    StkId o2 = L->top - 1;
    luaV_arith(L, o1, o1, o2, TMS(op - LUA_OPADD + TM_ADD));
    L->top--;
}

int lua_compare(lua_State* L, int index1, int index2, int op)
{
    StkId o1 = index2addr(L, index1);
    StkId o2 = index2addr(L, index2);
    if (!isvalid(o1) || !isvalid(o2)) return 0;
    switch (op) {
    case LUA_OPEQ: return equalobj(L, o1, o2);
    case LUA_OPLT: return luaV_lessthan(L, o1, o2);
    case LUA_OPLE: return luaV_lessequal(L, o1, o2);
    default: return 0;
    }
}

lua_Number lua_tonumberx(lua_State* L, int idx, int* isnum)
{
    TValue n;
    const TValue* o = index2addr(L, idx);
    if (tonumber(o, &n)) {
        if (isnum) *isnum = 1;
        return nvalue(o);
    }
    if (isnum) *isnum = 0;
    return 0;
}

lua_Integer lua_tointegerx(lua_State* L, int idx, int* isnum)
{
    return lua_tonumberx(L, idx, isnum) >> 16;
}

lua_Unsigned lua_tounsignedx(lua_State* L, int idx, int* isnum)
{
    return lua_Unsigned(lua_tonumberx(L, idx, isnum) >> 16);
}

int lua_toboolean(lua_State* L, int idx)
{
    const TValue* o = index2addr(L, idx);
    return !l_isfalse(o);
}

const char* lua_tolstring(lua_State* L, int idx, size_t* len)
{
    StkId o = index2addr(L, idx);
    if (!ttisstring(o)) {
        if (!luaV_tostring(L, o)) {
            if (len != nullptr) *len = 0;
            return nullptr;
        }
        luaC_checkGC(L);
        o = index2addr(L, idx);  // the collector may have moved the stack
    }
    if (len != nullptr) *len = tsvalue(o)->len;
    return svalue(o);
}

size_t lua_rawlen(lua_State* L, int idx)
{
    StkId o = index2addr(L, idx);
    switch (ttypenv(o)) {
    case LUA_TSTRING: return tsvalue(o)->len;
    case LUA_TUSERDATA: return uvalue(o)->len;
    case LUA_TTABLE: return size_t(luaH_getn(hvalue(o)));
    default: return 0;
    }
}

lua_CFunction lua_tocfunction(lua_State* L, int idx)
{
    StkId o = index2addr(L, idx);
    if (ttislcf(o)) return fvalue(o);
    if (ttisCclosure(o)) return clCvalue(o)->f;
    return nullptr;
}

void* lua_touserdata(lua_State* L, int idx)
{
    StkId o = index2addr(L, idx);
    switch (ttypenv(o)) {
    case LUA_TUSERDATA: return getudatamem(rawuvalue(o));
    case LUA_TLIGHTUSERDATA: return pvalue(o);
    default: return nullptr;
    }
}

lua_State* lua_tothread(lua_State* L, int idx)
{
    StkId o = index2addr(L, idx);
    return !ttisthread(o) ? nullptr : thvalue(o);
}

const void* lua_topointer(lua_State* L, int idx)
{
    StkId o = index2addr(L, idx);
    switch (ttype(o)) {
    case LUA_TTABLE: return hvalue(o);
    case LUA_TLCL: return clLvalue(o);
    case LUA_TCCL: return clCvalue(o);
    case LUA_TLCF: return reinterpret_cast<void*>(fvalue(o));
    case LUA_TTHREAD: return thvalue(o);
    case LUA_TUSERDATA:
    case LUA_TLIGHTUSERDATA: return lua_touserdata(L, idx);
    default: return nullptr;
    }
}

void lua_pushnil(lua_State* L)
{
    setnilvalue(L->top);
    api_incr_top(L);
}

void lua_pushnumber(lua_State* L, lua_Number n)
{
    setnvalue(L->top, n);
    api_incr_top(L);
}

void lua_pushinteger(lua_State* L, lua_Integer n)
{
    setnvalue(L->top, n);
    api_incr_top(L);
}

void lua_pushunsigned(lua_State* L, lua_Unsigned u)
{
    setnvalue(L->top, fix32(u << 16));
    api_incr_top(L);
}

const char* lua_pushlstring(lua_State* L, const char* s, size_t len)
{
    luaC_checkGC(L);
    TString* ts = luaS_newlstr_host(L, s, len);
    setsvalue(L->top, ts);
    api_incr_top(L);
    return getstr(ts);
}

const char* lua_pushstring(lua_State* L, const char* s)
{
    if (s == nullptr) {
        lua_pushnil(L);
        return nullptr;
    }
    return lua_pushlstring(L, s, strlen(s));
}

const char* lua_pushvfstring(lua_State* L, const char* fmt, va_list argp)
{
    luaC_checkGC(L);
    return luaO_pushvfstring(L, fmt, argp);
}

const char* lua_pushfstring(lua_State* L, const char* fmt, ...)
{
    luaC_checkGC(L);
    va_list argp;
    va_start(argp, fmt);
    const char* ret = luaO_pushvfstring(L, fmt, argp);
    va_end(argp);
    return ret;
}

void lua_pushcclosure(lua_State* L, lua_CFunction fn, int n)
{
    if (n == 0) {
        setfvalue(L->top, fn);
    } else {
        luaC_checkGC(L);
        CClosure* cl = luaF_newCclosure(L, n);
        cl->f = fn;
        L->top -= n;
        while (n--) setobj(&cl->upvalue[n], L->top + n);
        setclCvalue(L->top, cl);
    }
    api_incr_top(L);
}

void lua_pushboolean(lua_State* L, int b)
{
    setbvalue(L->top, (b != 0));
    api_incr_top(L);
}

void lua_pushlightuserdata(lua_State* L, void* p)
{
    setpvalue(L->top, p);
    api_incr_top(L);
}

int lua_pushthread(lua_State* L)
{
    setthvalue(L->top, L);
    api_incr_top(L);
    return G(L)->mainthread == L;
}

void lua_getglobal(lua_State* L, const char* var)
{
    Table* reg = hvalue(&G(L)->l_registry);
    const TValue* gt = luaH_getint(reg, LUA_RIDX_GLOBALS);
    setsvalue(L->top++, luaS_new(L, var));  // the key, replaced by the value
    luaV_gettable(L, gt, L->top - 1, L->top - 1);
}

void lua_gettable(lua_State* L, int idx)
{
    StkId t = index2addr(L, idx);
    luaV_gettable(L, t, L->top - 1, L->top - 1);
}

void lua_getfield(lua_State* L, int idx, const char* k)
{
    StkId t = index2addr(L, idx);
    setsvalue(L->top, luaS_new(L, k));
    api_incr_top(L);
    luaV_gettable(L, t, L->top - 1, L->top - 1);
}

void lua_rawget(lua_State* L, int idx)
{
    StkId t = index2addr(L, idx);
    setobj(L->top - 1, luaH_get(hvalue(t), L->top - 1));
}

void lua_rawgeti(lua_State* L, int idx, int n)
{
    StkId t = index2addr(L, idx);
    setobj(L->top, luaH_getint(hvalue(t), n));
    api_incr_top(L);
}

void lua_rawgetp(lua_State* L, int idx, const void* p)
{
    StkId t = index2addr(L, idx);
    TValue k;
    setpvalue(&k, const_cast<void*>(p));
    setobj(L->top, luaH_get(hvalue(t), &k));
    api_incr_top(L);
}

void lua_createtable(lua_State* L, int narray, int nrec)
{
    luaC_checkGC(L);
    Table* t = luaH_new(L);
    sethvalue(L->top, t);
    api_incr_top(L);
    if (narray > 0 || nrec > 0) luaH_resize(L, t, narray, nrec);
}

int lua_getmetatable(lua_State* L, int objindex)
{
    const TValue* obj = index2addr(L, objindex);
    Table* mt;
    switch (ttypenv(obj)) {
    case LUA_TTABLE: mt = hvalue(obj)->metatable; break;
    case LUA_TUSERDATA: mt = uvalue(obj)->metatable; break;
    default: mt = G(L)->mt[ttypenv(obj)]; break;
    }
    if (mt == nullptr) return 0;
    sethvalue(L->top, mt);
    api_incr_top(L);
    return 1;
}

void lua_getuservalue(lua_State* L, int idx)
{
    StkId o = index2addr(L, idx);
    if (uvalue(o)->env) {
        sethvalue(L->top, uvalue(o)->env);
    } else {
        setnilvalue(L->top);
    }
    api_incr_top(L);
}

void lua_setglobal(lua_State* L, const char* var)
{
    Table* reg = hvalue(&G(L)->l_registry);
    const TValue* gt = luaH_getint(reg, LUA_RIDX_GLOBALS);
    setsvalue(L->top++, luaS_new(L, var));
    luaV_settable(L, gt, L->top - 1, L->top - 2);
    L->top -= 2;
}

void lua_settable(lua_State* L, int idx)
{
    StkId t = index2addr(L, idx);
    luaV_settable(L, t, L->top - 2, L->top - 1);
    L->top -= 2;
}

void lua_setfield(lua_State* L, int idx, const char* k)
{
    StkId t = index2addr(L, idx);
    setsvalue(L->top++, luaS_new(L, k));
    luaV_settable(L, t, L->top - 1, L->top - 2);
    L->top -= 2;
}

void lua_rawset(lua_State* L, int idx)
{
    StkId t = index2addr(L, idx);
    setobj(luaH_set(L, hvalue(t), L->top - 2), L->top - 1);
    luaH_stored(G(L), hvalue(t));
    L->top -= 2;
}

void lua_rawseti(lua_State* L, int idx, int n)
{
    StkId t = index2addr(L, idx);
    luaH_setint(L, hvalue(t), n, L->top - 1);
    L->top--;
}

void lua_rawsetp(lua_State* L, int idx, const void* p)
{
    StkId t = index2addr(L, idx);
    TValue k;
    setpvalue(&k, const_cast<void*>(p));
    setobj(luaH_set(L, hvalue(t), &k), L->top - 1);
    luaH_changed(G(L), hvalue(t));
    L->top--;
}

int lua_setmetatable(lua_State* L, int objindex)
{
    TValue* obj = index2addr(L, objindex);
    Table* mt = ttisnil(L->top - 1) ? nullptr : hvalue(L->top - 1);
    switch (ttypenv(obj)) {
    case LUA_TTABLE:
        hvalue(obj)->metatable = mt;
        luaH_changed(G(L), hvalue(obj));
        if (mt) luaC_checkfinalizer(L, gcvalue(obj), mt);
        break;
    case LUA_TUSERDATA:
        uvalue(obj)->metatable = mt;
        if (mt) luaC_checkfinalizer(L, gcvalue(obj), mt);
        break;
    default: G(L)->mt[ttypenv(obj)] = mt; break;
    }
    L->top--;
    return 1;
}

void lua_setuservalue(lua_State* L, int idx)
{
    StkId o = index2addr(L, idx);
    uvalue(o)->env = ttisnil(L->top - 1) ? nullptr : hvalue(L->top - 1);
    L->top--;
}

#define checkresults(L, na, nr) ((void)0)

int lua_getctx(lua_State* L, int* ctx)
{
    if (L->ci->callstatus & CIST_YIELDED) {
        if (ctx) *ctx = L->ci->u.c.ctx;
        return L->ci->u.c.status;
    }
    return LUA_OK;
}

static void adjustresults(lua_State* L, int nres)
{
    if (nres == LUA_MULTRET && L->ci->top < L->top) L->ci->top = L->top;
}

void lua_callk(lua_State* L, int nargs, int nresults, int ctx, lua_CFunction k)
{
    StkId func = L->top - (nargs + 1);
    if (k != nullptr && L->nny == 0) {
        L->ci->u.c.k = k;
        L->ci->u.c.ctx = ctx;
        luaD_call(L, func, nresults, 1);
    } else {
        luaD_call(L, func, nresults, 0);
    }
    adjustresults(L, nresults);
}

struct CallS {
    StkId func;
    int nresults;
};

static void f_call(lua_State* L, void* ud)
{
    CallS* c = static_cast<CallS*>(ud);
    luaD_call(L, c->func, c->nresults, 0);
}

int lua_pcallk(lua_State* L, int nargs, int nresults, int errfunc, int ctx, lua_CFunction k)
{
    ptrdiff_t func = 0;
    if (errfunc != 0) func = savestack(L, index2addr(L, errfunc));
    CallS c;
    c.func = L->top - (nargs + 1);
    int status;
    if (k == nullptr || L->nny > 0) {
        c.nresults = nresults;
        status = luaD_pcall(L, f_call, &c, savestack(L, c.func), func);
    } else {
        // A yieldable protected call: errors are recovered by lua_resume.
        CallInfo* ci = L->ci;
        ci->u.c.k = k;
        ci->u.c.ctx = ctx;
        ci->extra = savestack(L, c.func);
        ci->u.c.old_allowhook = L->allowhook;
        ci->u.c.old_errfunc = L->errfunc;
        L->errfunc = func;
        ci->callstatus |= CIST_YPCALL;
        luaD_call(L, c.func, nresults, 1);
        ci->callstatus &= lu_byte(~CIST_YPCALL);
        L->errfunc = ci->u.c.old_errfunc;
        status = LUA_OK;
    }
    adjustresults(L, nresults);
    return status;
}

// Wraps a main prototype in a closure whose one upvalue (_ENV) is the
// globals table, and pushes it.
static void pushmainclosure(lua_State* L, Proto* p)
{
    LClosure* cl = luaF_newLclosure(L, p->sizeupvalues);
    cl->p = p;
    setclLvalue(L->top, cl);
    api_incr_top(L);
    for (int i = 0; i < cl->nupvalues; i++) cl->upvals[i] = luaF_newupval(L);
    if (cl->nupvalues >= 1) {
        Table* reg = hvalue(&G(L)->l_registry);
        setobj(cl->upvals[0]->v, luaH_getint(reg, LUA_RIDX_GLOBALS));
    }
}

struct LoadP {
    const char* buff;
    size_t size;
    const char* name;
    bool binary;
};

static void f_load(lua_State* L, void* ud)
{
    LoadP* lp = static_cast<LoadP*>(ud);
    if (lp->binary) {
        luaU_undump_buffer(L, lp->buff, lp->size, lp->name);
        return;
    }
    if (lp->size > 0 && lp->buff[0] == LUA_SIGNATURE[0]) {
        // Precompiled chunks are never accepted from program text.
        luaO_pushfstring(L, "attempt to load a %s chunk (mode is '%s')", "binary", "t");
        luaD_throw(L, LUA_ERRSYNTAX);
    }
    ZIO z;
    luaZ_init(&z, lp->buff, lp->size);
    Proto* p = nullptr;
    int status = luaD_protectedparser(L, &z, lp->name, &p);
    if (status != LUA_OK) luaD_throw(L, status);
    pushmainclosure(L, p);
}

// Compiles a chunk (the parser's objects are not anchored on the stack, so
// no collection may run until the closure is pushed).
static int load_chunk(lua_State* L, LoadP* lp)
{
    global_State* g = G(L);
    int status = LUA_OK;
    for (int attempt = 0; attempt < 2; attempt++) {
        if (attempt == 1) {
            // Out of memory while collections were held off: collect, retry once.
            if (status != LUA_ERRMEM || g->gcinprogress) break;
            lua_pop(L, 1);
            luaC_fullgc(L, 1);
        }
        g->gcblocked++;
        L->nny++;
        status = luaD_pcall(L, f_load, lp, savestack(L, L->top), L->errfunc);
        L->nny--;
        g->gcblocked--;
        if (status == LUA_OK) break;
    }
    return status;
}

// Reads a whole chunk and hands it to the parser; binary chunks are refused.
int lua_load(lua_State* L, lua_Reader reader, void* data, const char* chunkname, const char* mode)
{
    if (!chunkname) chunkname = "?";
    size_t total = 0, cap = 0;
    char* buf = nullptr;
    for (;;) {
        size_t size;
        const char* piece = reader(L, data, &size);
        if (piece == nullptr || size == 0) break;
        if (total + size > cap) {
            size_t ncap = (total + size) * 2;
            buf = static_cast<char*>(luaM_realloc_(L, buf, cap, ncap));
            cap = ncap;
        }
        memcpy(buf + total, piece, size);
        total += size;
    }
    LoadP lp{buf ? buf : "", total, chunkname, false};
    int status = load_chunk(L, &lp);
    if (buf) luaM_freemem(L, buf, cap);
    return status;
}

int lua_status(lua_State* L) { return L->status; }

int lua_gc(lua_State* L, int what, int data)
{
    global_State* g = G(L);
    switch (what) {
    case LUA_GCSTOP: g->gcrunning = 0; return 0;
    case LUA_GCRESTART:
        g->gcrunning = 1;
        return 0;
    case LUA_GCCOLLECT: luaC_fullgc(L, 0); return 0;
    case LUA_GCCOUNT: return int(g->totalbytes >> 10);
    case LUA_GCCOUNTB: return int(g->totalbytes & 0x3ff);
    case LUA_GCSTEP:
        if (g->gcrunning) luaC_fullgc(L, 0);
        return 1;
    case LUA_GCSETPAUSE: {
        int old = g->gcpause;
        g->gcpause = data;
        return old;
    }
    case LUA_GCSETSTEPMUL: {
        int old = g->gcstepmul;
        g->gcstepmul = data;
        return old;
    }
    case LUA_GCISRUNNING: return g->gcrunning;
    default: return -1;
    }
}

int lua_error(lua_State* L) { luaG_errormsg(L); }

int lua_next(lua_State* L, int idx)
{
    StkId t = index2addr(L, idx);
    int more = luaH_next(L, hvalue(t), L->top - 1);
    if (more) api_incr_top(L);
    else L->top -= 1;
    return more;
}

void lua_concat(lua_State* L, int n)
{
    if (n >= 2) {
        luaC_checkGC(L);
        luaV_concat(L, n);
    } else if (n == 0) {
        setsvalue(L->top, luaS_newlstr(L, "", 0));
        api_incr_top(L);
    }
}

void lua_len(lua_State* L, int idx)
{
    StkId t = index2addr(L, idx);
    luaV_objlen(L, L->top, t);
    api_incr_top(L);
}

lua_Alloc lua_getallocf(lua_State* L, void** ud)
{
    if (ud) *ud = G(L)->ud;
    return G(L)->frealloc;
}

void* lua_newuserdata(lua_State* L, size_t size)
{
    luaC_checkGC(L);
    Udata* u = luaS_newudata(L, size, nullptr);
    setuvalue(L->top, u);
    api_incr_top(L);
    return getudatamem(u);
}

// Loads a chunk precompiled by the stock compiler (tests and tools only).
int orbo_load_binary(lua_State* L, const char* buff, size_t size, const char* name)
{
    LoadP lp{buff, size, name, true};
    return load_chunk(L, &lp);
}
