// A script state with every console binding registered, over a live
// console with a cartridge record; snippets run through the engine.
#pragma once
#include <string>

#include "app/pause_items.h"
#include "app/state.h"
#include "cart/working_cart.h"
#include "engine/lua/cpu.h"
#include "engine/lua/lauxlib.h"
#include "hardware/api/api.h"
#include "hardware/api/subsystem_seams.h"
#include "hardware/lua_alloc.h"
#include "hw_fixture.h"

namespace hwtest {

struct api_test : console_test {
    lua_State* L = nullptr;
    orbo_spend_cpu_fn_t saved_spend = nullptr;
    orbo_spend_cpu_fn_t saved_refund = nullptr;

    void SetUp() override
    {
        console_test::SetUp();
        saved_spend = orbo_spend_cpu_fn;
        saved_refund = orbo_refund_cpu_fn;
        orbo_reset_subsystem_seams();
        orbo_clear_menu_items();
        pstate.time_frames = 0;
        pstate.run_param.clear();
        pstate.drop_penalty = 0;
        pstate.overlay_screen = 0;
        app.menu_items = 0;
        orbo_cpu = orbo_cpu_counters{};
        orbo_working().cart = kiln_create_orbo_cart();
        L = lua_newstate(orbo_lua_alloc, &c->heap);
        ASSERT_NE(L, nullptr);
        add_c_functions(L);
        orbo_set_live_console(c);
    }
    void TearDown() override
    {
        lua_close(L);
        orbo_set_live_console(nullptr);
        orbo_reset_subsystem_seams();
        orbo_spend_cpu_fn = saved_spend;
        orbo_refund_cpu_fn = saved_refund;
        orbo_cpu = orbo_cpu_counters{};
    }

    // Runs a chunk; fails the test on an error. Leaves its results on the stack.
    int run(const std::string& code)
    {
        lua_settop(L, 0);
        if (luaL_loadstring(L, code.c_str()) != LUA_OK || lua_pcall(L, 0, LUA_MULTRET, 0) != LUA_OK) {
            ADD_FAILURE() << code << ": " << (lua_tostring(L, -1) ? lua_tostring(L, -1) : "?");
            lua_settop(L, 0);
            return 0;
        }
        return lua_gettop(L);
    }
    // The raw value of an expression.
    fix32 num(const std::string& expr)
    {
        run("return " + expr);
        return lua_type(L, 1) == LUA_TNUMBER ? lua_tonumberx(L, 1, nullptr) : INT32_MIN;
    }
    // The type name of an expression's first value ("no value" when none).
    std::string type_of(const std::string& expr)
    {
        run("return " + expr);
        return lua_typename(L, lua_type(L, 1));
    }
    std::string str(const std::string& expr)
    {
        run("return " + expr);
        return lua_type(L, 1) == LUA_TSTRING ? lua_tostring(L, 1) : "<" + type_of_top() + ">";
    }
    bool truth(const std::string& expr)
    {
        run("return " + expr);
        EXPECT_EQ(lua_type(L, 1), LUA_TBOOLEAN) << expr;
        return lua_toboolean(L, 1);
    }
    std::string type_of_top() { return lua_typename(L, lua_type(L, 1)); }
    // Refunds made since the last call (negative: cycles given back).
    int64_t refunded()
    {
        int64_t n = orbo_cpu_refunded;
        orbo_cpu_refunded = 0;
        orbo_cpu_refunds = 0;
        return n;
    }
    void clear_cpu()
    {
        charged();
        refunded();
    }
};

}  // namespace hwtest
