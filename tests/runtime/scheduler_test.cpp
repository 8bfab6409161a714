// The frame scheduler: budget overruns and frame-rate drops, host-rate
// control, and the script memory limit.
#include "runtime/pstate.h"
#include "hardware/lua_alloc.h"
#include "rt_fixture.h"

namespace {
// A program with one heavy update (when `heavy` is set) that overruns the
// budget several times over.
std::string heavy_program(const char* update, int loops)
{
    return std::string("u=0 d=0 heavy=false\nfunction ") + update + "() u+=1 if heavy then heavy=false for j=1," +
           std::to_string(loops) + " do for i=1,30000 do end end end end\nfunction _draw() d+=1 end\n";
}
const std::string k_sixty = heavy_program("_update60", 10);

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

// The heavy frame is held over several console frames (no draw), then the
// rate halves and each frame runs the update twice, then it climbs back.
TEST_F(RuntimeTest, OverrunHalvesTheRateWithDoubleUpdatesAndClimbsBack)
{
    pstate.host_framerate_control = 0;  // only budget overruns count
    struct { std::string program; int fps; } cases[] = {{k_sixty, 60}, {heavy_program("_update", 20), 30}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.fps);
        ASSERT_TRUE(start(k.program));
        frames(5);
        EXPECT_EQ(orbo_cpu.fps, k.fps);
        lua_pushboolean(orbo_rt().L, 1);
        lua_setglobal(orbo_rt().L, "heavy");
        std::vector<Sample> s = sample(*this, 20);
        size_t i = 0;
        while (i < s.size() && s[i].dd == 1) i++;
        int held = 0;
        while (i < s.size() && s[i].dd == 0) i++, held++;
        EXPECT_GE(held, 2);
        bool halved = false, back = false;
        for (; i < s.size(); i++) {
            halved |= s[i].fps == k.fps / 2 && s[i].dd == 1 && s[i].du == 2;
            back |= halved && s[i].fps == k.fps && s[i].du == 1;
        }
        EXPECT_TRUE(halved);
        EXPECT_TRUE(back);
        EXPECT_EQ(orbo_cpu.fps, k.fps);
    }
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

TEST_F(RuntimeTest, HardwareChargesReachTheProgramsBudget)
{
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
