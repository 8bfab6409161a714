// The registry, the sound, button and pause-menu glue, the stubs and the
// math bindings, through a script state.
#include <cstring>
#include <vector>

#include "engine/lua/baselib.h"
#include "engine/math/mathlib.h"
#include "engine/token/token.h"
#include "platform/kiln.h"
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
    // The idle link: nothing held.
    orbo_reset_input_link();
    EXPECT_EQ(num("btn() + btnp()"), 0);
    EXPECT_FALSE(truth("btn(0)"));

}

TEST_F(ApiMisc, MathBindingsAndTheirCosts)
{
    EXPECT_EQ(num("flr(-0.5)"), fx(-1));
    EXPECT_EQ(refunded(), -2);
    EXPECT_EQ(num("flr(-0.5, 1)"), fx(-1));
    EXPECT_EQ(refunded(), 0);
    EXPECT_EQ(num("ceil(-0.5)"), 0);
    EXPECT_EQ(num("ceil(32767.5)"), fx(-32768));
    EXPECT_EQ(num("bnot(0)"), -1);
    EXPECT_EQ(refunded(), -6);
    EXPECT_EQ(num("mid(3, 1, 2)"), fx(2));
    EXPECT_EQ(num("min(5)"), 0);
    EXPECT_EQ(num("max(-5)"), 0);
    EXPECT_EQ(num("abs(-32768)"), fx(-32768));
    EXPECT_EQ(num("sgn(0)"), fx(1));
    EXPECT_EQ(num("shr(-1, 40)"), -1);
    EXPECT_EQ(num("lshr(-1, 16)"), 0xffff);
    EXPECT_EQ(num("shl(1, -1)"), 0);
    EXPECT_EQ(num("rotr(1, 16)"), num("rotl(1, 16)"));
    EXPECT_EQ(refunded(), -3 * 5);
    EXPECT_EQ(num("band(7, 3, 1)"), fx(3));  // three arguments: no refund
    EXPECT_EQ(num("bor(4)"), fx(4));         // one argument: no refund
    EXPECT_EQ(num("bxor(5, 1)"), fx(4));
    EXPECT_EQ(refunded(), -3);
    EXPECT_EQ(num("sin(0.25)"), fx(-1));
    EXPECT_EQ(num("cos(0.5)"), fx(-1));
    EXPECT_EQ(num("atan2(0, 0)"), fx(0.25));
    EXPECT_EQ(charged(), 0);
    EXPECT_EQ(num("sqrt(4)"), fx(2));
    EXPECT_EQ(num("sqrt(0)"), 0);
    EXPECT_EQ(charged(), 32);
    // rnd: 4 each; 0 leaves the generator alone; no argument is 1.0.
    run("srand(1)");
    fix32 first = num("rnd(10)");
    run("srand(1)");
    EXPECT_EQ(num("rnd(10)"), first);
    EXPECT_EQ(num("rnd(0)"), 0);
    EXPECT_EQ(num("rnd(0)"), 0);
    run("srand(1) rnd(10)");
    orbo_rng_state before = orbo_rng_get();
    run("rnd(0)");
    orbo_rng_state after = orbo_rng_get();
    EXPECT_EQ(before.high, after.high);
    EXPECT_EQ(before.low, after.low);
    for (int i = 0; i < 50; i++) {
        fix32 v = num("rnd()");
        ASSERT_GE(v, 0);
        ASSERT_LT(v, fx(1));
    }
    charged();
    run("rnd(1) rnd()");
    EXPECT_EQ(charged(), 8);
}
