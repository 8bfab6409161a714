// The host API: 16.16 boundary conversions, string chunk names, message
// formatting with raw values, error positions and orbo_runtime_line.
#include <cstring>

#include "engine/lua/internal.h"
#include "vm_fixture.h"

TEST(VmApi, NumberBoundaryConversions)
{
    vm_state s;
    lua_State* L = s.L;
    lua_pushnumber(L, -0x18000);  // -1.5
    EXPECT_EQ(lua_tonumber(L, -1), -0x18000);
    EXPECT_EQ(lua_tointeger(L, -1), -2);  // the floor
    EXPECT_EQ(lua_tounsigned(L, -1), lua_Unsigned(-2));
    lua_pushinteger(L, 5);  // stored unchanged: raw 5
    EXPECT_EQ(lua_tonumber(L, -1), 5);
    lua_pushunsigned(L, 5);  // made a number: 5 << 16
    EXPECT_EQ(lua_tonumber(L, -1), fix_from_int(5));
    lua_pushstring(L, " 0x10.8 ");
    int isnum = 0;
    EXPECT_EQ(lua_tonumberx(L, -1, &isnum), 0x108000);
    EXPECT_EQ(isnum, 1);
    lua_pushstring(L, "nope");
    EXPECT_EQ(lua_tonumberx(L, -1, &isnum), 0);
    EXPECT_EQ(isnum, 0);
    lua_pushnil(L);
    EXPECT_EQ(lua_tonumber(L, -1), 0);
    EXPECT_EQ(lua_tonumber(L, 40), 0);  // a missing argument
    lua_pushnumber(L, 0x18000);
    EXPECT_STREQ(lua_tostring(L, -1), "1.5");  // converted in place
    EXPECT_EQ(lua_type(L, -1), LUA_TSTRING);
    lua_settop(L, 0);
}

TEST(VmApi, FormatterTakesRawValues)
{
    vm_state s;
    EXPECT_STREQ(lua_pushfstring(s.L, "line %d of %s (%d%%)", fix_from_int(12), "tab", 0x8000), "line 12 of tab (0.5%)");
    lua_settop(s.L, 0);
}

TEST(VmApi, StringChunkNamesAndErrorPositions)
{
    vm_state s;
    orbo_runtime_line = 0;
    // A runtime error of the virtual machine: no prefix, the line is recorded.
    EXPECT_EQ(s.run("local a = 1\nlocal b = nil\nreturn a + b"), "attempt to perform arithmetic on local 'b' (a nil value)");
    EXPECT_EQ(orbo_runtime_line, 3);
    // An error raised by a host function through the auxiliary library carries
    // the caller's position; the chunk name of a string chunk is its first line.
    EXPECT_EQ(s.run("x = 1 -- first line\n\nsub()"),
              "[string \"x = 1 -- first line...\"]:3: bad argument #1 to 'sub' (string expected, got no value)");
    EXPECT_EQ(orbo_runtime_line, 3);
    EXPECT_EQ(s.run("assert(false, 'boom')"), "[string \"assert(false, 'boom')\"]:1: boom");
    // Compile errors use the same chunk name.
    EXPECT_EQ(s.run("x = = 1"), "[string \"x = = 1\"]:1: unexpected symbol near '='");
}

TEST(VmApi, AssertRecordsItsMessage)
{
    static std::string recorded;
    orbo_assert_message_hook = [](const char* text) { recorded = text; };
    vm_state s;
    recorded = "unset";
    EXPECT_EQ(s.run("assert(1, 'fine')"), "");
    EXPECT_EQ(recorded, "unset");
    s.run("assert(nil, 'why')");
    EXPECT_EQ(recorded, "why");
    s.run("assert(false)");
    EXPECT_EQ(recorded, "");
    s.run("assert(false, 12)");
    EXPECT_EQ(recorded, "12");
    orbo_assert_message_hook = nullptr;
}

