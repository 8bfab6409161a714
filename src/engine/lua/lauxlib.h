// The auxiliary library: argument checks and errors with the caller's
// position ("%s:%d: " from luaL_where), loading, tracebacks.
#pragma once
#include "engine/lua/lua.h"

#define LUA_ERRFILE (LUA_ERRERR + 1)

struct luaL_Reg {
    const char* name;
    lua_CFunction func;
};

void luaL_where(lua_State* L, int lvl);
int luaL_error(lua_State* L, const char* fmt, ...);
int luaL_argerror(lua_State* L, int numarg, const char* extramsg);
void luaL_checkany(lua_State* L, int narg);
void luaL_checktype(lua_State* L, int narg, int t);
const char* luaL_checklstring(lua_State* L, int numArg, size_t* l);
const char* luaL_optlstring(lua_State* L, int numArg, const char* def, size_t* l);
lua_Number luaL_checknumber(lua_State* L, int numArg);
lua_Number luaL_optnumber(lua_State* L, int nArg, lua_Number def);
lua_Integer luaL_checkinteger(lua_State* L, int numArg);
lua_Integer luaL_optinteger(lua_State* L, int nArg, lua_Integer def);
void luaL_checkstack(lua_State* L, int sz, const char* msg);
int luaL_getmetafield(lua_State* L, int obj, const char* e);
int luaL_callmeta(lua_State* L, int obj, const char* e);
const char* luaL_tolstring(lua_State* L, int idx, size_t* len);
int luaL_len(lua_State* L, int idx);
void luaL_setfuncs(lua_State* L, const luaL_Reg* l, int nup);
int luaL_loadbufferx(lua_State* L, const char* buff, size_t sz, const char* name, const char* mode);
int luaL_loadstring(lua_State* L, const char* s);
void luaL_traceback(lua_State* L, lua_State* L1, const char* msg, int level);
lua_State* luaL_newstate();
// The library opener of this engine: only the empty _PRELOAD table.
void luaL_openlibs(lua_State* L);

#define luaL_loadbuffer(L, s, sz, n) luaL_loadbufferx(L, s, sz, n, nullptr)
#define luaL_argcheck(L, cond, numarg, extramsg) ((void)((cond) || luaL_argerror(L, (numarg), (extramsg))))
#define luaL_checkstring(L, n) (luaL_checklstring(L, (n), nullptr))
#define luaL_optstring(L, n, d) (luaL_optlstring(L, (n), (d), nullptr))
#define luaL_checkint(L, n) (int(luaL_checkinteger(L, (n))))
#define luaL_optint(L, n, d) (int(luaL_optinteger(L, (n), (d))))
#define luaL_typename(L, i) lua_typename(L, lua_type(L, (i)))
#define luaL_opt(L, f, n, d) (lua_isnoneornil(L, (n)) ? (d) : f(L, (n)))
#define luaL_dostring(L, s) (luaL_loadstring(L, s) || lua_pcall(L, 0, LUA_MULTRET, 0))
