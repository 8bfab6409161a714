// The frame scheduler: budget overruns and frame-rate drops, host-rate
// control, and the script memory limit.
#include "engine/math/fixed.h"
#include "runtime/pstate.h"
#include "hardware/lua_alloc.h"
#include "hardware/runtime_link.h"
#include "rt_fixture.h"

namespace {
// A frame of a 60-frame program with one heavy _update60 that overruns the
// budget several times over.
const char* k_sixty =
    "u=0 d=0 heavy=false\n"
    "function _update60() u+=1 if heavy then heavy=false for j=1,10 do for i=1,30000 do end end end end\n"
    "function _draw() d+=1 end\n";

struct Sample {
    int fps, du, dd;
};

// Runs n console frames and records, for each, the frame rate and the
// updates and draws it ran.
std::vector<Sample> sample(RuntimeTest& t, int n)
{
    std::vector<Sample> out;
    for (int i = 0; i < n; i++) {
        int u = t.global_int("u"), d = t.global_int("d");
        t.frame();
        out.push_back({orbo_cpu.fps, t.global_int("u") - u, t.global_int("d") - d});
    }
    return out;
}
}  // namespace

TEST_F(RuntimeTest, SixtyDropsToThirtyOnOverrunAndClimbsBack)
{
    pstate.host_framerate_control = 0;  // only budget overruns count
    ASSERT_TRUE(start(k_sixty));
    frames(5);
    EXPECT_EQ(orbo_cpu.fps, 60);
    EXPECT_EQ(orbo_cpu.target_fps, 60);
    lua_pushboolean(orbo_rt().L, 1);
    lua_setglobal(orbo_rt().L, "heavy");
    std::vector<Sample> s = sample(*this, 20);
    // The heavy frame is held over several console frames (no draw), then
    // the rate halves and each frame runs _update60 twice.
    size_t i = 0;
    while (i < s.size() && s[i].dd == 1) i++;
    ASSERT_LT(i, s.size());
    int held = 0;
    while (i < s.size() && s[i].dd == 0) i++, held++;
    EXPECT_GE(held, 2);
    bool doubled = false, back = false;
    for (; i < s.size(); i++) {
        if (s[i].fps == 30 && s[i].dd == 1 && s[i].du == 2) doubled = true;
        if (doubled && s[i].fps == 60 && s[i].du == 1) back = true;
    }
    EXPECT_TRUE(doubled);
    EXPECT_TRUE(back);
    EXPECT_EQ(orbo_cpu.fps, 60);
}

TEST_F(RuntimeTest, ThirtyDropsToFifteenWithDoubleUpdates)
{
    pstate.host_framerate_control = 0;
    ASSERT_TRUE(start("u=0 d=0 heavy=false\n"
                      "function _update() u+=1 if heavy then heavy=false for j=1,20 do for i=1,30000 do end end end end\n"
                      "function _draw() d+=1 end\n"));
    frames(3);
    EXPECT_EQ(orbo_cpu.fps, 30);
    lua_pushboolean(orbo_rt().L, 1);
    lua_setglobal(orbo_rt().L, "heavy");
    std::vector<Sample> s = sample(*this, 20);
    bool fifteen = false, back = false;
    for (const Sample& x : s) {
        if (x.fps == 15 && x.dd == 1 && x.du == 2) fifteen = true;
        if (fifteen && x.fps == 30 && x.du == 1) back = true;
    }
    EXPECT_TRUE(fifteen);
    EXPECT_TRUE(back);
}

TEST_F(RuntimeTest, HostRateControlOffIgnoresASlowHost)
{
    // No host passes are measured here, so the host rate reads 0: a slow host.
    pstate.host_framerate_control = 1;
    ASSERT_TRUE(start(k_sixty));
    frames(10);
    EXPECT_EQ(orbo_cpu.fps, 30);
    EXPECT_EQ(orbo_cpu.target_fps, 60);

    pstate.host_framerate_control = 0;
    ASSERT_TRUE(start(k_sixty));
    for (int i = 0; i < 100; i++) {
        frame();
        ASSERT_EQ(orbo_cpu.fps, 60) << i;
    }
}

TEST_F(RuntimeTest, GarbageEveryFrameKeepsRunning)
{
    // About 3.2 MiB of 32 KiB strings per frame, none kept.
    std::string out = console_lines([&] {
        ASSERT_TRUE(start("big='x' for i=1,15 do big=big..big end\n"
                          "f=0\n"
                          "function _update() for i=1,100 do local s=big..i end f+=1 end\n"));
        frames(30);
    });
    EXPECT_EQ(out, "");
    EXPECT_TRUE(running());
    // One program frame per console frame: the collections in between do
    // not run extra frames.
    EXPECT_GE(global_int("f"), 25);
    EXPECT_LE(global_int("f"), 30);
    // Memory passes the limit inside a frame; nothing of it is kept.
    lua_gc(orbo_rt().L, LUA_GCCOLLECT, 0);
    EXPECT_LT(orbo_script_memory(), ORBO_SCRIPT_MEMORY);
}

