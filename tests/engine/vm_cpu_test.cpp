// CPU budget accounting: the count hook suspends the program when a frame's
// cycles reach the budget, and resumption continues exactly where it stopped.
#include "engine/lua/cpu.h"
#include "engine/lua/internal.h"
#include "vm_fixture.h"

namespace {
struct cpu_session {
    vm_state s;
    cpu_session(int fps)
    {
        orbo_cpu = orbo_cpu_counters{};
        orbo_cpu.fps = orbo_cpu.target_fps = fps;
        orbo_cpu.L = s.L;
    }
    ~cpu_session() { orbo_cpu = orbo_cpu_counters{}; }
    int resume()
    {
        orbo_cpu_prepare_resume(s.L);
        return lua_resume(s.L, nullptr, 0);
    }
};
}  // namespace

TEST(VmCpu, FrameBudgets)
{
    orbo_cpu.fps = 30;
    EXPECT_EQ(orbo_frame_budget(), 139810);
    orbo_cpu.fps = 60;
    EXPECT_EQ(orbo_frame_budget(), 69905);
    orbo_cpu.fps = 15;
    EXPECT_EQ(orbo_frame_budget(), 279620);
    orbo_cpu = orbo_cpu_counters{};
}

TEST(VmCpu, LoopIsSuspendedAtThe137thHookAndResumesExactly)
{
    cpu_session c(30);
    // Each iteration is GETTABUP, ADD, SETTABUP, JMP; 'x = 0' is one more.
    ASSERT_EQ(luaL_loadstring(c.s.L, "x = 0 while true do x = x + 1 end"), LUA_OK);
    ASSERT_EQ(c.resume(), LUA_YIELD);
    // 137 hooks of 1024: 140287 instructions ran; the 140288th (a SETTABUP
    // storing x = 35072) is the interrupted one.
    EXPECT_EQ(orbo_cpu.frame_cycles, 137 * 1024);
    EXPECT_EQ(orbo_cpu.slice_cycles, 0);
    EXPECT_EQ(c.s.number("x"), fix_from_int(35071));
    orbo_cpu_frame_reset();
    // Resumed: the interrupted SETTABUP runs first, no instruction is lost
    // or repeated. As in the reference engine, the hook skipped for the
    // interrupted instruction is the first one after the resumption, so the
    // second slice runs one block more: 138 * 1024 instructions.
    ASSERT_EQ(c.resume(), LUA_YIELD);
    EXPECT_EQ(orbo_cpu.frame_cycles, 137 * 1024);
    EXPECT_EQ(c.s.number("x"), fix_from_int(35071 + (138 * 1024) / 4));
}

TEST(VmCpu, SpendRefundAndTheHookCounter)
{
    cpu_session c(30);
    lua_State* L = c.s.L;
    lua_sethook(L, instruction_limiter, LUA_MASKCOUNT, 1024);
    spend_cpu(0);
    spend_cpu(-5);
    EXPECT_EQ(orbo_cpu.system_cycles, 2);  // at least 1 each
    EXPECT_EQ(orbo_cpu.frame_cycles, 2);
    EXPECT_EQ(lua_get_cpu(L), 1024);
    spend_cpu(2046);  // remainder 2048: the hook comes 2 instructions closer
    EXPECT_EQ(orbo_cpu.spend_remainder, 0);
    EXPECT_EQ(lua_get_cpu(L), 1022);
    refund_cpu(-3);
    EXPECT_EQ(orbo_cpu.frame_cycles, 2048 - 3);
    EXPECT_EQ(orbo_cpu.slice_cycles, 2048 - 3);
    EXPECT_EQ(orbo_cpu.system_cycles, 2048);  // refunds never lower it
    EXPECT_EQ(orbo_cpu.spend_remainder, -3);
    EXPECT_EQ(lua_get_cpu(L), 1022);  // a negative remainder passes nothing on
    spend_cpu(5000000);
    EXPECT_EQ(lua_get_cpu(L), 1);  // never below the next instruction
    orbo_cpu.L = nullptr;
    int32_t before = orbo_cpu.frame_cycles;
    spend_cpu(100);  // without an engine state nothing happens
    EXPECT_EQ(orbo_cpu.frame_cycles, before);
}

