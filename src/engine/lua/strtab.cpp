// Interned strings: every string lives once in the state's string table,
// chained by the GC header's next pointer, so equality is identity.
#include <cstring>

#include "engine/lua/internal.h"

// Long strings hash a sample of at most 32 characters.
#define HASH_SAMPLE_LOG 5

unsigned int luaS_hash(const char* str, size_t l, unsigned int seed)
{
    unsigned int h = seed ^ unsigned(l);
    size_t step = (l >> HASH_SAMPLE_LOG) + 1;
    for (size_t l1 = l; l1 >= step; l1 -= step) h ^= (h << 5) + (h >> 2) + lu_byte(str[l1 - 1]);
    return h;
}

void luaS_resize(lua_State* L, int newsize)
{
    stringtable* tb = &G(L)->strt;
    GCObject** newhash = luaM_newvector(L, newsize, GCObject*);
    for (int i = 0; i < newsize; i++) newhash[i] = nullptr;
    for (int i = 0; i < tb->size; i++) {
        GCObject* p = tb->hash[i];
        while (p) {
            GCObject* next = gch(p)->next;
            unsigned int h = lmod(gco2ts(p).hash, newsize);
            gch(p)->next = newhash[h];
            newhash[h] = p;
            p = next;
        }
    }
    luaM_freearray(L, tb->hash, tb->size);
    tb->hash = newhash;
    tb->size = newsize;
}

static TString* createstrobj(lua_State* L, const char* str, size_t l, unsigned int h)
{
    stringtable* tb = &G(L)->strt;
    if (l + 1 > (MAX_SIZET - sizeof(TString))) luaM_toobig(L);
    size_t totalsize = sizeof(TString) + l + 1;
    auto* ts = static_cast<TString*>(luaM_newobject(L, LUA_TSTRING, totalsize));
    ts->tt = LUA_TSTRING;
    ts->marked = G(L)->currentwhite;
    ts->extra = 0;
    ts->len = l;
    ts->hash = h;
    memcpy(getstr(ts), str, l);
    getstr(ts)[l] = '\0';
    GCObject** list = &tb->hash[lmod(h, tb->size)];
    ts->next = *list;
    *list = obj2gco(ts);
    tb->nuse++;
    return ts;
}

TString* luaS_newlstr(lua_State* L, const char* str, size_t l)
{
    global_State* g = G(L);
    unsigned int h = luaS_hash(str, l, g->seed);
    for (GCObject* o = g->strt.hash[lmod(h, g->strt.size)]; o != nullptr; o = gch(o)->next) {
        TString* ts = &gco2ts(o);
        if (ts->hash == h && ts->len == l && memcmp(str, getstr(ts), l) == 0) {
            return ts;
        }
    }
    if (g->strt.nuse >= uint32_t(g->strt.size) && g->strt.size <= MAX_INT / 2) luaS_resize(L, g->strt.size * 2);
    return createstrobj(L, str, l, h);
}

TString* luaS_new(lua_State* L, const char* str) { return luaS_newlstr(L, str, strlen(str)); }

Udata* luaS_newudata(lua_State* L, size_t s, Table* e)
{
    if (s > MAX_SIZET - sizeof(Udata)) luaM_toobig(L);
    GCObject* o = luaC_newobj(L, LUA_TUSERDATA, sizeof(Udata) + s, nullptr, 0);
    Udata* u = &gco2u(o);
    u->len = s;
    u->metatable = nullptr;
    u->env = e;
    return u;
}

void luaS_freeall(lua_State* L)
{
    stringtable* tb = &G(L)->strt;
    for (int i = 0; i < tb->size; i++) {
        GCObject* p = tb->hash[i];
        while (p) {
            GCObject* next = gch(p)->next;
            luaM_freemem(L, p, sizeof(TString) + gco2ts(p).len + 1);
            p = next;
        }
        tb->hash[i] = nullptr;
    }
    tb->nuse = 0;
}
