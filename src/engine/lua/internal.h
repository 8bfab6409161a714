// Declarations shared by the runtime modules (tables, functions, collector,
// calls, virtual machine, metamethods, debug info), on top of the shared
// value model (lobject.h, lstate.h).
#pragma once
#include "engine/lua/ldo.h"
#include "engine/lua/lfunc.h"
#include "engine/lua/lgc.h"
#include "engine/lua/lmem.h"
#include "engine/lua/lopcodes.h"
#include "engine/lua/lstate.h"
#include "engine/lua/lstring.h"

// Value tags and accessors beyond those of lobject.h.
#define novariant(x) ((x) & 0x0F)
#define ttype(o) (rttype(o) & 0x3F)
#define checktag(o, t) (rttype(o) == (t))
#define ttislightuserdata(o) checktag((o), LUA_TLIGHTUSERDATA)
#define ttisshrstring(o) checktag((o), ctb(LUA_TSHRSTR))
#define ttislngstring(o) checktag((o), ctb(LUA_TLNGSTR))
#define ttistable(o) checktag((o), ctb(LUA_TTABLE))
#define ttisfunction(o) (ttypenv(o) == LUA_TFUNCTION)
#define ttisclosure(o) ((rttype(o) & 0x1F) == LUA_TFUNCTION)
#define ttisCclosure(o) checktag((o), ctb(LUA_TCCL))
#define ttisLclosure(o) checktag((o), ctb(LUA_TLCL))
#define ttislcf(o) checktag((o), LUA_TLCF)
#define ttisuserdata(o) checktag((o), ctb(LUA_TUSERDATA))
#define ttisthread(o) checktag((o), ctb(LUA_TTHREAD))
#define ttisdeadkey(o) checktag((o), LUA_TDEADKEY)
#define ttisequal(o1, o2) (rttype(o1) == rttype(o2))
#define pvalue(o) ((o)->value_.p)
#define fvalue(o) ((o)->value_.f)
#define tsvalue(o) rawtsvalue(o)
#define uvalue(o) (static_cast<Udata*>(gcvalue(o)))
#define rawuvalue(o) uvalue(o)
#define clLvalue(o) (static_cast<LClosure*>(gcvalue(o)))
#define clCvalue(o) (static_cast<CClosure*>(gcvalue(o)))
#define hvalue(o) (static_cast<Table*>(gcvalue(o)))
#define thvalue(o) (static_cast<lua_State*>(gcvalue(o)))
#define deadvalue(o) (static_cast<void*>(gcvalue(o)))
#define l_isfalse(o) (ttisnil(o) || (ttisboolean(o) && bvalue(o) == 0))
#define sethvalue(obj, x) setgcovalue((obj), static_cast<GCObject*>(x))
#define setclLvalue(obj, x) setgcovalue((obj), static_cast<GCObject*>(x))
#define setclCvalue(obj, x) setgcovalue((obj), static_cast<GCObject*>(x))
#define setthvalue(obj, x) setgcovalue((obj), static_cast<GCObject*>(x))
#define setuvalue(obj, x) setgcovalue((obj), static_cast<GCObject*>(x))
#define setdeadvalue(obj) ((obj)->tt_ = LUA_TDEADKEY)
#define getudatamem(u) (reinterpret_cast<char*>(u) + sizeof(Udata))
#define gco2ts(o) (static_cast<TString*>(o))
#define gco2u(o) (static_cast<Udata*>(o))
#define gco2lcl(o) (static_cast<LClosure*>(o))
#define gco2ccl(o) (static_cast<CClosure*>(o))
#define gco2t(o) (static_cast<Table*>(o))
#define gco2p(o) (static_cast<Proto*>(o))
#define gco2uv(o) (static_cast<UpVal*>(o))
#define gco2th(o) (static_cast<lua_State*>(o))
#define obj2gco(v) (static_cast<GCObject*>(v))
#define sizenode(t) (twoto((t)->lsizenode))
#define getproto(o) (clLvalue(o)->p)
#define isLua(ci) ((ci)->callstatus & CIST_LUA)
#define api_incr_top(L) ((void)(L->top++))

extern const TValue luaO_nilobject_;
#define luaO_nilobject (&luaO_nilobject_)
int luaO_ceillog2(unsigned int x);
#define luaS_fix(s) ((s)->marked |= lu_byte(1 << FIXEDBIT))
Udata* luaS_newudata(lua_State* L, size_t s, Table* e);

// States and threads (lstate.cpp).
void luaE_vminit(lua_State* L);
void luaE_vmclose(lua_State* L);
void luaE_freethread(lua_State* L, lua_State* L1);
CallInfo* luaE_extendCI(lua_State* L);
void luaE_freeCI(lua_State* L);

