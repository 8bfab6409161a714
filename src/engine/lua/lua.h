// Public types of the script engine: type tags, status codes, the allocator.
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
