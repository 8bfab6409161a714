// Calls for a host log and an online board that this player does not have:
// printh goes to the sink a tool set (nowhere in the player), the board
// calls answer nil.
#include "engine/lua/lauxlib.h"
#include "hardware/console.h"
#include "hardware/api/api.h"
#include "hardware/host_log.h"

void (*orbo_printh_sink)(const char* text) = nullptr;

namespace {
constexpr int k_notice_colour = 6;
}

int ob_printh(lua_State* L)
{
    if (!orbo_printh_sink) return 0;
    orbo_printh_sink(luaL_tolstring(L, 1, nullptr));
    lua_pop(L, 1);
    return 0;
}

int ob_login(lua_State* L)
{
    orbo_print_col("login unavailable.", k_notice_colour);
    orbo_print_col("please update orbo!", k_notice_colour);
    lua_pushnil(L);
    return 1;
}

int ob_logout(lua_State* L)
{
    lua_pushnil(L);
    return 1;
}

int ob_bbsreq(lua_State* L)
{
    lua_pushnil(L);
    return 1;
}

// Returns nil and 0.
int ob_scoresub(lua_State* L)
{
    lua_pushnil(L);
    lua_pushnumber(L, 0);
    return 2;
}
