// Public types of the script engine: type tags, status codes, the allocator.
// The engine follows Lua 5.2.3 (Copyright (C) 1994-2013 Lua.org, PUC-Rio,
// MIT licence; see THIRD_PARTY_NOTICES and this folder's README.md).
#pragma once
#include "llimits.h"

#define LUA_SIGNATURE "\033Lua"
#define LUA_MULTRET (-1)

// Thread status and error codes.
#define LUA_OK 0
#define LUA_YIELD 1
#define LUA_ERRRUN 2
#define LUA_ERRSYNTAX 3
#define LUA_ERRMEM 4
#define LUA_ERRGCMM 5
#define LUA_ERRERR 6

// Basic types.
#define LUA_TNONE (-1)
#define LUA_TNIL 0
#define LUA_TBOOLEAN 1
#define LUA_TLIGHTUSERDATA 2
#define LUA_TNUMBER 3
#define LUA_TSTRING 4
#define LUA_TTABLE 5
#define LUA_TFUNCTION 6
#define LUA_TUSERDATA 7
#define LUA_TTHREAD 8
#define LUA_NUMTAGS 9

struct lua_State;
typedef int (*lua_CFunction)(lua_State* L);

// Every block of engine memory goes through this one function. For a new
// block ptr is NULL and osize carries the kind of object being created (a
// LUA_T* tag, or 0 for plain vectors and buffers); nsize 0 frees.
typedef void* (*lua_Alloc)(void* ud, void* ptr, size_t osize, size_t nsize);

#define LUA_ENV "_ENV"

// ---- Host API (virtual machine side) ----
#include <cstdarg>

// Pseudo-indices: the registry, and upvalues of the running C closure.
#define LUAI_MAXSTACK 1000000
#define LUA_REGISTRYINDEX (-LUAI_MAXSTACK - 1000)
#define lua_upvalueindex(i) (LUA_REGISTRYINDEX - (i))

#define LUA_MINSTACK 20

// Predefined registry slots.
#define LUA_RIDX_MAINTHREAD 1
#define LUA_RIDX_GLOBALS 2
#define LUA_RIDX_LAST LUA_RIDX_GLOBALS

struct lua_Debug;

typedef const char* (*lua_Reader)(lua_State* L, void* ud, size_t* sz);
typedef void (*lua_Hook)(lua_State* L, lua_Debug* ar);

// State manipulation.
lua_State* lua_newstate(lua_Alloc f, void* ud);
void lua_close(lua_State* L);
lua_State* lua_newthread(lua_State* L);
lua_CFunction lua_atpanic(lua_State* L, lua_CFunction panicf);

// Stack manipulation.
int lua_absindex(lua_State* L, int idx);
int lua_gettop(lua_State* L);
void lua_settop(lua_State* L, int idx);
void lua_pushvalue(lua_State* L, int idx);
void lua_remove(lua_State* L, int idx);
void lua_insert(lua_State* L, int idx);
void lua_replace(lua_State* L, int idx);
void lua_copy(lua_State* L, int fromidx, int toidx);
int lua_checkstack(lua_State* L, int sz);
void lua_xmove(lua_State* from, lua_State* to, int n);

// Access functions.
int lua_isnumber(lua_State* L, int idx);
int lua_isstring(lua_State* L, int idx);
int lua_iscfunction(lua_State* L, int idx);
int lua_isuserdata(lua_State* L, int idx);
int lua_type(lua_State* L, int idx);
const char* lua_typename(lua_State* L, int tp);
lua_Number lua_tonumberx(lua_State* L, int idx, int* isnum);
lua_Integer lua_tointegerx(lua_State* L, int idx, int* isnum);
lua_Unsigned lua_tounsignedx(lua_State* L, int idx, int* isnum);
int lua_toboolean(lua_State* L, int idx);
const char* lua_tolstring(lua_State* L, int idx, size_t* len);
size_t lua_rawlen(lua_State* L, int idx);
lua_CFunction lua_tocfunction(lua_State* L, int idx);
void* lua_touserdata(lua_State* L, int idx);
lua_State* lua_tothread(lua_State* L, int idx);
const void* lua_topointer(lua_State* L, int idx);