TEST(VmCpu, SoftYieldBringsTheHookToTheNextInstruction)
{
    cpu_session c(30);
    lua_State* L = c.s.L;
    lua_sethook(L, instruction_limiter, LUA_MASKCOUNT, 1024);
    L->hookcount = 700;
    lua_orbo_soft_yield(L);
    EXPECT_EQ(lua_get_cpu(L), 1);
    EXPECT_EQ(orbo_soft_yield_count, 700);
    lua_spend_cpu(L, 2);  // counts from the saved counter
    EXPECT_EQ(lua_get_cpu(L), 698);
    EXPECT_EQ(orbo_soft_yield_count, 0);
}

TEST(VmCpu, HostChargesShortenTheFrame)
{
    cpu_session c(30);
    lua_register(c.s.L, "cls", [](lua_State*) {
        spend_cpu(1024);
        return 0;
    });
    // Five instructions and one charge of 1024 per iteration: the hook comes
    // every 1024 / 6 iterations and then finds the budget spent.
    ASSERT_EQ(luaL_loadstring(c.s.L, "n = 0 for i = 1, 200 do cls() n = i x = i end"), LUA_OK);
    ASSERT_EQ(c.resume(), LUA_YIELD);
    lua_Number n = c.s.number("n");
    EXPECT_GT(n, fix_from_int(100));
    EXPECT_LT(n, fix_from_int(200));
    EXPECT_GE(orbo_cpu.system_cycles, 100 * 1024);
    int32_t system = orbo_cpu.system_cycles;
    ASSERT_EQ(c.resume(), LUA_OK);
    EXPECT_GT(orbo_cpu.system_cycles, system);  // not reset by the suspension
    EXPECT_EQ(c.s.number("n"), fix_from_int(200));
}

TEST(VmCpu, BudgetInsideACoroutineYieldsToItsResumer)
{
    cpu_session c(30);
    ASSERT_EQ(luaL_loadstring(c.s.L, "local co = cocreate(function() while true do end end) "
                                     "r = {coresume(co)} n = #r st = costatus(co)"),
              LUA_OK);
    ASSERT_EQ(c.resume(), LUA_OK);
    EXPECT_EQ(c.s.number("n"), FIX_ONE);  // coresume returned just true
    lua_getglobal(c.s.L, "st");
    EXPECT_STREQ(lua_tostring(c.s.L, -1), "suspended");
    lua_pop(c.s.L, 1);
}

TEST(VmCpu, BudgetInsideANonYieldableCallIsAnError)
{
    cpu_session c(30);
    ASSERT_EQ(luaL_loadstring(c.s.L, "local t = setmetatable({}, {__pairs = function() while true do end end}) "
                                     "for k in pairs(t) do end"),
              LUA_OK);
    ASSERT_EQ(c.resume(), LUA_ERRRUN);
    EXPECT_STREQ(lua_tostring(c.s.L, -1), "attempt to yield across a C-call boundary");
}

TEST(VmCpu, CapacityOfOneFrame)
{
    orbo_cpu = orbo_cpu_counters{};
    orbo_cpu.target_fps = 60;
    EXPECT_EQ(cycles_2_frame_capacity(69905), FIX_ONE);
    orbo_cpu.target_fps = 30;
    EXPECT_EQ(cycles_2_frame_capacity(69905), 0x8000);
    orbo_cpu.target_fps = 0;  // treated as 1
    EXPECT_EQ(cycles_2_frame_capacity(4194304), FIX_ONE);
    orbo_cpu = orbo_cpu_counters{};
}
