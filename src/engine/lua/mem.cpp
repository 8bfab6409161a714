// Every block of the engine goes through the state's allocator. A failed
// request is retried once after an emergency collection; a second failure
// raises "not enough memory".
#include "engine/lua/internal.h"

#define MINSIZEARRAY 4

void* luaM_growaux_(lua_State* L, void* block, int* size, size_t size_elems, int limit, const char* what)
{
    int newsize;
    if (*size >= limit / 2) {
        if (*size >= limit) luaG_runerror(L, "too many %s (limit is %d)", what, fix_from_int(limit));
        newsize = limit;
    } else {
        newsize = (*size) * 2;
        if (newsize < MINSIZEARRAY) newsize = MINSIZEARRAY;
    }
    void* newblock = luaM_reallocv(L, block, size_t(*size), size_t(newsize), size_elems);
    *size = newsize;
    return newblock;
}

void luaM_toobig(lua_State* L) { luaG_runerror(L, "memory allocation error: block too big"); }

void* luaM_realloc_(lua_State* L, void* block, size_t osize, size_t nsize)
{
    global_State* g = G(L);
    size_t realosize = block ? osize : 0;
    void* newblock = g->frealloc(g->ud, block, osize, nsize);
    if (newblock == nullptr && nsize > 0) {
        if (g->mainthread && !g->gcinprogress) {
            luaC_fullgc(L, 1);
            newblock = g->frealloc(g->ud, block, osize, nsize);
        }
        if (newblock == nullptr) luaD_throw(L, LUA_ERRMEM);
    }
    g->totalbytes = g->totalbytes - realosize + nsize;
    return newblock;
}
