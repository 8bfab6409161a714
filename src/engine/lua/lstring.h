// String creation and interning.
#pragma once
#include "lobject.h"

#define sizestring(l) (sizeof(TString) + ((l) + 1) * sizeof(char))
#define luaS_newliteral(L, s) (luaS_newlstr(L, "" s, (sizeof(s) / sizeof(char)) - 1))
// Reserved words are short strings with 'extra' set to their token index + 1.
inline bool isreserved(const TString* s) { return s->tt == LUA_TSHRSTR && s->extra > 0; }

unsigned int luaS_hash(const char* str, size_t l, unsigned int seed);
bool luaS_eqlngstr(TString* a, TString* b);
// Equality of two strings: identity for short strings, contents for long.
inline bool luaS_eqstr(TString* a, TString* b)
{
    return a == b || (a->tt == LUA_TLNGSTR && b->tt == LUA_TLNGSTR && luaS_eqlngstr(a, b));
}
void luaS_resize(lua_State* L, int newsize);
TString* luaS_newlstr(lua_State* L, const char* str, size_t l);
// luaS_newlstr for text a host function pushes, through the string memos.
TString* luaS_newlstr_host(lua_State* L, const char* str, size_t l);
TString* luaS_new(lua_State* L, const char* str);
// A long string (l > LUAI_MAXSHORTLEN) whose l bytes the caller fills in
// before anything else can see it; the terminating NUL is already there.
TString* luaS_newlngstr(lua_State* L, size_t l);
