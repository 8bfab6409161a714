// The argument conventions every binding follows. A number argument is read
// with the engine's conversion (missing or non-numeric reads as 0); an
// integer is its floor, an arithmetic shift right by 16; argument counts are
// the stack top; truth values are the engine's (all but nil and false).
// Integers go back shifted left by 16, numbers as raw 16.16 values.
#pragma once
#include <cstdint>

#include "engine/lua/lua.h"
#include "engine/math/fixed.h"

#include "hardware/machine.h"

inline int ob_nargs(lua_State* L) { return lua_gettop(L); }
inline fix32 ob_num(lua_State* L, int i) { return lua_tonumberx(L, i, nullptr); }
inline int32_t ob_int(lua_State* L, int i) { return ob_num(L, i) >> 16; }
inline bool ob_truth(lua_State* L, int i) { return lua_toboolean(L, i) != 0; }

inline int ob_push_num(lua_State* L, fix32 v)
{
    lua_pushnumber(L, v);
    return 1;
}
// The integer's low 16 bits become the whole part (as the script's numbers wrap).
inline int ob_push_int(lua_State* L, int32_t v) { return ob_push_num(L, fix_from_int(v)); }
inline int ob_push_bool(lua_State* L, bool b)
{
    lua_pushboolean(L, b);
    return 1;
}