// Comparison and arithmetic.
#define LUA_OPADD 0
#define LUA_OPSUB 1
#define LUA_OPMUL 2
#define LUA_OPDIV 3
#define LUA_OPMOD 4
#define LUA_OPPOW 5
#define LUA_OPUNM 6
void lua_arith(lua_State* L, int op);
#define LUA_OPEQ 0
#define LUA_OPLT 1
#define LUA_OPLE 2
int lua_rawequal(lua_State* L, int idx1, int idx2);
int lua_compare(lua_State* L, int idx1, int idx2, int op);

// Push functions.
void lua_pushnil(lua_State* L);
void lua_pushnumber(lua_State* L, lua_Number n);     // raw value unchanged
void lua_pushinteger(lua_State* L, lua_Integer n);   // raw value unchanged
void lua_pushunsigned(lua_State* L, lua_Unsigned n); // n << 16
const char* lua_pushlstring(lua_State* L, const char* s, size_t l);
const char* lua_pushstring(lua_State* L, const char* s);
const char* lua_pushvfstring(lua_State* L, const char* fmt, va_list argp);
const char* lua_pushfstring(lua_State* L, const char* fmt, ...);
void lua_pushcclosure(lua_State* L, lua_CFunction fn, int n);
void lua_pushboolean(lua_State* L, int b);
void lua_pushlightuserdata(lua_State* L, void* p);
int lua_pushthread(lua_State* L);

// Get functions.
void lua_getglobal(lua_State* L, const char* var);
void lua_gettable(lua_State* L, int idx);
void lua_getfield(lua_State* L, int idx, const char* k);
void lua_rawget(lua_State* L, int idx);
void lua_rawgeti(lua_State* L, int idx, int n);
void lua_rawgetp(lua_State* L, int idx, const void* p);
void lua_createtable(lua_State* L, int narr, int nrec);
void* lua_newuserdata(lua_State* L, size_t sz);
int lua_getmetatable(lua_State* L, int objindex);
void lua_getuservalue(lua_State* L, int idx);

// Set functions.
void lua_setglobal(lua_State* L, const char* var);
void lua_settable(lua_State* L, int idx);
void lua_setfield(lua_State* L, int idx, const char* k);
void lua_rawset(lua_State* L, int idx);
void lua_rawseti(lua_State* L, int idx, int n);
void lua_rawsetp(lua_State* L, int idx, const void* p);
int lua_setmetatable(lua_State* L, int objindex);
void lua_setuservalue(lua_State* L, int idx);

// Load and call.
void lua_callk(lua_State* L, int nargs, int nresults, int ctx, lua_CFunction k);
#define lua_call(L, n, r) lua_callk(L, (n), (r), 0, nullptr)
int lua_getctx(lua_State* L, int* ctx);
int lua_pcallk(lua_State* L, int nargs, int nresults, int errfunc, int ctx, lua_CFunction k);
#define lua_pcall(L, n, r, f) lua_pcallk(L, (n), (r), (f), 0, nullptr)
int lua_load(lua_State* L, lua_Reader reader, void* dt, const char* chunkname, const char* mode);

// Coroutines.
int lua_yieldk(lua_State* L, int nresults, int ctx, lua_CFunction k);
#define lua_yield(L, n) lua_yieldk(L, (n), 0, nullptr)
int lua_resume(lua_State* L, lua_State* from, int narg);
int lua_status(lua_State* L);

// Garbage collection.
#define LUA_GCSTOP 0
#define LUA_GCRESTART 1
#define LUA_GCCOLLECT 2
#define LUA_GCCOUNT 3
#define LUA_GCCOUNTB 4
#define LUA_GCSTEP 5
#define LUA_GCSETPAUSE 6
#define LUA_GCSETSTEPMUL 7
#define LUA_GCISRUNNING 9
int lua_gc(lua_State* L, int what, int data);

