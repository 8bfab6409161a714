// cartdata, dget and dset: the script side of cartridge data.
#include <cstring>

#include "hardware/api/api.h"
#include "hardware/cdata.h"
#include "hardware/machine.h"
#include "hardware/runtime_link.h"

namespace {
// dget and dset work once a store is open, for a cartridge from the board
// while it runs, or under the launch flag.
bool data_allowed()
{
    const orbo_runtime_link& rt = orbo_runtime_hooks;
    return (rt.program_running() && !rt.cart_id().empty()) || orbo_cdata_is_open() || orbo_cdata_without_store;
}

// The word index of the first argument, or -1 when outside 0..63.
int word_index(lua_State* L)
{
    int32_t i = int32_t(lua_tonumber(L, 1)) >> 16;
    return i >= 0 && i < ORBO_CDATA_WORDS ? i : -1;
}
}  // namespace

int ob_cartdata(lua_State* L)
{
    if (lua_gettop(L) < 1) return 0;
    size_t len = 0;
    const char* id = lua_tolstring(L, 1, &len);
    if (!id) return 0;
    lua_pushboolean(L, orbo_load_cdata_id(std::string_view(id, len)) == 0);
    return 1;
}

// The error stops the program; yielding hands control back at once so that
// nothing after the faulty call runs.
int ob_dget(lua_State* L)
{
    if (!data_allowed()) {
        orbo_runtime_error("** dget called before cartdata()");
        return lua_yield(L, 0);
    }
    int i = word_index(L);
    orbo_machine* c = orbo_live_machine();
    lua_pushnumber(L, i < 0 || !c ? 0 : int32_t(c->cdata[i]));
    return 1;
}

int ob_dset(lua_State* L)
{
    if (!data_allowed()) {
        orbo_runtime_error("** dset called before cartdata()");
        return lua_yield(L, 0);
    }
    int i = word_index(L);
    orbo_machine* c = orbo_live_machine();
    if (i < 0 || !c) return 0;
    orbo_cdata_set_word(c, i, uint32_t(int32_t(lua_tonumber(L, 2))));
    return 0;
}
