// Creation and release of collectable objects. Every object is linked into
// a list owned by the global state (short strings into the string table)
// so that closing the state releases everything.
#pragma once
#include "lobject.h"

GCObject* luaC_newobj(lua_State* L, int tt, size_t sz, GCObject** list, int offset);
void luaC_freeobj(lua_State* L, GCObject* o);
void luaC_freeallobjects(lua_State* L);
// Full mark-and-sweep (isemergency: after a failed allocation; no finalizers).
void luaC_fullgc(lua_State* L, int isemergency);
