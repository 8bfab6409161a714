#include "lstring.h"

#include <cstring>

#include "lgc.h"
#include "lmem.h"

unsigned int luaS_hash(const char* str, size_t l, unsigned int seed)
{
    unsigned int h = seed ^ cast(unsigned int, l);
    size_t step = (l >> LUAI_HASHLIMIT) + 1;
    for (size_t l1 = l; l1 >= step; l1 -= step) h = h ^ ((h << 5) + (h >> 2) + cast_byte(str[l1 - 1]));
    return h;
}

bool luaS_eqlngstr(TString* a, TString* b)
{
    size_t len = a->len;
    return a == b || (len == b->len && memcmp(getstr(a), getstr(b), len) == 0);
}

void luaS_resize(lua_State* L, int newsize)
{
    stringtable* tb = &G(L)->strt;
    if (newsize > tb->size) {
        luaM_reallocvector(L, tb->hash, tb->size, newsize, GCObject*);
        for (int i = tb->size; i < newsize; i++) tb->hash[i] = nullptr;
    }
    // Rehash every chain; entries move only to slots below newsize.
    for (int i = 0; i < tb->size; i++) {
        GCObject* p = tb->hash[i];
        tb->hash[i] = nullptr;
        while (p) {
            GCObject* next = p->next;
            unsigned int h = static_cast<TString*>(p)->hash;
            int h1 = lmod(h, newsize);
            p->next = tb->hash[h1];
            tb->hash[h1] = p;
            p = next;
        }
    }
    if (newsize < tb->size) {
        lua_assert(tb->hash[newsize] == nullptr && tb->hash[tb->size - 1] == nullptr);
        luaM_reallocvector(L, tb->hash, tb->size, newsize, GCObject*);
    }
    tb->size = newsize;
}

static TString* allocstrobj(lua_State* L, size_t l, int tag, unsigned int h, GCObject** list)
{
    size_t totalsize = sizestring(l);
    TString* ts = static_cast<TString*>(luaC_newobj(L, tag, totalsize, list, 0));
    ts->len = l;
    ts->hash = h;
    ts->extra = 0;
    ts->slot = 0;
    getstr(ts)[l] = '\0';
    return ts;
}

static TString* createstrobj(lua_State* L, const char* str, size_t l, int tag, unsigned int h, GCObject** list)
{
    TString* ts = allocstrobj(L, l, tag, h, list);
    memcpy(getstr(ts), str, l);
    return ts;
}

static TString* newshrstr(lua_State* L, const char* str, size_t l, unsigned int h)
{
    stringtable* tb = &G(L)->strt;
    if (tb->nuse >= cast(lu_int32, tb->size) && tb->size <= MAX_INT / 2) luaS_resize(L, tb->size * 2);
    GCObject** list = &tb->hash[lmod(h, tb->size)];
    TString* s = createstrobj(L, str, l, LUA_TSHRSTR, h, list);
    tb->nuse++;
    return s;
}

static TString* internshrstr(lua_State* L, const char* str, size_t l)
{
    global_State* g = G(L);
    unsigned int h = luaS_hash(str, l, g->seed);
    for (GCObject* o = g->strt.hash[lmod(h, g->strt.size)]; o != nullptr; o = o->next) {
        TString* ts = static_cast<TString*>(o);
        if (h == ts->hash && l == ts->len && memcmp(str, getstr(ts), l) == 0) return ts;
    }
    return newshrstr(L, str, l, h);
}

TString* luaS_newlstr(lua_State* L, const char* str, size_t l)
{
    if (l <= LUAI_MAXSHORTLEN) return internshrstr(L, str, l);
    if (l + 1 > (MAX_SIZET - sizeof(TString)) / sizeof(char)) luaM_toobig(L);
    return createstrobj(L, str, l, LUA_TLNGSTR, G(L)->seed, nullptr);
}

TString* luaS_newlstr_host(lua_State* L, const char* str, size_t l)
{
    if (l > LUAI_MAXSHORTLEN) return luaS_newlstr(L, str, l);
    uintptr_t a = reinterpret_cast<uintptr_t>(str);
    string_memo& m = G(L)->caches.string_memos[((a >> 3) ^ (a >> 9) ^ l) % STRING_MEMOS];
    if (m.text == str && m.ts != nullptr && m.ts->len == l && memcmp(getstr(m.ts), str, l) == 0) return m.ts;
    TString* ts = internshrstr(L, str, l);
    m = {str, ts};
    return ts;
}

TString* luaS_newlngstr(lua_State* L, size_t l)
{
    lua_assert(l > LUAI_MAXSHORTLEN);
    if (l + 1 > (MAX_SIZET - sizeof(TString)) / sizeof(char)) luaM_toobig(L);
    return allocstrobj(L, l, LUA_TLNGSTR, G(L)->seed, nullptr);
}

TString* luaS_new(lua_State* L, const char* str) { return luaS_newlstr(L, str, strlen(str)); }
