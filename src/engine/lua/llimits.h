// Basic types and compile-time limits of the script engine.
#pragma once
#include <climits>
#include <cstddef>
#include <cstdint>

#include "engine/math/fixed.h"

typedef unsigned char lu_byte;
typedef uint32_t lu_int32;
typedef size_t lu_mem;
typedef ptrdiff_t l_mem;

// The engine's only number type: a 16.16 fixed-point raw value.
typedef fix32 lua_Number;
typedef int32_t lua_Integer;
typedef uint32_t lua_Unsigned;

// One virtual-machine instruction.
typedef lu_int32 Instruction;

#define MAX_SIZET ((size_t)(~(size_t)0) - 2)
#define MAX_LUMEM ((lu_mem)(~(lu_mem)0) - 2)
#define MAX_INT (INT_MAX - 2)

// Nesting limit of C calls and of syntactical structures while parsing.
#define LUAI_MAXCCALLS 200
// Upvalues per function (they are indexed by one byte).
#define MAXUPVAL UCHAR_MAX
// Strings up to this length are interned in the string table.
#define LUAI_MAXSHORTLEN 40
// Initial size of the lexer's token buffer and of the string table.
#define LUA_MINBUFFER 32
#define MINSTRTABSIZE 32
// Size of a formatted chunk name ("[string \"...\"]").
#define LUA_IDSIZE 60
// Hash only every 2^LUAI_HASHLIMIT-th byte of long strings.
#define LUAI_HASHLIMIT 5

#define cast(t, exp) ((t)(exp))
#define cast_byte(i) cast(lu_byte, (i))
#define cast_int(i) cast(int, (i))

#if defined(LUA_DEBUG_ASSERT)
#include <cassert>
#define lua_assert(c) assert(c)
#else
#define lua_assert(c) ((void)0)
#endif
