// Prototypes, closures and upvalues. An open upvalue points at a live
// stack slot and sits on its thread's open list (sorted by stack level,
// highest first) and on the global doubly linked list of open upvalues;
// closing copies the slot's value into the upvalue itself.
#include "engine/lua/internal.h"

CClosure* luaF_newCclosure(lua_State* L, int n)
{
    CClosure* c = gco2ccl(luaC_newobj(L, LUA_TCCL, sizeCclosure(n), nullptr, 0));
    c->nupvalues = cast_byte(n);
    c->gclist = nullptr;
    return c;
}

LClosure* luaF_newLclosure(lua_State* L, int n)
{
    LClosure* c = gco2lcl(luaC_newobj(L, LUA_TLCL, sizeLclosure(n), nullptr, 0));
    c->p = nullptr;
    c->nupvalues = cast_byte(n);
    c->gclist = nullptr;
    while (n--) c->upvals[n] = nullptr;
    return c;
}

UpVal* luaF_newupval(lua_State* L)
{
    UpVal* uv = gco2uv(luaC_newobj(L, LUA_TUPVAL, sizeof(UpVal), nullptr, 0));
    uv->v = &uv->u.value;
    setnilvalue(uv->v);
    return uv;
}

UpVal* luaF_findupval(lua_State* L, StkId level)
{
    global_State* g = G(L);
    GCObject** pp = &L->openupval;
    UpVal* p;
    while (*pp != nullptr && (p = gco2uv(*pp))->v >= level) {
        if (p->v == level) return p;
        pp = &p->next;
    }
    // Not found: create it and link it in both lists.
    UpVal* uv = gco2uv(luaC_newobj(L, LUA_TUPVAL, sizeof(UpVal), pp, 0));
    uv->v = level;
    uv->u.l.prev = &g->uvhead;
    uv->u.l.next = g->uvhead.u.l.next;
    uv->u.l.next->u.l.prev = uv;
    g->uvhead.u.l.next = uv;
    return uv;
}

static void unlinkupval(UpVal* uv)
{
    uv->u.l.next->u.l.prev = uv->u.l.prev;
    uv->u.l.prev->u.l.next = uv->u.l.next;
}

void luaF_freeupval(lua_State* L, UpVal* uv)
{
    if (uv->v != &uv->u.value) unlinkupval(uv);
    luaM_free(L, uv);
}

// Closes every open upvalue at or above level; they move to the
// collector's list of ordinary objects.
void luaF_close(lua_State* L, StkId level)
{
    global_State* g = G(L);
    UpVal* uv;
    while (L->openupval != nullptr && (uv = gco2uv(L->openupval))->v >= level) {
        GCObject* o = obj2gco(uv);
        L->openupval = uv->next;
        unlinkupval(uv);
        setobj(&uv->u.value, uv->v);
        uv->v = &uv->u.value;
        (o)->next = g->allgc;
        g->allgc = o;
    }
}

// Name of the local_number-th local active at pc, or null.
const char* luaF_getlocalname(const Proto* f, int local_number, int pc)
{
    for (int i = 0; i < f->sizelocvars && f->locvars[i].startpc <= pc; i++) {
        if (pc < f->locvars[i].endpc) {
            local_number--;
            if (local_number == 0) return getstr(f->locvars[i].varname);
        }
    }
    return nullptr;
}

Udata* luaS_newudata(lua_State* L, size_t s, Table* e)
{
    if (s > MAX_SIZET - sizeof(Udata)) luaM_toobig(L);
    Udata* u = gco2u(luaC_newobj(L, LUA_TUSERDATA, sizeof(Udata) + s, nullptr, 0));
    u->len = s;
    u->metatable = nullptr;
    u->env = e;
    return u;
}

Proto* luaF_newproto(lua_State* L)
{
    Proto* f = static_cast<Proto*>(luaC_newobj(L, LUA_TPROTO, sizeof(Proto), nullptr, 0));
    f->k = nullptr;
    f->sizek = 0;
    f->p = nullptr;
    f->sizep = 0;
    f->code = nullptr;
    f->cache = nullptr;
    f->sizecode = 0;
    f->lineinfo = nullptr;
    f->sizelineinfo = 0;
    f->upvalues = nullptr;
    f->sizeupvalues = 0;
    f->numparams = 0;
    f->is_vararg = 0;
    f->maxstacksize = 0;
    f->locvars = nullptr;
    f->sizelocvars = 0;
    f->linedefined = 0;
    f->lastlinedefined = 0;
    f->source = nullptr;
    f->gclist = nullptr;
    return f;
}

void luaF_freeproto(lua_State* L, Proto* f)
{
    luaM_freearray(L, f->code, f->sizecode);
    luaM_freearray(L, f->p, f->sizep);
    luaM_freearray(L, f->k, f->sizek);
    luaM_freearray(L, f->lineinfo, f->sizelineinfo);
    luaM_freearray(L, f->locvars, f->sizelocvars);
    luaM_freearray(L, f->upvalues, f->sizeupvalues);
    luaM_free(L, f);
}
