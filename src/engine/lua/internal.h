// Declarations shared by the runtime modules (memory, strings, tables,
// functions, collector, calls, virtual machine, metamethods, debug info).
#pragma once
#include <new>

#include "engine/lua/state.h"

#define cast_byte(i) (static_cast<lu_byte>(i))
#define luai_numeq(a, b) ((a) == (b))
#define luai_numlt(L, a, b) ((a) < (b))
#define luai_numle(L, a, b) ((a) <= (b))
#define MAX_INT 0x7fffffff
#define MAX_SIZET (~size_t(0) - 2)
#define MAXUPVAL 255
#define LUAI_MAXSHORTLEN 40

// The engine's error: thrown by luaD_throw, caught by protected calls.
struct lua_exception {
    int status;
};

// Memory (mem.cpp).
void* luaM_realloc_(lua_State* L, void* block, size_t oldsize, size_t size);
[[noreturn]] void luaM_toobig(lua_State* L);
void* luaM_growaux_(lua_State* L, void* block, int* size, size_t size_elem, int limit, const char* what);
#define luaM_reallocv(L, b, on, n, e) \
    ((size_t(n) + 1 > MAX_SIZET / (e)) ? (luaM_toobig(L), nullptr) : luaM_realloc_(L, (b), (on) * (e), (n) * (e)))
#define luaM_freemem(L, b, s) luaM_realloc_(L, (b), (s), 0)
#define luaM_free(L, b) luaM_realloc_(L, (b), sizeof(*(b)), 0)
#define luaM_freearray(L, b, n) luaM_reallocv(L, (b), n, 0, sizeof((b)[0]))
#define luaM_new(L, t) static_cast<t*>(luaM_realloc_(L, nullptr, 0, sizeof(t)))
#define luaM_newvector(L, n, t) static_cast<t*>(luaM_reallocv(L, nullptr, 0, n, sizeof(t)))
#define luaM_newobject(L, tag, s) luaM_realloc_(L, nullptr, tag, (s))
#define luaM_growvector(L, v, nelems, size, t, limit, e)                              \
    if ((nelems) + 1 > (size))                                                    \
    ((v) = static_cast<t*>(luaM_growaux_(L, v, &(size), sizeof(t), limit, e)))
#define luaM_reallocvector(L, v, oldn, n, t) \
    ((v) = static_cast<t*>(luaM_reallocv(L, v, oldn, n, sizeof(t))))
#define gettotalbytes(g) ((g)->totalbytes)

// Strings (strtab.cpp).
TString* luaS_newlstr(lua_State* L, const char* str, size_t l);
TString* luaS_new(lua_State* L, const char* str);
#define luaS_newliteral(L, s) (luaS_newlstr(L, "" s, (sizeof(s) / sizeof(char)) - 1))
Udata* luaS_newudata(lua_State* L, size_t s, Table* e);
void luaS_resize(lua_State* L, int newsize);
unsigned int luaS_hash(const char* str, size_t l, unsigned int seed);
#define luaS_fix(s) ((s)->marked |= lu_byte(1 << FIXEDBIT))
void luaS_freeall(lua_State* L);

// Tables (table.cpp).
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
#define gnext(n) ((n)->i_key.next)

// Functions and upvalues (func.cpp).
Proto* luaF_newproto(lua_State* L);
Closure* luaF_newCclosure(lua_State* L, int nelems);
Closure* luaF_newLclosure(lua_State* L, int nelems);
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
#define gfasttm(g, et, e) ((et) == nullptr ? nullptr : ((et)->flags & (1u << (e))) ? nullptr : luaT_gettm(et, e, (g)->tmname[e]))
#define fasttm(l, et, e) gfasttm(G(l), et, e)
#define ttypename(x) luaT_typenames_[(x) + 1]
#define objtypename(x) ttypename(ttypenv(x))
extern const char* const luaT_typenames_[LUA_TPROTO + 3];
const TValue* luaT_gettm(Table* events, TMS event, TString* ename);
const TValue* luaT_gettmbyobj(lua_State* L, const TValue* o, TMS event);
void luaT_init(lua_State* L);

// Calls, stack and errors (do.cpp).
using Pfunc = void (*)(lua_State* L, void* ud);
int luaD_protectedparser(lua_State* L, const char* buff, size_t size, const char* name, const char* mode);
void luaD_hook(lua_State* L, int event, int line);
int luaD_precall(lua_State* L, StkId func, int nresults);
void luaD_call(lua_State* L, StkId func, int nResults, int allowyield);
int luaD_pcall(lua_State* L, Pfunc func, void* u, ptrdiff_t oldtop, ptrdiff_t ef);
int luaD_poscall(lua_State* L, StkId firstResult);
void luaD_reallocstack(lua_State* L, int newsize);
void luaD_growstack(lua_State* L, int n);
void luaD_shrinkstack(lua_State* L);
[[noreturn]] void luaD_throw(lua_State* L, int errcode);
int luaD_rawrunprotected(lua_State* L, Pfunc f, void* ud);
#define luaD_checkstack(L, n) \
    if ((L)->stack_last - (L)->top <= (n)) luaD_growstack(L, n);
#define incr_top(L) { L->top++; luaD_checkstack(L, 0); }
#define savestack(L, p) (reinterpret_cast<char*>(p) - reinterpret_cast<char*>((L)->stack))
#define restorestack(L, n) (reinterpret_cast<TValue*>(reinterpret_cast<char*>((L)->stack) + (n)))

// Collector (gc.cpp).
void luaC_step(lua_State* L);
void luaC_fullgc(lua_State* L, int isemergency);
void luaC_freeallobjects(lua_State* L);
GCObject* luaC_newobj(lua_State* L, int tt, size_t sz, GCObject** list, int offset);
void luaC_checkfinalizer(lua_State* L, GCObject* o, Table* mt);
void luaC_runtilstate_finalize(lua_State* L);
#define luaC_condGC(L, c) { if (G(L)->totalbytes >= G(L)->GCthreshold) { c; } }
#define luaC_checkGC(L) luaC_condGC(L, luaC_step(L);)
// The collector stops the world, so no write barriers are needed.
#define luaC_barrier(L, p, v) ((void)0)
#define luaC_barrierback(L, p, v) ((void)0)
#define luaC_objbarrier(L, p, o) ((void)0)
#define luaC_objbarrierback(L, p, o) ((void)0)
#define luaC_barrierproto(L, p, c) ((void)0)
// Mark bits.
#define BLACKBIT 2
#define FIXEDBIT 5
#define FINALIZEDBIT 3  // object already had its finalizer run
#define SEPARATED 4     // object is on the finobj list
#define isfixed(o) ((o)->gch.marked & (1 << FIXEDBIT))

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

// Binary chunks written by the stock compiler (undump.cpp): tests only.
struct Zbuffer;
Closure* luaU_undump_buffer(lua_State* L, const char* buff, size_t size, const char* name);

// Parser entry: text chunk to main closure.
Closure* luaY_parser(lua_State* L, const char* buff, size_t size, const char* name);

// State (state.cpp).
#define api_incr_top(L) { L->top++; }