// Tables (table.cpp).
// Every change to a table: the virtual machine's memos of lookups through
// it are stale when it is part of an __index chain.
inline void luaH_changed(global_State* g, const Table* t)
{
    if (t->in_chain) g->caches.chain_epoch++;
}
// A value was stored into t: the cache of absent metamethods (flags) is
// stale as well.
inline void luaH_stored(global_State* g, Table* t)
{
    t->flags = 0;
    luaH_changed(g, t);
}
const TValue* luaH_getint(Table* t, int key);
void luaH_setint(lua_State* L, Table* t, int key, TValue* value);
const TValue* luaH_getstr(Table* t, TString* key);
const TValue* luaH_get(Table* t, const TValue* key);
TValue* luaH_newkey(lua_State* L, Table* t, const TValue* key);
TValue* luaH_set(lua_State* L, Table* t, const TValue* key);
Table* luaH_new(lua_State* L);
void luaH_resize(lua_State* L, Table* t, int nasize, int nhsize);
void luaH_resizearray(lua_State* L, Table* t, int nasize);
void luaH_free(lua_State* L, Table* t);
int luaH_next(lua_State* L, Table* t, StkId key);
int luaH_getn(Table* t);
// A number key addresses array slot k when it is the whole number k in 1..32767.
inline bool luaH_arraykey(lua_Number n, int* k)
{
    if ((n & 0xffff) != 0 || n < 0x10000) return false;
    *k = n >> 16;
    return true;
}
#define gnode(t, i) (&(t)->node[i])
#define gkey(n) (&(n)->i_key.tvk)
#define gval(n) (&(n)->i_val)
#define gnext(n) ((n)->i_key.nk.next)
// Lookup of a short (interned) string key: identity of the string object.
// A key that is not in its main position sits further down the collision
// chain; before walking it, the node the string was last found in is
// tried: tables of one shape (built by the same code) keep a key in the
// same node. Absent keys with an empty chain cost one probe, as before.
const TValue* luaH_getshortstr_walk(Table* t, TString* key, Node* n);
// 'hash' is key's hash (given apart when the caller has it at hand).
inline const TValue* luaH_getshortstr(Table* t, TString* key, unsigned int hash)
{
    unsigned int mask = t->nodemask;
    Node* n = gnode(t, hash & mask);
    if (__builtin_expect(checktag(gkey(n), ctb(LUA_TSHRSTR)) && rawtsvalue(gkey(n)) == key, 1)) return gval(n);
    n = gnext(n);
    if (n == nullptr) return luaO_nilobject;
    Node* h = gnode(t, key->slot & mask);
    if (checktag(gkey(h), ctb(LUA_TSHRSTR)) && rawtsvalue(gkey(h)) == key) return gval(h);
    return luaH_getshortstr_walk(t, key, n);
}
inline const TValue* luaH_getshortstr(Table* t, TString* key) { return luaH_getshortstr(t, key, key->hash); }

// Functions and upvalues (lfunc.cpp).
Proto* luaF_newproto(lua_State* L);
CClosure* luaF_newCclosure(lua_State* L, int nelems);
LClosure* luaF_newLclosure(lua_State* L, int nelems);
UpVal* luaF_newupval(lua_State* L);
UpVal* luaF_findupval(lua_State* L, StkId level);
void luaF_close(lua_State* L, StkId level);
void luaF_freeproto(lua_State* L, Proto* f);
void luaF_freeupval(lua_State* L, UpVal* uv);
const char* luaF_getlocalname(const Proto* func, int local_number, int pc);

// Metamethods (tm.cpp).
enum TMS {
    TM_INDEX, TM_NEWINDEX, TM_GC, TM_MODE, TM_LEN, TM_EQ,  // fast-access events
    TM_ADD, TM_SUB, TM_MUL, TM_DIV, TM_MOD, TM_POW, TM_UNM,
    TM_LT, TM_LE, TM_CONCAT, TM_CALL,
    TM_N
};
static_assert(TM_N == ORBO_TM_COUNT, "one name per metamethod event");
#define gfasttm(g, et, e) ((et) == nullptr ? nullptr : ((et)->flags & (1u << (e))) ? nullptr : luaT_gettm(et, e, (g)->tmname[e]))
#define fasttm(l, et, e) gfasttm(G(l), et, e)
#define ttypename(x) luaT_typenames_[(x) + 1]
#define objtypename(x) ttypename(ttypenv(x))
extern const char* const luaT_typenames_[LUA_TPROTO + 3];
const TValue* luaT_gettm(Table* events, TMS event, TString* ename);
const TValue* luaT_gettmbyobj(lua_State* L, const TValue* o, TMS event);
void luaT_init(lua_State* L);

