// Error propagation of the engine: a thrown luaD_error unwinds to the
// nearest protected entry, with the error value on top of the stack.
// Exceptions never leave the engine's public entry points.
#pragma once
#include "lzio.h"

struct luaD_error {
    int status;
};

[[noreturn]] void luaD_throw(lua_State* L, int errcode);
// Compiles a chunk read from z. On success stores the main prototype in
// *out and returns LUA_OK; otherwise leaves the message on the stack.
int luaD_protectedparser(lua_State* L, ZIO* z, const char* name, Proto** out);
