// Tables: an array part for the keys 1..sizearray and a hash part of
// 2^lsizenode nodes, chained scatter table with Brent's variation: a
// colliding key that is not in its main position moves to a free node.
// Only whole numbers 1..32767 (raw 0x10000..0x7fff0000 with zero fraction)
// can live in the array part; every other number key is hashed by its raw
// value. The array size is the largest 2^k such that more than half of the
// slots 1..2^k would be in use, so sizes never exceed 2^15.
#include <cstring>

#include "engine/lua/internal.h"

const TValue luaO_nilobject_ = {{nullptr}, LUA_TNIL, 0};

int luaO_ceillog2(unsigned int x)
{
    int l = 0;
    x--;
    while (x >= 256) {
        l += 8;
        x >>= 8;
    }
    while (x) {
        l++;
        x >>= 1;
    }
    return l;
}

#define MAXBITS 15  // array slots 1..32767 need at most 2^15 slots
#define MAXASIZE (1 << MAXBITS)

static Node dummynode_ = {{{nullptr}, LUA_TNIL, 0}, {{{nullptr}, LUA_TNIL, nullptr}}};
#define dummynode (&dummynode_)
#define isdummy(n) ((n) == dummynode)

static Node* hashpow2(const Table* t, unsigned int n) { return gnode(t, lmod(n, sizenode(t))); }
static Node* hashmod(const Table* t, unsigned int n) { return gnode(t, int(n % unsigned((sizenode(t) - 1) | 1))); }
static Node* hashnum(const Table* t, lua_Number n)
{
    unsigned int u = unsigned(n);
    return hashmod(t, u ^ (u >> 16));
}
static Node* hashpointer(const Table* t, const void* p)
{
    uintptr_t u = reinterpret_cast<uintptr_t>(p);
    return hashmod(t, unsigned(u ^ (u >> 32)));
}

// Main position of a key: where it goes when there is no collision.
static Node* mainposition(const Table* t, const TValue* key)
{
    switch (ttype(key)) {
    case LUA_TNUMBER: return hashnum(t, nvalue(key));
    case LUA_TSHRSTR: return hashpow2(t, rawtsvalue(key)->hash);
    case LUA_TLNGSTR: {
        TString* s = rawtsvalue(key);
        if (s->extra == 0) {  // long strings hash on first use as a key
            s->hash = luaS_hash(getstr(s), s->len, s->hash);
            s->extra = 1;
        }
        return hashpow2(t, s->hash);
    }
    case LUA_TBOOLEAN: return hashpow2(t, unsigned(bvalue(key)));
    case LUA_TLIGHTUSERDATA: return hashpointer(t, pvalue(key));
    case LUA_TLCF: return hashpointer(t, reinterpret_cast<void*>(fvalue(key)));
    default: return hashpointer(t, gcvalue(key));
    }
}

static int arrayindex(const TValue* key)
{
    int k;
    if (ttisnumber(key) && luaH_arraykey(nvalue(key), &k)) return k;
    return -1;
}

// Index of a key in the traversal: array slots first, then nodes.
static int findindex(lua_State* L, Table* t, StkId key)
{
    if (ttisnil(key)) return -1;
    int i = arrayindex(key);
    if (0 < i && i <= t->sizearray) return i - 1;
    Node* n = mainposition(t, key);
    for (;;) {
        // A dead key may still be traversed: it compares by identity.
        if (luaV_rawequalobj(gkey(n), key) ||
            (ttisdeadkey(gkey(n)) && iscollectable(key) && deadvalue(gkey(n)) == gcvalue(key))) {
            i = int(n - gnode(t, 0));
            return i + t->sizearray;
        }
        n = gnext(n);
        if (n == nullptr) luaG_runerror(L, "invalid key to 'next'");
    }
}

int luaH_next(lua_State* L, Table* t, StkId key)
{
    int i = findindex(L, t, key);
    for (i++; i < t->sizearray; i++) {
        if (!ttisnil(&t->array[i])) {
            setnvalue(key, fix_from_int(i + 1));
            setobj(key + 1, &t->array[i]);
            return 1;
        }
    }
    for (i -= t->sizearray; i < sizenode(t); i++) {
        if (!ttisnil(gval(gnode(t, i)))) {
            setobj(key, gkey(gnode(t, i)));
            setobj(key + 1, gval(gnode(t, i)));
            return 1;
        }
    }
    return 0;
}

// Rehash: count the array-candidate keys per slice 2^(i-1)+1 .. 2^i.
static int computesizes(int nums[], int* narray)
{
    int twotoi = 1, a = 0, na = 0, n = 0;
    for (int i = 0; twotoi / 2 < *narray; i++, twotoi *= 2) {
        if (nums[i] > 0) {
            a += nums[i];
            if (a > twotoi / 2) {
                n = twotoi;
                na = a;
            }
        }
        if (a == *narray) break;
    }
    *narray = n;
    return na;
}