TEST(VmApi, TablesGlobalsCallsAndProtectedCalls)
{
    vm_state s;
    lua_State* L = s.L;
    lua_createtable(L, 2, 1);
    lua_pushunsigned(L, 7);
    lua_rawseti(L, -2, 1);
    lua_pushstring(L, "v");
    lua_setfield(L, -2, "k");
    lua_setglobal(L, "t");
    ASSERT_EQ(s.run("function f(a, b) return t[1] + a, t.k .. b end"), "");
    lua_getglobal(L, "f");
    lua_pushunsigned(L, 3);
    lua_pushstring(L, "w");
    ASSERT_EQ(lua_pcall(L, 2, 2, 0), LUA_OK);
    EXPECT_EQ(lua_tonumber(L, -2), fix_from_int(10));
    EXPECT_STREQ(lua_tostring(L, -1), "vw");
    lua_settop(L, 0);
    // An error handler sees the message first.
    lua_pushcfunction(L, [](lua_State* L1) {
        lua_pushfstring(L1, "handled: %s", lua_tostring(L1, 1));
        return 1;
    });
    ASSERT_EQ(luaL_loadstring(L, "local t = nil; return t.x"), LUA_OK);
    EXPECT_EQ(lua_pcall(L, 0, 0, 1), LUA_ERRRUN);
    EXPECT_STREQ(lua_tostring(L, -1), "handled: attempt to index local 't' (a nil value)");
    lua_settop(L, 0);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST(VmApi, BinaryChunksAreRefusedAsText)
{
    vm_state s;
    EXPECT_EQ(luaL_loadbuffer(s.L, "\x1bLua\x52", 5, "bin"), LUA_ERRSYNTAX);
    EXPECT_STREQ(lua_tostring(s.L, -1), "attempt to load a binary chunk (mode is 't')");
    lua_settop(s.L, 0);
}

TEST(VmApi, TraceShowsTheCallChain)
{
    vm_state s;
    ASSERT_EQ(s.run("local function inner() return trace('msg') end\n"
                    "function outer() return inner() end\n"
                    "text = outer()"), "");
    lua_getglobal(s.L, "text");
    std::string text = lua_tostring(s.L, -1);
    lua_pop(s.L, 1);
    EXPECT_EQ(text.rfind("msg\nstack traceback:\n", 0), 0u) << text;
    EXPECT_NE(text.find(":1: in function <"), std::string::npos) << text;
    EXPECT_NE(text.find(":3: in main chunk"), std::string::npos) << text;
}

TEST(VmApi, ResetCallStateDiscardsASuspendedChain)
{
    vm_state s;
    lua_State* L = s.L;
    ASSERT_EQ(luaL_loadstring(L, "local v = 5 get = function() return v end yield() v = 6"), LUA_OK);
    ASSERT_EQ(lua_resume(L, nullptr, 0), LUA_YIELD);
    lua_reset_call_state_orbo(L);
    EXPECT_EQ(lua_status(L), LUA_OK);
    lua_settop(L, 0);
    ASSERT_EQ(s.run("five = get()"), "");  // the closed upvalue kept its value
    EXPECT_EQ(s.number("five"), fix_from_int(5));
}

TEST(VmApi, GlobalAccessMovesTheStackByOne)
{
    vm_state s;
    lua_State* L = s.L;
    ASSERT_EQ(s.run("g = 5 setmetatable(_ENV, {__index = function(t, k) return k .. '?' end})"), "");
    int top = lua_gettop(L);
    lua_getglobal(L, "g");  // one value: the global, nothing under it
    ASSERT_EQ(lua_gettop(L), top + 1);
    EXPECT_EQ(lua_tonumber(L, -1), fix_from_int(5));
    lua_getglobal(L, "missing");  // through __index of the globals
    ASSERT_EQ(lua_gettop(L), top + 2);
    EXPECT_STREQ(lua_tostring(L, -1), "missing?");
    lua_pushnumber(L, fix_from_int(7));
    lua_setglobal(L, "h");
    EXPECT_EQ(lua_gettop(L), top + 2);
    lua_settop(L, top);
    EXPECT_EQ(s.number("h"), fix_from_int(7));
}

// Host pushes of short strings go through memos keyed by the text's
// address: the same buffer with new text gives the new string, and a string
// remembered before a collection that freed it is never handed out again
// (AddressSanitizer builds see every freed block).
TEST(VmApi, PushedStringsFollowTheTextAndOutliveCollections)
{
    vm_state s;
    lua_State* L = s.L;
    char buf[8] = "alpha";
    lua_pushstring(L, buf);
    memcpy(buf, "omega", 5);
    lua_pushstring(L, buf);
    EXPECT_STREQ(lua_tostring(L, -2), "alpha");
    EXPECT_STREQ(lua_tostring(L, -1), "omega");
    buf[2] = 0;
    lua_pushstring(L, buf);
    EXPECT_STREQ(lua_tostring(L, -1), "om");
    lua_settop(L, 0);
    for (int round = 0; round < 3; round++) {
        lua_pushliteral(L, "a literal pushed before each collection");
        lua_pushstring(L, buf);
        EXPECT_STREQ(lua_tostring(L, -2), "a literal pushed before each collection");
        EXPECT_STREQ(lua_tostring(L, -1), "om");
        lua_settop(L, 0);
        lua_gc(L, LUA_GCCOLLECT, 0);  // both strings are garbage now
    }
}
