// Library functions offered to programs as plain globals (see baselib.h).
// Integer arguments are floored 16.16 values (luaL_checkinteger).
#include "engine/lua/baselib.h"

#include <cstring>

#include "engine/lua/lauxlib.h"

void (*orbo_assert_message_hook)(const char* text) = nullptr;

static size_t posrelat(ptrdiff_t pos, size_t len)
{
    if (pos >= 0) return size_t(pos);
    if (0u - size_t(pos) > len) return 0;
    return len - size_t(-pos) + 1;
}

int luaB_sub(lua_State* L)
{
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    size_t start = posrelat(luaL_checkinteger(L, 2), l);
    size_t end = posrelat(luaL_optinteger(L, 3, -1), l);
    if (start < 1) start = 1;
    if (end > l) end = l;
    if (start <= end) lua_pushlstring(L, s + start - 1, end - start + 1);
    else lua_pushliteral(L, "");
    return 1;
}

int luaB_next(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_settop(L, 2);
    if (lua_next(L, 1)) return 2;
    lua_pushnil(L);
    return 1;
}

int luaB_pairs(lua_State* L)
{
    if (!luaL_getmetafield(L, 1, "__pairs")) {
        luaL_checktype(L, 1, LUA_TTABLE);
        lua_pushcfunction(L, luaB_next);
        lua_pushvalue(L, 1);
        lua_pushnil(L);
    } else {
        lua_pushvalue(L, 1);
        lua_call(L, 1, 3);
    }
    return 3;
}

int luaB_type(lua_State* L)
{
    luaL_checkany(L, 1);
    lua_pushstring(L, luaL_typename(L, 1));
    return 1;
}

int luaB_assert(lua_State* L)
{
    if (lua_toboolean(L, 1)) return lua_gettop(L);
    if (orbo_assert_message_hook) {
        const char* text = lua_isnoneornil(L, 2) ? "" : lua_tostring(L, 2);
        orbo_assert_message_hook(text ? text : "");
    }
    return luaL_error(L, "%s", luaL_optstring(L, 2, "assertion failed!"));
}

int luaB_setmetatable(lua_State* L)
{
    int t = lua_type(L, 2);
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_argcheck(L, t == LUA_TNIL || t == LUA_TTABLE, 2, "nil or table expected");
    if (luaL_getmetafield(L, 1, "__metatable")) return luaL_error(L, "cannot change a protected metatable");
    lua_settop(L, 2);
    lua_setmetatable(L, 1);
    return 1;
}

int luaB_getmetatable(lua_State* L)
{
    luaL_checkany(L, 1);
    if (!lua_getmetatable(L, 1)) {
        lua_pushnil(L);
        return 1;
    }
    luaL_getmetafield(L, 1, "__metatable");
    return 1;
}

static lua_State* getco(lua_State* L)
{
    lua_State* co = lua_tothread(L, 1);
    luaL_argcheck(L, co, 1, "coroutine expected");
    return co;
}

static int auxresume(lua_State* L, lua_State* co, int narg)
{
    if (!lua_checkstack(co, narg)) {
        lua_pushliteral(L, "too many arguments to resume");
        return -1;
    }
    if (lua_status(co) == LUA_OK && lua_gettop(co) == 0) {
        lua_pushliteral(L, "cannot resume dead coroutine");
        return -1;
    }
    lua_xmove(L, co, narg);
    int status = lua_resume(co, L, narg);
    if (status == LUA_OK || status == LUA_YIELD) {
        int nres = lua_gettop(co);
        if (!lua_checkstack(L, nres + 1)) {
            lua_pop(co, nres);
            lua_pushliteral(L, "too many results to resume");
            return -1;
        }
        lua_xmove(co, L, nres);
        return nres;
    }
    lua_xmove(co, L, 1);
    return -1;
}

int luaB_coresume(lua_State* L)
{
    lua_State* co = getco(L);
    int r = auxresume(L, co, lua_gettop(L) - 1);
    if (r < 0) {
        lua_pushboolean(L, 0);
        lua_insert(L, -2);
        return 2;
    }
    lua_pushboolean(L, 1);
    lua_insert(L, -(r + 1));
    return r + 1;
}

int luaB_cocreate(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TFUNCTION);
    lua_State* NL = lua_newthread(L);
    lua_pushvalue(L, 1);
    lua_xmove(L, NL, 1);
    return 1;
}

int luaB_costatus(lua_State* L)
{
    lua_State* co = getco(L);
    if (L == co) lua_pushliteral(L, "running");
    else {
        switch (lua_status(co)) {
        case LUA_YIELD: lua_pushliteral(L, "suspended"); break;
        case LUA_OK: {
            lua_Debug ar;
            if (lua_getstack(co, 0, &ar) > 0) lua_pushliteral(L, "normal");
            else if (lua_gettop(co) == 0) lua_pushliteral(L, "dead");
            else lua_pushliteral(L, "suspended");  // not started yet
            break;
        }
        default: lua_pushliteral(L, "dead"); break;
        }
    }
    return 1;
}

int luaB_yield(lua_State* L) { return lua_yield(L, 0); }

int luaB_trace(lua_State* L)
{
    int arg = 0;
    lua_State* L1 = L;
    if (lua_isthread(L, 1)) {
        arg = 1;
        L1 = lua_tothread(L, 1);
    }
    const char* msg = lua_tostring(L, arg + 1);
    if (msg == nullptr && !lua_isnoneornil(L, arg + 1)) lua_pushvalue(L, arg + 1);
    else {
        int level = luaL_optint(L, arg + 2, (L == L1) ? 1 : 0);
        luaL_traceback(L, L1, msg, level);
    }
    return 1;
}

void orbo_open_baselib(lua_State* L)
{
    static const luaL_Reg funcs[] = {
        {"sub", luaB_sub},
        {"pairs", luaB_pairs},
        {"type", luaB_type},
        {"assert", luaB_assert},
        {"setmetatable", luaB_setmetatable},
        {"getmetatable", luaB_getmetatable},
        {"cocreate", luaB_cocreate},
        {"coresume", luaB_coresume},
        {"costatus", luaB_costatus},
        {"trace", luaB_trace},
        {"yield", luaB_yield},
        {nullptr, nullptr},
    };
    lua_pushglobaltable(L);
    luaL_setfuncs(L, funcs, 0);
    lua_pop(L, 1);
}
