// The registry, the sound, button and pause-menu glue, the stubs and the
// math bindings, through a script state.
#include <cstring>
#include <vector>

#include "api_fixture.h"

using namespace hwtest;
using ApiMisc = api_test;

namespace {
std::vector<std::string> g_calls;
void log_call(const std::string& s) { g_calls.push_back(s); }
}  // namespace

TEST_F(ApiMisc, MusicClampsAndStops)
{
    g_calls.clear();
    orbo_sound.music_play = [](int p, int f, int m) {
        log_call("play " + std::to_string(p) + " " + std::to_string(f) + " " + std::to_string(m));
    };
    orbo_sound.music_stop = [](int f) { log_call("stop " + std::to_string(f)); };
    run("music(100) music(-1, 500) music(-5) music(3.7, 1000, 7) music()");
    std::vector<std::string> want = {"play 63 0 0", "stop 500", "play 0 0 0", "play 3 1000 7", "play 0 0 0"};
    EXPECT_EQ(g_calls, want);
    EXPECT_EQ(charged(), 5 * 16);
}

TEST_F(ApiMisc, SfxChannelOffsetAndNumberRules)
{
    g_calls.clear();
    orbo_sound.sfx_play = [](int n, int ch, int off, int len) {
        log_call("play " + std::to_string(n) + " " + std::to_string(ch) + " " + std::to_string(off) + " " +
                 std::to_string(len));
    };
    orbo_sound.sfx_stop_effect = [](int n) { log_call("kill " + std::to_string(n)); };
    orbo_sound.sfx_stop_channel = [](int ch) { log_call("stop " + std::to_string(ch)); };
    orbo_sound.sfx_release_loop = [](int ch) { log_call("release " + std::to_string(ch)); };
    run("sfx() sfx(3, 4) sfx(3, -3)");
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(charged(), 0);
    run("sfx(70)");
    run("sfx(0.5)");
    run("sfx(-7, 2, 40, 9)");
    run("sfx(5, 1, -3)");
    EXPECT_EQ(charged(), 4 * 16);
    std::vector<std::string> want = {"kill 63", "play 63 -1 0 0", "kill 0",  "play 0 -1 0 0",
                                     "kill 0",  "play 0 2 31 9",  "kill 5", "play 5 1 0 0"};
    EXPECT_EQ(g_calls, want);
    g_calls.clear();
    run("sfx(-1) sfx(-1, 2) sfx(-2, 3) sfx(-1, -2) sfx(9, -2) sfx(64, -2) sfx(-3, -2)");
    want = {"stop -1", "stop 2", "release 3", "kill 9"};
    EXPECT_EQ(g_calls, want);
    EXPECT_EQ(charged(), 0);
}

namespace {
bool g_down[8][8];
bool g_pressed[8][8];
}  // namespace

TEST_F(ApiMisc, ButtonsReadTheTables)
{
    std::memset(g_down, 0, sizeof g_down);
    std::memset(g_pressed, 0, sizeof g_pressed);
    orbo_input.button_down = [](int p, int b) { return g_down[p][b]; };
    orbo_input.button_pressed = [](int p, int b) { return g_pressed[p][b]; };
    EXPECT_EQ(num("btn()"), 0);  // idle
    g_down[0][7] = true;
    g_down[1][4] = true;
    g_down[3][0] = true;
    g_pressed[0][2] = true;
    EXPECT_EQ(num("btn()"), fx(0x80 | 0x1000));
    EXPECT_EQ(num("btnp()"), fx(4));
    EXPECT_EQ(charged(), 0);
    EXPECT_TRUE(truth("btn(9)"));    // clamped to 7
    EXPECT_TRUE(truth("btn(7.5)"));
    EXPECT_FALSE(truth("btn(-1)"));  // clamped to 0
    EXPECT_FALSE(truth("btn(0, 8)"));
    EXPECT_FALSE(truth("btn(0, -1)"));
    EXPECT_TRUE(truth("btn(4, 1)"));
    EXPECT_TRUE(truth("btn(0, 3)"));
    EXPECT_TRUE(truth("btnp(2)"));
    EXPECT_FALSE(truth("btnp(2, 1)"));
    EXPECT_EQ(charged(), 9 * 4);
}

// The values are the engine's math library (tested there and in the
// cartridge suite); the bindings add the cost table's spends, and its
// refunds when a call has exactly the entry's argument count.
TEST_F(ApiMisc, MathBindingsAdjustTheirCostByArgumentCount)
{
    struct { const char* call; int64_t refund, charge; } cases[] = {
        {"flr(-0.5)", -2, 0}, {"flr(-0.5, 1)", 0, 0}, {"bnot(0)", -2, 0}, {"shr(-1, 40)", -3, 0},
        {"band(7, 3, 1)", 0, 0}, {"bor(4)", 0, 0}, {"sin(0.25)", 0, 0}, {"mid(3, 1, 2)", 0, 0},
        {"sqrt(4)", 0, 16}, {"rnd(1)", 0, 4}, {"rnd()", 0, 4},
    };
    for (const auto& k : cases) {
        clear_cpu();
        run(std::string("return ") + k.call);
        EXPECT_EQ(refunded(), k.refund) << k.call;
        EXPECT_EQ(charged(), k.charge) << k.call;
    }
}
