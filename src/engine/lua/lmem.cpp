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

void* luaM_realloc_(lua_State* L, void* block, size_t osize, size_t nsize)
{
    global_State* g = G(L);
    size_t realosize = block ? osize : 0;
    void* newblock = (*g->frealloc)(g->ud, block, osize, nsize);
    if (newblock == nullptr && nsize > 0 && L->ci != nullptr && !g->gcinprogress && g->gcblocked == 0) {
        luaC_fullgc(L, 1);  // emergency collection, then one more try
        newblock = (*g->frealloc)(g->ud, block, osize, nsize);
    }
    if (newblock == nullptr && nsize > 0) luaD_throw(L, LUA_ERRMEM);
    g->totalbytes = g->totalbytes + nsize - realosize;
    return newblock;
}
