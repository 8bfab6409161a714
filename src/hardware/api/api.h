// The script bindings: one host function per console global, generated from
// the API table, and the registry that gives them to a fresh script machine.
//
// Argument conventions shared by every binding: a number argument is read
// with the engine's number conversion (missing or non-numeric reads as 0)
// and an integer is taken from it by an arithmetic shift right by 16;
// argument counts are the stack top; truth values use the engine's truth
// test; numbers are returned as 16.16 values, integers shifted left by 16.
#pragma once
#include "engine/lua/lua.h"
#include "hardware/api_table.h"

// Every binding named in the table (a name shared by several globals is
// declared more than once, which is harmless).
#define ORBO_DECLARE_BINDING(name, binding, listed) int binding(lua_State* L);
ORBO_API_GLOBALS(ORBO_DECLARE_BINDING)
#undef ORBO_DECLARE_BINDING

// Registers every global of the table, in its order, as a closure without
// upvalues, and rebuilds the API-name list from the listed names.
void add_c_functions(lua_State* L);