// Miscellaneous.
int lua_error(lua_State* L);
int lua_next(lua_State* L, int idx);
void lua_concat(lua_State* L, int n);
void lua_len(lua_State* L, int idx);
lua_Alloc lua_getallocf(lua_State* L, void** ud);

#define lua_tonumber(L, i) lua_tonumberx(L, i, nullptr)
#define lua_tointeger(L, i) lua_tointegerx(L, i, nullptr)
#define lua_tounsigned(L, i) lua_tounsignedx(L, i, nullptr)
#define lua_pop(L, n) lua_settop(L, -(n)-1)
#define lua_newtable(L) lua_createtable(L, 0, 0)
#define lua_register(L, n, f) (lua_pushcfunction(L, (f)), lua_setglobal(L, (n)))
#define lua_pushcfunction(L, f) lua_pushcclosure(L, (f), 0)
#define lua_isfunction(L, n) (lua_type(L, (n)) == LUA_TFUNCTION)
#define lua_istable(L, n) (lua_type(L, (n)) == LUA_TTABLE)
#define lua_islightuserdata(L, n) (lua_type(L, (n)) == LUA_TLIGHTUSERDATA)
#define lua_isnil(L, n) (lua_type(L, (n)) == LUA_TNIL)
#define lua_isboolean(L, n) (lua_type(L, (n)) == LUA_TBOOLEAN)
#define lua_isthread(L, n) (lua_type(L, (n)) == LUA_TTHREAD)
#define lua_isnone(L, n) (lua_type(L, (n)) == LUA_TNONE)
#define lua_isnoneornil(L, n) (lua_type(L, (n)) <= 0)
#define lua_pushliteral(L, s) lua_pushlstring(L, "" s, (sizeof(s) / sizeof(char)) - 1)
#define lua_pushglobaltable(L) lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS)
#define lua_tostring(L, i) lua_tolstring(L, (i), nullptr)

// Debug interface.
#define LUA_HOOKCALL 0
#define LUA_HOOKRET 1
#define LUA_HOOKLINE 2
#define LUA_HOOKCOUNT 3
#define LUA_HOOKTAILCALL 4
#define LUA_MASKCALL (1 << LUA_HOOKCALL)
#define LUA_MASKRET (1 << LUA_HOOKRET)
#define LUA_MASKLINE (1 << LUA_HOOKLINE)
#define LUA_MASKCOUNT (1 << LUA_HOOKCOUNT)

struct CallInfo;
struct lua_Debug {
    int event;
    const char* name;
    const char* namewhat;
    const char* what;
    const char* source;
    int currentline;
    int linedefined;
    int lastlinedefined;
    unsigned char nups;
    unsigned char nparams;
    char isvararg;
    char istailcall;
    char short_src[LUA_IDSIZE];
    CallInfo* i_ci;  // active function
};

int lua_getstack(lua_State* L, int level, lua_Debug* ar);
int lua_getinfo(lua_State* L, const char* what, lua_Debug* ar);
int lua_sethook(lua_State* L, lua_Hook func, int mask, int count);
lua_Hook lua_gethook(lua_State* L);
int lua_gethookmask(lua_State* L);
int lua_gethookcount(lua_State* L);

// Console additions.
// Returns the main thread to a clean call state, discarding a suspended chain.
void lua_reset_call_state_orbo(lua_State* L);
// Brings the next count hook k instructions closer (at least to the next one).
void lua_spend_cpu(lua_State* L, int k);
// The count-hook counter: instructions left until the next count hook.
int lua_get_cpu(lua_State* L);
// Makes the count hook run before the next instruction.
void lua_orbo_soft_yield(lua_State* L);


// Loads a chunk precompiled by the stock 5.2 compiler (tests and tools only;
// program text never takes this path).
int orbo_load_binary(lua_State* L, const char* buff, size_t size, const char* name);