// Calls, stack and errors (ldo.cpp).
using Pfunc = void (*)(lua_State* L, void* ud);
void luaD_hook(lua_State* L, int event, int line);
int luaD_precall(lua_State* L, StkId func, int nresults);
void luaD_call(lua_State* L, StkId func, int nResults, int allowyield);
int luaD_pcall(lua_State* L, Pfunc func, void* u, ptrdiff_t oldtop, ptrdiff_t ef);
int luaD_poscall(lua_State* L, StkId firstResult);
void luaD_reallocstack(lua_State* L, int newsize);
void luaD_growstack(lua_State* L, int n);
void luaD_shrinkstack(lua_State* L);
int luaD_rawrunprotected(lua_State* L, Pfunc f, void* ud);
// Room for n more values; the common case inline (luaD_checkstack is a call).
#define checkstackfast(L, n) \
    if ((L)->stack_last - (L)->top <= (n)) luaD_growstack(L, n);
// Runs host function f in the frame just made for it, with yield_returns
// set for its duration (the host call that reached it does not count).
inline int luaD_runhost(lua_State* L, lua_CFunction f)
{
    lu_byte outer = L->yield_returns;
    L->yield_returns = L->nCcalls == L->resume_nccalls;
    int n = (*f)(L);
    L->yield_returns = outer;
    return n;
}
// Moves a call's results from [first, top) down to res: 'wanted' of them,
// nil-filled (all of them for LUA_MULTRET). Returns the slot past the last.
inline StkId luaD_moveresults(StkId res, StkId first, StkId top, int wanted)
{
    int i;
    for (i = wanted; i != 0 && first < top; i--) setobj(res++, first++);
    while (i-- > 0) setnilvalue(res++);
    return res;
}
#define savestack(L, p) (reinterpret_cast<char*>(p) - reinterpret_cast<char*>((L)->stack))
#define restorestack(L, n) (reinterpret_cast<TValue*>(reinterpret_cast<char*>((L)->stack) + (n)))

// Collector (lgc.cpp). It stops the world, so no write barriers exist.
void luaC_step(lua_State* L);
void luaC_fullgc(lua_State* L, int isemergency);
void luaC_checkfinalizer(lua_State* L, GCObject* o, Table* mt);
void luaC_runallfinalizers(lua_State* L);
#define luaC_condGC(L, c) { if (G(L)->totalbytes >= G(L)->GCthreshold) { c; } }
#define luaC_checkGC(L) luaC_condGC(L, luaC_step(L);)
// Mark bits.
#define BLACKBIT 2
#define FIXEDBIT 5
#define FINALIZEDBIT 3  // object already had its finalizer run
#define SEPARATED 4     // object is on the finobj list
#define isfixed(o) ((o)->marked & (1 << FIXEDBIT))

// Virtual machine (vm.cpp).
int luaV_equalobj_(lua_State* L, const TValue* t1, const TValue* t2);
#define luaV_rawequalobj(t1, t2) luaV_equalobj_(nullptr, t1, t2)
#define equalobj(L, o1, o2) (ttisequal(o1, o2) && luaV_equalobj_(L, o1, o2))
int luaV_lessthan(lua_State* L, const TValue* l, const TValue* r);
int luaV_lessequal(lua_State* L, const TValue* l, const TValue* r);
const TValue* luaV_tonumber(const TValue* obj, TValue* n);
int luaV_tostring(lua_State* L, StkId obj);
void luaV_gettable(lua_State* L, const TValue* t, TValue* key, StkId val);
void luaV_settable(lua_State* L, const TValue* t, TValue* key, StkId val);
void luaV_finishOp(lua_State* L);
void luaV_execute(lua_State* L);
void luaV_concat(lua_State* L, int total);
void luaV_arith(lua_State* L, StkId ra, const TValue* rb, const TValue* rc, TMS op);
void luaV_objlen(lua_State* L, StkId ra, const TValue* rb);
#define tostring(L, o) (ttisstring(o) || (luaV_tostring(L, o)))
#define tonumber(o, n) (ttisnumber(o) || (((o) = luaV_tonumber(o, n)) != nullptr))

// Debug information and runtime errors (debug.cpp).
#define pcRel(pc, p) (int((pc) - (p)->code) - 1)
#define getfuncline(f, pc) (((f)->lineinfo) ? (f)->lineinfo[pc] : 0)
#define resethookcount(L) (L->hookcount = L->basehookcount)
#define ci_func(ci) (clLvalue((ci)->func))
[[noreturn]] void luaG_typeerror(lua_State* L, const TValue* o, const char* opname);
[[noreturn]] void luaG_concaterror(lua_State* L, StkId p1, StkId p2);
[[noreturn]] void luaG_aritherror(lua_State* L, const TValue* p1, const TValue* p2);
[[noreturn]] void luaG_ordererror(lua_State* L, const TValue* p1, const TValue* p2);
[[noreturn]] void luaG_runerror(lua_State* L, const char* fmt, ...);
[[noreturn]] void luaG_errormsg(lua_State* L);
int luaG_currentline(CallInfo* ci);

#define luaM_new(L, t) static_cast<t*>(luaM_malloc(L, sizeof(t)))

// Binary chunks written by the stock compiler (undump.cpp): tests only.
// Pushes the main closure.
LClosure* luaU_undump_buffer(lua_State* L, const char* buff, size_t size, const char* name);
