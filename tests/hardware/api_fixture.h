// A script state with every binding handed to the registry registered,
// over the live machine with this test's cartridge record; snippets run
// through the engine.
#pragma once
#include <string>

#include "cart/working_cart.h"
#include "engine/lua/cpu.h"
#include "engine/lua/lauxlib.h"
#include "hardware/api/api.h"
#include "hardware/input_link.h"
#include "hardware/sound_link.h"
#include "hardware/lua_alloc.h"
#include "hw_fixture.h"

namespace hwtest {

struct api_test : console_test {
    lua_State* L = nullptr;

    void SetUp() override
    {
        console_test::SetUp();
        orbo_reset_sound_link();
        orbo_reset_input_link();
        orbo_cpu = orbo_cpu_counters{};
        orbo_working().cart = orbo_create_cart();
        // The bindings act on the live machine: this test's cartridge behind it.
        orbo_recreate_live_machine();
        c = orbo_live_machine();
        c->cart = cart.get();
        c->font = console_font();
        L = lua_newstate(orbo_lua_alloc, &c->heap);
        ASSERT_NE(L, nullptr);
        add_c_functions(L);
    }
    void TearDown() override
    {
        lua_close(L);
        orbo_reset_sound_link();
        orbo_reset_input_link();
        orbo_reset_runtime_hooks();
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
