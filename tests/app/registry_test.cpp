// The registry as start-up wires it: every global of the API list reaches a
// fresh script machine with its binding, whichever layer defines it, and the
// tokenizer's API-name list is rebuilt from the listed names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/wiring.h"
#include "engine/lua/baselib.h"
#include "engine/lua/lauxlib.h"
#include "engine/token/token.h"
#include "hardware/api/api.h"
#include "hardware/lua_alloc.h"
#include "hardware/machine.h"
#include "runtime/lua_machine.h"
#include "runtime/runtime_api.h"

namespace {
struct global_entry {
    const char* name;
    lua_CFunction fn;
    bool listed;
};
const global_entry k_table[] = {
#define ORBO_ENTRY(name, binding, listed, layer) {#name, binding, listed},
    ORBO_API_GLOBALS(ORBO_ENTRY)
#undef ORBO_ENTRY
};

bool truth(lua_State* L, const char* code)
{
    luaL_loadstring(L, (std::string("return ") + code).c_str());
    lua_call(L, 0, 1);
    bool b = lua_toboolean(L, -1);
    lua_pop(L, 1);
    return b;
}
}  // namespace

TEST(Registry, StartUpRegistersEveryGlobalAndRebuildsTheNameList)
{
    orbo_wire_layers();
    orbo_new_machine();
    lua_State* L = lua_newstate(orbo_lua_alloc, &orbo_live_machine()->heap);
    ASSERT_NE(L, nullptr);
    add_c_functions(L);
    std::vector<std::string> listed;
    lua_pushglobaltable(L);
    for (const global_entry& e : k_table) {
        lua_getfield(L, 1, e.name);
        EXPECT_TRUE(lua_iscfunction(L, -1)) << e.name;
        EXPECT_EQ(lua_tocfunction(L, -1), e.fn) << e.name;
        lua_settop(L, 1);
        if (e.listed) listed.push_back(e.name);
    }
    lua_settop(L, 0);
    EXPECT_EQ(std::size(k_table), 118u);
    ASSERT_EQ(api_function_names(), int(listed.size()));
    for (size_t i = 0; i < listed.size(); i++) EXPECT_EQ(api_function_name(int(i)), listed[i]) << i;
    EXPECT_FALSE(is_api_function_name("t"));
    EXPECT_FALSE(is_api_function_name("_set_paused"));
    EXPECT_TRUE(is_api_function_name("mapdraw"));
    // Shared functions, and nothing else in the global table.
    EXPECT_TRUE(truth(L, "ls == dir and map == mapdraw and shutdown == exit and time == t"));
    EXPECT_TRUE(truth(L, "(function() local n = 0 for k in pairs(_ENV) do n = n + 1 end return n end)() == 118"));
    EXPECT_TRUE(truth(L, "string == nil and math == nil"));
    lua_close(L);
}
