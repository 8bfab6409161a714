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

// Instructions executed so far by "x = 0 while true do x = x + 1 end":
// [0] SETTABUP x 0, then per iteration [1] GETTABUP, [2] ADD, [3] SETTABUP,
// [4] JMP. With the main thread suspended before the instruction at pc,
// every instruction before pc has run. x wraps at 32768, so the iterations
// are followed across suspensions (fewer than 65536 per slice).
struct loop_counter {
    int64_t stores = 0;  // SETTABUP [3] executed
    int64_t update(vm_state& s)
    {
        int32_t x = fix_to_int(s.number("x"));
        stores += uint16_t(uint32_t(x) - uint32_t(stores));
        lua_State* L = s.L;
        CallInfo* ci = L->ci;
        EXPECT_TRUE(isLua(ci));
        // While suspended, the frame's function slot is kept in ci->extra.
        int pc = int(ci->u.l.savedpc - clLvalue(restorestack(L, ci->extra))->p->code);
        EXPECT_GE(pc, 1);
        EXPECT_LE(pc, 4);
        int64_t iterations = pc == 4 ? stores - 1 : stores;  // the JMP follows the store
        return 1 + 4 * iterations + (pc - 1);
    }
};

TEST(VmCpu, LoopIsSuspendedAtThe137thHookAndResumesExactly)
{
    cpu_session c(30);
    lua_State* L = c.s.L;
    loop_counter n;
    ASSERT_EQ(luaL_loadstring(L, "x = 0 while true do x = x + 1 end"), LUA_OK);
    ASSERT_EQ(c.resume(), LUA_YIELD);
    // 137 hooks of 1024 (the first multiple of 1024 that reaches 139810):
    // 140287 instructions ran; the 140288th, already charged by the 137th
    // hook, is the interrupted one: a SETTABUP storing x = 35072.
    EXPECT_EQ(orbo_cpu.frame_cycles, 137 * 1024);
    EXPECT_EQ(orbo_cpu.slice_cycles, 0);
    int64_t done = n.update(c.s);
    EXPECT_EQ(n.stores, 35071);
    EXPECT_EQ(done, 137 * 1024 - 1);
    EXPECT_EQ(GET_OPCODE(*L->ci->u.l.savedpc), OP_SETTABUP);
    // Every later frame resumes at the interrupted instruction and runs
    // exactly 137 blocks: the reinstalled hook does not count the
    // interrupted instruction a second time, nor lose a block to it.
    for (int frame = 2; frame <= 4; frame++) {
        orbo_cpu_frame_reset();
        ASSERT_EQ(c.resume(), LUA_YIELD) << frame;
        EXPECT_EQ(orbo_cpu.frame_cycles, 137 * 1024) << frame;
        EXPECT_EQ(orbo_cpu.slice_cycles, 0) << frame;
        int64_t now = n.update(c.s);
        EXPECT_EQ(now - done, 137 * 1024) << frame;
        EXPECT_EQ(now, int64_t(frame) * 137 * 1024 - 1) << frame;
        done = now;
    }
    // A charge made before the resumption counts against the budget at
    // once; it cannot move the hook before the interrupted instruction, so
    // the frame ends 10 blocks early with the same 137 x 1024 cycles.
    orbo_cpu_frame_reset();
    orbo_cpu_prepare_resume(L);
    spend_cpu(1024 * 10);
    EXPECT_EQ(lua_get_cpu(L), 1);  // the interrupted instruction first
    ASSERT_EQ(lua_resume(L, nullptr, 0), LUA_YIELD);
    EXPECT_EQ(orbo_cpu.frame_cycles, 137 * 1024);
    EXPECT_EQ(n.update(c.s) - done, 127 * 1024);
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
