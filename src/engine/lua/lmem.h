// Memory primitives over the state's single allocation function.
#pragma once
#include "lstate.h"

#define luaM_reallocv(L, b, on, n, e) \
    (((size_t)((n) + 1) > MAX_SIZET / (e)) ? (luaM_toobig(L), (void*)0) : luaM_realloc_(L, (b), (on) * (e), (n) * (e)))

#define luaM_freemem(L, b, s) luaM_realloc_(L, (b), (s), 0)
#define luaM_free(L, b) luaM_realloc_(L, (b), sizeof(*(b)), 0)
#define luaM_freearray(L, b, n) luaM_reallocv(L, (b), n, 0, sizeof((b)[0]))
#define luaM_malloc(L, s) luaM_realloc_(L, NULL, 0, (s))
#define luaM_newvector(L, n, t) cast(t*, luaM_reallocv(L, NULL, 0, n, sizeof(t)))
// New collectable object: osize carries its kind for the allocator.
#define luaM_newobject(L, tag, s) luaM_realloc_(L, NULL, tag, (s))

#define luaM_growvector(L, v, nelems, size, t, limit, e) \
    if ((nelems) + 1 > (size)) ((v) = cast(t*, luaM_growaux_(L, v, &(size), sizeof(t), limit, e)))
#define luaM_reallocvector(L, v, oldn, n, t) ((v) = cast(t*, luaM_reallocv(L, v, oldn, n, sizeof(t))))

[[noreturn]] void luaM_toobig(lua_State* L);
// A refused request: an emergency collection and one more try, else a
// memory error.
void* luaM_realloc_refused(lua_State* L, void* block, size_t oldsize, size_t size);
// Every block goes through here; the allocator's answer is checked and the
// count of allocated bytes (which paces the collector) kept.
inline void* luaM_realloc_(lua_State* L, void* block, size_t osize, size_t nsize)
{
    global_State* g = G(L);
    void* newblock = (*g->frealloc)(g->ud, block, osize, nsize);
    if (__builtin_expect(newblock == nullptr && nsize > 0, 0)) return luaM_realloc_refused(L, block, osize, nsize);
    g->totalbytes = g->totalbytes + nsize - (block ? osize : 0);
    return newblock;
}
void* luaM_growaux_(lua_State* L, void* block, int* size, size_t size_elem, int limit, const char* what);
