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
#include "engine/api_list.h"

// The bindings of the hardware and the engine (a name shared by several
// globals is declared more than once, which is harmless).
#define ORBO_DECLARE_HARDWARE(name, binding, listed, layer) \
    ORBO_API_IS(layer, hardware, int binding(lua_State* L);) ORBO_API_IS(layer, engine, int binding(lua_State* L);)
ORBO_API_GLOBALS(ORBO_DECLARE_HARDWARE)
#undef ORBO_DECLARE_HARDWARE

// The layers above the hardware hand in their bindings at start-up, each
// from its own entries of the list (orbo_bind_runtime_api, orbo_bind_shell_api).
void orbo_api_bind(orbo_api_id id, lua_CFunction binding);

// Registers every global of the list that has a binding, in its order, as a
// closure without upvalues, and rebuilds the API-name list from the listed
// names (all of them, bound or not, so token counts never depend on wiring).
void add_c_functions(lua_State* L);
