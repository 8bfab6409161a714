// Coroutines and hostile programs: every one ends with its Lua error, never
// a crash or a hang.
#include "engine/lua/internal.h"
#include "vm_fixture.h"

TEST(VmCoroutine, YieldPassesNoValuesAndStatusesFollowTheLifecycle)
{
    vm_state s;
    ASSERT_EQ(s.run("local co = cocreate(function(a) yield(1, 2) return a end) "
                    "print(costatus(co), coresume(co, 9)) print(costatus(co), coresume(co)) "
                    "print(costatus(co), coresume(co))"), "");
    EXPECT_EQ(s.out, "suspended\ttrue\nsuspended\ttrue\t9\ndead\tfalse\tcannot resume dead coroutine\n");
}

TEST(VmCoroutine, YieldOutsideACoroutine)
{
    vm_state s;
    EXPECT_EQ(s.run("yield()"), "attempt to yield from outside a coroutine");
    EXPECT_EQ(s.run("local t = setmetatable({}, {__pairs = function() yield() end}) "
                    "local ok, msg = coresume(cocreate(function() pairs(t) end)) error_msg = msg"), "");
    lua_getglobal(s.L, "error_msg");
    EXPECT_STREQ(lua_tostring(s.L, -1), "attempt to yield across a C-call boundary");
    lua_pop(s.L, 1);
}

TEST(VmCoroutine, MainThreadIsResumable)
{
    vm_state s;
    lua_State* L = s.L;
    ASSERT_EQ(luaL_loadstring(L, "for i = 1, 3 do print(i) yield() end"), LUA_OK);
    int frames = 0;
    int status;
    while ((status = lua_resume(L, nullptr, 0)) == LUA_YIELD) frames++;
    EXPECT_EQ(status, LUA_OK);
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(s.out, "1\n2\n3\n");
}

TEST(VmHostile, InfiniteRecursionIsAStackOverflow)
{
    vm_state s;
    std::string msg = s.run("local function f() return 1 + f() end f()");
    EXPECT_NE(msg.find("stack overflow"), std::string::npos) << msg;
    EXPECT_EQ(s.run("x = 1"), "");
}

TEST(VmHostile, DeepNativeRecursionIsACStackOverflow)
{
    vm_state s;
    EXPECT_EQ(s.run("local t = setmetatable({}, {__index = function(t, k) return t[k] end}) return t.x"), "C stack overflow");
    EXPECT_EQ(s.run("local function nest() local co = cocreate(nest) local ok, m = coresume(co) "
                    "if not ok then error_text = m end end nest() msg = error_text"), "");
    lua_getglobal(s.L, "msg");
    EXPECT_STREQ(lua_tostring(s.L, -1), "C stack overflow");
    lua_pop(s.L, 1);
    EXPECT_EQ(s.run("local t = setmetatable({}, {__concat = function(a, b) return a .. b end}) return t .. 'x'"),
              "C stack overflow");
}

TEST(VmHostile, MetamethodLoops)
{
    vm_state s;
    EXPECT_EQ(s.run("local a, b = {}, {} setmetatable(a, {__index = b}) setmetatable(b, {__index = a}) return a.x"),
              "loop in gettable");
    EXPECT_EQ(s.run("local a, b = {}, {} setmetatable(a, {__newindex = b}) setmetatable(b, {__newindex = a}) a.x = 1"),
              "loop in settable");
    EXPECT_EQ(s.run("local t = setmetatable({}, {__call = 5}) t()"), "attempt to call local 't' (a table value)");
}