TEST_F(RuntimeTest, UnderMemoryPressureASliceCollectsAndResumesTheSameFrame)
{
    // Each frame spends more than its budget while making garbage: once the
    // heap passes 2 MiB the budget yield finds the soft-yield flag set, so
    // the scheduler collects and resumes within the same console frame.
    pstate.host_framerate_control = 0;
    ASSERT_TRUE(start("big='x' for i=1,15 do big=big..big end\n"
                      "f=0\n"
                      "function _update() for j=1,400 do local s=big..j for k=1,400 do end end f+=1 end\n"));
    frame();
    int64_t slices = orbo_rt().slices;
    frames(5);
    EXPECT_TRUE(running());
    EXPECT_EQ(global_int("f"), 6);
    EXPECT_GT(orbo_rt().slices - slices, 5);  // more than one resumption a frame
    EXPECT_EQ(orbo_cpu.fps, 30);              // no frame was left unfinished
}

TEST_F(RuntimeTest, UnderMemoryPressureAPendingErrorEndsTheSlice)
{
    // The bad poke records an error; the program runs on to its next soft
    // yield, and the slice must end there instead of resuming it again.
    pstate.host_framerate_control = 0;
    ASSERT_TRUE(start("big='x' for i=1,15 do big=big..big end\n"
                      "after=0\n"
                      "function _update() poke(0x8000, 1) while true do local s=big..after after+=1 end end\n"));
    frame();
    EXPECT_EQ(pstate.pending_action, ACTION_STOP_RESET);
    EXPECT_GT(global_int("after"), 0);
    EXPECT_LT(global_int("after"), 200);  // one pass to the 2 MiB mark, not many
}

TEST_F(RuntimeTest, LiveMemoryOverTheLimitIsOutOfMemory)
{
    std::string out = console_lines([&] {
        ASSERT_TRUE(start("big='x' for i=1,15 do big=big..big end\n"
                          "t={}\n"
                          "function _update() for i=1,100 do add(t, big..#t) end end\n"));
        frames(5);
    });
    EXPECT_EQ(out, "** out of memory\n");
    EXPECT_FALSE(running());
    EXPECT_NE(orbo_rt().L, nullptr);  // a fresh machine replaced the full one
    EXPECT_LT(orbo_script_memory(), ORBO_SCRIPT_MEMORY);
}

TEST_F(RuntimeTest, MeanLoadOfABudgetBoundAndAnIdleProgram)
{
    pstate.host_framerate_control = 0;
    ASSERT_TRUE(start("function _update() end\nfunction _draw() while true do end end\n"));
    orbo_cpu_stats_clear();
    frames(20);
    EXPECT_EQ(orbo_program_console_frames(), 20);
    // The whole budget every frame, overrun by less than one hook block.
    EXPECT_GE(orbo_mean_cpu_load(), 0x10000);
    EXPECT_LT(orbo_mean_cpu_load(), 0x10000 + 0x10000 * 2048 / (0x400000 / 30));
    ASSERT_TRUE(start("function _update() end\n"));
    orbo_cpu_stats_clear();
    frames(20);
    EXPECT_LT(orbo_mean_cpu_load(), 0x10000 / 100);
}

TEST_F(RuntimeTest, InfiniteLoopYieldsEveryFrame)
{
    ASSERT_TRUE(start("n=0 k=0\nwhile true do n+=1 if n==1000 then n=0 k+=1 end end\n"));
    int last = 0;
    for (int i = 0; i < 10; i++) {
        frame();
        ASSERT_TRUE(running());
        int n = global_int("k");
        EXPECT_GT(n, last);
        last = n;
    }
    EXPECT_TRUE(pstate.hold == 0);  // no standard loop: nothing held
}

TEST_F(RuntimeTest, HardwareChargesReachTheProgramsBudget)
{
    EXPECT_EQ(orbo_runtime_hooks.spend_cpu, &spend_cpu);
    EXPECT_EQ(fix_charge_fn, &spend_cpu);
    // Every scroll of the console costs 65536 cycles, and charges bring the
    // budget check (the next count hook) closer: a hundred lines at the
    // bottom take several frames.
    orbo_live_machine()->cursor_y = 120;
    ASSERT_TRUE(start("for i=1,100 do print('line') end\ndone=1\nfunction _update() end\n"));
    frame();
    EXPECT_NE(global_int("done"), 1);
    frames(30);
    EXPECT_EQ(global_int("done"), 1);
}