static int countint(const TValue* key, int* nums)
{
    int k = arrayindex(key);
    if (k > 0) {
        nums[luaO_ceillog2(unsigned(k))]++;
        return 1;
    }
    return 0;
}

static int numusearray(const Table* t, int* nums)
{
    int ause = 0, i = 1;
    for (int lg = 0, ttlg = 1; lg <= MAXBITS; lg++, ttlg *= 2) {
        int lc = 0;
        int lim = ttlg;
        if (lim > t->sizearray) {
            lim = t->sizearray;
            if (i > lim) break;
        }
        for (; i <= lim; i++)
            if (!ttisnil(&t->array[i - 1])) lc++;
        nums[lg] += lc;
        ause += lc;
    }
    return ause;
}

static int numusehash(const Table* t, int* nums, int* pnasize)
{
    int totaluse = 0, ause = 0;
    int i = sizenode(t);
    while (i--) {
        Node* n = &t->node[i];
        if (!ttisnil(gval(n))) {
            ause += countint(gkey(n), nums);
            totaluse++;
        }
    }
    *pnasize += ause;
    return totaluse;
}

static void setarrayvector(lua_State* L, Table* t, int size)
{
    luaM_reallocvector(L, t->array, t->sizearray, size, TValue);
    for (int i = t->sizearray; i < size; i++) setnilvalue(&t->array[i]);
    t->sizearray = size;
}

static void setnodevector(lua_State* L, Table* t, int size)
{
    int lsize;
    if (size == 0) {
        t->node = dummynode;
        lsize = 0;
    } else {
        lsize = luaO_ceillog2(unsigned(size));
        if (lsize > 30) luaG_runerror(L, "table overflow");
        size = twoto(lsize);
        t->node = luaM_newvector(L, size, Node);
        for (int i = 0; i < size; i++) {
            Node* n = gnode(t, i);
            gnext(n) = nullptr;
            setnilvalue(gkey(n));
            setnilvalue(gval(n));
        }
    }
    t->lsizenode = cast_byte(lsize);
    t->nodemask = unsigned(twoto(lsize) - 1);
    t->lastfree = gnode(t, size);
}

void luaH_resize(lua_State* L, Table* t, int nasize, int nhsize)
{
    luaH_changed(G(L), t);
    int oldasize = t->sizearray;
    int oldhsize = t->lsizenode;
    Node* nold = t->node;
    if (nasize > oldasize) setarrayvector(L, t, nasize);
    setnodevector(L, t, nhsize);
    if (nasize < oldasize) {
        // Move the vanishing array slots into the new hash part.
        t->sizearray = nasize;
        for (int i = nasize; i < oldasize; i++)
            if (!ttisnil(&t->array[i])) luaH_setint(L, t, i + 1, &t->array[i]);
        luaM_reallocvector(L, t->array, oldasize, nasize, TValue);
    }
    for (int i = twoto(oldhsize) - 1; i >= 0; i--) {
        Node* old = nold + i;
        if (!ttisnil(gval(old))) setobj(luaH_set(L, t, gkey(old)), gval(old));
    }
    if (!isdummy(nold)) luaM_freearray(L, nold, size_t(twoto(oldhsize)));
}

void luaH_resizearray(lua_State* L, Table* t, int nasize)
{
    int nsize = isdummy(t->node) ? 0 : sizenode(t);
    luaH_resize(L, t, nasize, nsize);
}

static void rehash(lua_State* L, Table* t, const TValue* ek)
{
    int nums[MAXBITS + 1];
    for (int i = 0; i <= MAXBITS; i++) nums[i] = 0;
    int nasize = numusearray(t, nums);
    int totaluse = nasize;
    totaluse += numusehash(t, nums, &nasize);
    nasize += countint(ek, nums);
    totaluse++;
    int na = computesizes(nums, &nasize);
    luaH_resize(L, t, nasize, totaluse - na);
}

Table* luaH_new(lua_State* L)
{
    Table* t = gco2t(luaC_newobj(L, LUA_TTABLE, sizeof(Table), nullptr, 0));
    t->metatable = nullptr;
    t->flags = cast_byte(~0);
    t->in_chain = 0;
    t->array = nullptr;
    t->sizearray = 0;
    t->gclist = nullptr;
    setnodevector(L, t, 0);
    return t;
}

void luaH_free(lua_State* L, Table* t)
{
    luaH_changed(G(L), t);
    if (!isdummy(t->node)) luaM_freearray(L, t->node, size_t(sizenode(t)));
    luaM_freearray(L, t->array, size_t(t->sizearray));
    luaM_free(L, t);
}

static Node* getfreepos(Table* t)
{
    while (t->lastfree > t->node) {
        t->lastfree--;
        if (ttisnil(gkey(t->lastfree))) return t->lastfree;
    }
    return nullptr;
}

