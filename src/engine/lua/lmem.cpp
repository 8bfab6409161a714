#include "lmem.h"

#include "ldo.h"
#include "lgc.h"
#include "lobject.h"

#define MINSIZEARRAY 4

void* luaM_growaux_(lua_State* L, void* block, int* size, size_t size_elems, int limit, const char* what)
{
    int newsize;
    if (*size >= limit / 2) {
        if (*size >= limit) {
            luaO_pushfstring(L, "too many %s (limit is %d)", what, luaO_fint(limit));
            luaD_throw(L, LUA_ERRRUN);
        }
        newsize = limit;
    } else {
        newsize = (*size) * 2;
        if (newsize < MINSIZEARRAY) newsize = MINSIZEARRAY;
    }
    void* newblock = luaM_reallocv(L, block, *size, newsize, size_elems);
    *size = newsize;
    return newblock;
}

void luaM_toobig(lua_State* L)
{
    luaO_pushfstring(L, "memory allocation error: block too big");
    luaD_throw(L, LUA_ERRRUN);
}

void* luaM_realloc_refused(lua_State* L, void* block, size_t osize, size_t nsize)
{
    global_State* g = G(L);
    void* newblock = nullptr;
    if (L->ci != nullptr && !g->gcinprogress && g->gcblocked == 0) {
        luaC_fullgc(L, 1);
        newblock = (*g->frealloc)(g->ud, block, osize, nsize);
    }
    if (newblock == nullptr) luaD_throw(L, LUA_ERRMEM);
    g->totalbytes = g->totalbytes + nsize - (block ? osize : 0);
    return newblock;
}
