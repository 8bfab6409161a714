// The runtime's script functions: load, run, stop, extcmd, the run chain.
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
        other->code = "function _update() end\np=stat(6) l=stat(100) loaded=1\n";
        ASSERT_TRUE(mount_embedded_cart(other.get(), "other.ob"));
    }
    void TearDown() override
    {
        clear_embedded_carts();
        RuntimeTest::TearDown();
    }
    std::string global_str(const char* name)
    {
        lua_State* L = orbo_rt().L;
        int top = lua_gettop(L);
        lua_getglobal(L, name);
        const char* s = lua_tostring(L, -1);
        std::string v = s ? s : "(nil)";
        lua_settop(L, top);
        return v;
    }
};
}  // namespace

TEST_F(RunApiTest, LoadOfNamesThatAreNotEmbedded)
{
    std::string out = console_lines([&] {
        ASSERT_TRUE(start("a=load('nothere.ob') b=load('#x') c=load('__x') d=load('@clip') e=load('/nothere')\n"
                          "assert(a==true and b==false and c==false and d==true and e==true, 'load results')\n"
                          "function _update() end\n"));
        frame();
    });
    EXPECT_EQ(out, "");
    EXPECT_TRUE(running());
    EXPECT_EQ(pstate.pending_action, ACTION_NONE);
    EXPECT_EQ(run_chain_items(), 0);
}

TEST_F(RunApiTest, LoadEmbeddedWithLabelAndParameterThenGoBack)
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
    EXPECT_EQ(global_str("p"), "hello");
    EXPECT_EQ(global_str("l"), "go back");
    EXPECT_EQ(pstate.run_param, "hello");

    // A one-character label pushes nothing; reloading the same file holds
    // no frames.
    ASSERT_TRUE(start("load('other.ob', 'x')\nfunction _update() end\n"));
    frame();
    EXPECT_EQ(run_chain_items(), 1);
    EXPECT_EQ(pstate.pending_action, ACTION_RUN);
    EXPECT_EQ(pstate.hold_frames, 0);
}

TEST_F(RunApiTest, RunRestartsWithAParameter)
{
    ASSERT_TRUE(start("n=(n or 0)+1 p=stat(6)\nfunction _update() if stat(6)=='' then run('again') end end\n"));
    frame();
    EXPECT_EQ(pstate.pending_action, ACTION_RUN);
    frame();
    EXPECT_EQ(global_str("p"), "again");
    EXPECT_EQ(global_int("n"), 1);  // a fresh machine
}

TEST_F(RunApiTest, StopPrintsAndEndsTheProgram)
{
    ASSERT_TRUE(start("function _update() stop('bye') after=1 end\n"));
    frame();
    EXPECT_EQ(pstate.pending_action, ACTION_STOP);
    EXPECT_NE(global_int("after"), 1);  // stop yields at once
    frame();
    EXPECT_FALSE(running());
    EXPECT_TRUE(kiln_quit);
    // "bye" is on the console screen's first line (cursor moved down).
    EXPECT_EQ(orbo_live_machine()->cursor_y, 6);
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
    EXPECT_EQ(pstate.pending_action, ACTION_RUN);
    EXPECT_EQ(pstate.pending_param, "the param");
    EXPECT_EQ(pstate.hold_frames, 20);
    EXPECT_EQ(run_chain_items(), 0);
    EXPECT_EQ(orbo_working().filename.find("other.ob") != std::string::npos, true);
}
