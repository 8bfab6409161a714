// Function prototypes.
#pragma once
#include "lobject.h"

Proto* luaF_newproto(lua_State* L);
void luaF_freeproto(lua_State* L, Proto* f);
