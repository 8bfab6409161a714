// The runtime's script functions: load, extcmd, the run chain.
#include <tuple>

#include "app/wiring.h"
#include "runtime/pstate.h"
#include "cart/embedded.h"
#include "engine/lua/lauxlib.h"
#include "../runtime/rt_fixture.h"

namespace {
struct RunApiTest : RuntimeTest {
    void SetUp() override
    {
        RuntimeTest::SetUp();
        orbo_wire_layers();
        clear_embedded_carts();
        orbo_cart_ptr other = orbo_create_cart();
        other->code = "function _update() end\nloaded=1\n";
        ASSERT_TRUE(mount_embedded_cart(other.get(), "other.ob"));
    }
    void TearDown() override
    {
        clear_embedded_carts();
        RuntimeTest::TearDown();
    }
};
}  // namespace

// The label and parameter reaching the loaded program run in the cartridge
// suite; here the run chain's entry, and a load that pushes nothing.
TEST_F(RunApiTest, LoadEmbeddedPushesTheRunChain)
{
    orbo_working().filename = "first.ob";
    ASSERT_TRUE(start("function _update() if not done then done=1 load('other.ob', 'go back', 'hello') end end\n"));
    frame();
    EXPECT_EQ(pstate.pending_action, ACTION_RUN);
    EXPECT_EQ(pstate.hold_frames, 30);
    ASSERT_EQ(run_chain_items(), 1);
    EXPECT_STREQ(get_run_chain_label(), "go back");
    EXPECT_STREQ(get_run_chain_filename(), "first.ob");
    frames(32);
    EXPECT_EQ(global_int("loaded"), 1);
    EXPECT_EQ(pstate.run_param, "hello");

    // A one-character label pushes nothing; reloading the same file holds
    // no frames.
    ASSERT_TRUE(start("load('other.ob', 'x')\nfunction _update() end\n"));
    frame();
    EXPECT_EQ(run_chain_items(), 1);
    EXPECT_EQ(pstate.pending_action, ACTION_RUN);
    EXPECT_EQ(pstate.hold_frames, 0);
}

TEST_F(RunApiTest, RunChainIsABoundedStack)
{
    for (int i = 0; i < ORBO_RUN_CHAIN_MAX + 5; i++) add_run_chain_item("f" + std::to_string(i), "label", "");
    EXPECT_EQ(run_chain_items(), ORBO_RUN_CHAIN_MAX);
    EXPECT_STREQ(get_run_chain_filename(), ("f" + std::to_string(ORBO_RUN_CHAIN_MAX - 1)).c_str());
    pop_run_chain();
    EXPECT_EQ(run_chain_items(), ORBO_RUN_CHAIN_MAX - 1);
    reset_run_chain();
    EXPECT_EQ(get_run_chain_label(), nullptr);
    EXPECT_EQ(get_run_chain_param_str(), nullptr);
    follow_current_breadcrumb();  // an empty chain: nothing happens
    EXPECT_EQ(pstate.pending_action, ACTION_NONE);
}

TEST_F(RunApiTest, BreadcrumbGoesBackWithItsParameter)
{
    orbo_working().filename = "";
    ASSERT_TRUE(start("function _update() end\n"));
    add_run_chain_item("other.ob", "back", "the param");
    lua_State* L = orbo_rt().L;
    ASSERT_EQ(luaL_loadstring(L, "extcmd('breadcrumb')"), 0);
    lua_State* co = lua_newthread(L);
    lua_pushvalue(L, -2);
    lua_xmove(L, co, 1);
    EXPECT_EQ(lua_resume(co, nullptr, 0), LUA_YIELD);  // breadcrumb yields
    EXPECT_EQ((std::tuple{pstate.pending_action, pstate.pending_param, pstate.hold_frames, run_chain_items(),
                          orbo_working().filename.find("other.ob") != std::string::npos}),
              (std::tuple{ACTION_RUN, "the param", 20, 0, true}));
}
