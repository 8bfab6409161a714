#include "lgc.h"

#include "lfunc.h"
#include "lmem.h"
#include "lstring.h"

GCObject* luaC_newobj(lua_State* L, int tt, size_t sz, GCObject** list, int offset)
{
    global_State* g = G(L);
    char* raw = cast(char*, luaM_newobject(L, tt & 0x0f, sz));
    GCObject* o = reinterpret_cast<GCObject*>(raw + offset);
    if (list == nullptr) list = &g->allgc;
    o->marked = 0;
    o->tt = cast_byte(tt);
    o->next = *list;
    *list = o;
    return o;
}

void luaC_freeobj(lua_State* L, GCObject* o)
{
    switch (o->tt) {
    case LUA_TPROTO: luaF_freeproto(L, static_cast<Proto*>(o)); break;
    case LUA_TSHRSTR:
        G(L)->strt.nuse--;
        luaM_freemem(L, o, sizestring(static_cast<TString*>(o)->len));
        break;
    case LUA_TLNGSTR: luaM_freemem(L, o, sizestring(static_cast<TString*>(o)->len)); break;
    default: lua_assert(0);
    }
}

void luaC_freeallobjects(lua_State* L)
{
    global_State* g = G(L);
    while (g->allgc) {
        GCObject* o = g->allgc;
        g->allgc = o->next;
        luaC_freeobj(L, o);
    }
    for (int i = 0; i < g->strt.size; i++) {
        while (g->strt.hash[i]) {
            GCObject* o = g->strt.hash[i];
            g->strt.hash[i] = o->next;
            luaC_freeobj(L, o);
        }
    }
}