// Inserts a new key. When its main position is taken by a key that is not
// in its own main position, that key moves to a free node; otherwise the
// new key takes the free node. With no free node the table is rehashed.
TValue* luaH_newkey(lua_State* L, Table* t, const TValue* key)
{
    if (ttisnil(key)) luaG_runerror(L, "table index is nil");
    luaH_changed(G(L), t);  // keys may move to other nodes
    Node* mp = mainposition(t, key);
    if (!ttisnil(gval(mp)) || isdummy(mp)) {
        Node* f = getfreepos(t);
        if (f == nullptr) {
            rehash(L, t, key);
            return luaH_set(L, t, key);
        }
        Node* othern = mainposition(t, gkey(mp));
        if (othern != mp) {
            while (gnext(othern) != mp) othern = gnext(othern);
            gnext(othern) = f;
            *f = *mp;
            gnext(mp) = nullptr;
            setnilvalue(gval(mp));
        } else {
            gnext(f) = gnext(mp);
            gnext(mp) = f;
            mp = f;
        }
    }
    setobj(gkey(mp), key);
    return gval(mp);
}

static const TValue* getnum(Table* t, lua_Number key)
{
    for (Node* n = hashnum(t, key); n != nullptr; n = gnext(n))
        if (ttisnumber(gkey(n)) && nvalue(gkey(n)) == key) return gval(n);
    return luaO_nilobject;
}

const TValue* luaH_getint(Table* t, int key)
{
    if (unsigned(key - 1) < unsigned(t->sizearray)) return &t->array[key - 1];
    return getnum(t, fix_from_int(key));  // keys past 32767 wrap like every number
}

// The rest of a collision chain, from n (past the main position).
const TValue* luaH_getshortstr_walk(Table* t, TString* key, Node* n)
{
    for (; n != nullptr; n = gnext(n)) {
        if (ttisshrstring(gkey(n)) && rawtsvalue(gkey(n)) == key) {
            key->slot = static_cast<unsigned short>(n - gnode(t, 0));  // truncated in huge tables: a worse hint
            return gval(n);
        }
    }
    return luaO_nilobject;
}

const TValue* luaH_getstr(Table* t, TString* key) { return luaH_getshortstr(t, key); }

const TValue* luaH_get(Table* t, const TValue* key)
{
    switch (ttype(key)) {
    case LUA_TSHRSTR: return luaH_getstr(t, rawtsvalue(key));
    case LUA_TNIL: return luaO_nilobject;
    case LUA_TNUMBER: {
        lua_Number n = nvalue(key);
        int k;
        if (luaH_arraykey(n, &k) && k <= t->sizearray) return &t->array[k - 1];
        return getnum(t, n);
    }
    default:
        for (Node* n = mainposition(t, key); n != nullptr; n = gnext(n))
            if (luaV_rawequalobj(gkey(n), key)) return gval(n);
        return luaO_nilobject;
    }
}

// The slot for a key, created when absent (the caller stores into it).
TValue* luaH_set(lua_State* L, Table* t, const TValue* key)
{
    const TValue* p = luaH_get(t, key);
    if (p != luaO_nilobject) return const_cast<TValue*>(p);
    return luaH_newkey(L, t, key);
}

void luaH_setint(lua_State* L, Table* t, int key, TValue* value)
{
    const TValue* p = luaH_getint(t, key);
    TValue* cell;
    if (p != luaO_nilobject) {
        cell = const_cast<TValue*>(p);
        luaH_changed(G(L), t);  // a new key is counted by luaH_newkey
    } else {
        TValue k;
        setnvalue(&k, fix_from_int(key));
        cell = luaH_newkey(L, t, &k);
    }
    setobj(cell, value);
}

static int unbound_search(Table* t, unsigned int j)
{
    unsigned int i = j;
    j++;
    if (j > 32767) return int(i);
    while (!ttisnil(luaH_getint(t, int(j)))) {
        i = j;
        j *= 2;
        if (j > 32767) {
            // Past the representable keys: find the border linearly.
            i = 1;
            while (!ttisnil(luaH_getint(t, int(i)))) i++;
            return int(i - 1);
        }
    }
    while (j - i > 1) {
        unsigned int m = (i + j) / 2;
        if (ttisnil(luaH_getint(t, int(m)))) j = m;
        else i = m;
    }
    return int(i);
}

// A border: an index n with t[n] present and t[n+1] absent (0 if t[1] is absent).
int luaH_getn(Table* t)
{
    unsigned int j = unsigned(t->sizearray);
    if (j > 0 && ttisnil(&t->array[j - 1])) {
        unsigned int i = 0;
        while (j - i > 1) {
            unsigned int m = (i + j) / 2;
            if (ttisnil(&t->array[m - 1])) j = m;
            else i = m;
        }
        return int(i);
    }
    if (isdummy(t->node)) return int(j);
    return unbound_search(t, j);
}
