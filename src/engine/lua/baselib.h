// The library functions the console offers as plain globals: the string
// library's sub; the base library's pairs, type, assert, setmetatable and
// getmetatable; the coroutine library's create, resume and status as
// cocreate, coresume and costatus; the debug library's traceback as trace;
// and yield, which suspends the running coroutine and passes no values.
#pragma once
#include "engine/lua/lua.h"

int luaB_sub(lua_State* L);
int luaB_pairs(lua_State* L);
int luaB_next(lua_State* L);
int luaB_type(lua_State* L);
int luaB_assert(lua_State* L);
int luaB_setmetatable(lua_State* L);
int luaB_getmetatable(lua_State* L);
int luaB_cocreate(lua_State* L);
int luaB_coresume(lua_State* L);
int luaB_costatus(lua_State* L);
int luaB_trace(lua_State* L);
int luaB_yield(lua_State* L);

// Receives the assertion message (empty when absent) before assert raises.
extern void (*orbo_assert_message_hook)(const char* text);

// Registers all of the above under their script names.
void orbo_open_baselib(lua_State* L);
