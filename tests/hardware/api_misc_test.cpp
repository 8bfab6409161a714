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
struct global_entry {
    const char* name;
    lua_CFunction fn;
    bool listed;
};
const global_entry k_table[] = {
#define ORBO_ENTRY(name, binding, listed) {#name, binding, listed},
    ORBO_API_GLOBALS(ORBO_ENTRY)
#undef ORBO_ENTRY
};
}  // namespace

TEST_F(ApiMisc, RegistryRegistersEveryGlobalAndRebuildsTheNameList)
{
    std::vector<std::string> listed;
    lua_settop(L, 0);
    lua_pushglobaltable(L);
    for (const global_entry& e : k_table) {
        lua_getfield(L, 1, e.name);
        EXPECT_TRUE(lua_iscfunction(L, -1)) << e.name;
        EXPECT_EQ(lua_tocfunction(L, -1), e.fn) << e.name;
        lua_settop(L, 1);
        if (e.listed) listed.push_back(e.name);
    }
    lua_settop(L, 0);
    EXPECT_EQ(std::size(k_table), 117u);
    ASSERT_EQ(api_function_names(), int(listed.size()));
    for (size_t i = 0; i < listed.size(); i++) EXPECT_EQ(api_function_name(int(i)), listed[i]) << i;
    EXPECT_FALSE(is_api_function_name("t"));
    EXPECT_FALSE(is_api_function_name("_set_paused"));
    EXPECT_TRUE(is_api_function_name("mapdraw"));
    // Shared functions, and nothing else in the global table.
    EXPECT_TRUE(truth("ls == dir and map == mapdraw and shutdown == exit and time == t"));
    EXPECT_EQ(num("(function() local n = 0 for k in pairs(_ENV) do n = n + 1 end return n end)()"),
              fx(double(std::size(k_table))));
    EXPECT_EQ(type_of("string"), "nil");
    EXPECT_EQ(type_of("math"), "nil");
}

namespace {
std::vector<std::string> g_calls;
void log_call(const std::string& s) { g_calls.push_back(s); }
}  // namespace

TEST_F(ApiMisc, MusicClampsAndStops)
{
    g_calls.clear();
    orbo_subsystems.music_play = [](int p, int f, int m) {
        log_call("play " + std::to_string(p) + " " + std::to_string(f) + " " + std::to_string(m));
    };
    orbo_subsystems.music_stop = [](int f) { log_call("stop " + std::to_string(f)); };
    run("music(100) music(-1, 500) music(-5) music(3.7, 1000, 7) music()");
    std::vector<std::string> want = {"play 63 0 0", "stop 500", "play 0 0 0", "play 3 1000 7", "play 0 0 0"};
    EXPECT_EQ(g_calls, want);
    EXPECT_EQ(charged(), 5 * 16);
}

TEST_F(ApiMisc, SfxChannelOffsetAndNumberRules)
{
    g_calls.clear();
    orbo_subsystems.sfx_play = [](int n, int ch, int off, int len) {
        log_call("play " + std::to_string(n) + " " + std::to_string(ch) + " " + std::to_string(off) + " " +
                 std::to_string(len));
    };
    orbo_subsystems.sfx_stop_effect = [](int n) { log_call("kill " + std::to_string(n)); };
    orbo_subsystems.sfx_stop_channel = [](int ch) { log_call("stop " + std::to_string(ch)); };
    orbo_subsystems.sfx_release_loop = [](int ch) { log_call("release " + std::to_string(ch)); };
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
int g_updates, g_blocks;
}  // namespace

TEST_F(ApiMisc, ButtonsReadTheTables)
{
    std::memset(g_down, 0, sizeof g_down);
    std::memset(g_pressed, 0, sizeof g_pressed);
    orbo_subsystems.button_down = [](int p, int b) { return g_down[p][b]; };
    orbo_subsystems.button_pressed = [](int p, int b) { return g_pressed[p][b]; };
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
    // Default seams: nothing held.
    orbo_reset_subsystem_seams();
    EXPECT_EQ(num("btn() + btnp()"), 0);
    EXPECT_FALSE(truth("btn(0)"));

    g_updates = g_blocks = 0;
    orbo_subsystems.update_buttons = [] { g_updates++; };
    orbo_subsystems.block_buttons = [] { g_blocks++; };
    run("_update_buttons() _update_buttons()");
    EXPECT_EQ(g_updates, 2);
    EXPECT_EQ(pstate.time_frames, 2);
    // keyconfig opens the overlay only when the screen exists.
    run("keyconfig()");
    EXPECT_EQ(pstate.overlay_screen, 0);
    EXPECT_EQ(g_blocks, 0);
    orbo_subsystems.keyconfig_init = [] { return true; };
    run("keyconfig()");
    EXPECT_EQ(pstate.overlay_screen, 1);
    EXPECT_EQ(g_blocks, 1);
}

TEST_F(ApiMisc, PauseMenuGlue)
{
    orbo_pause_items& items = orbo_menu_items();
    run("_menuitem(6, 'x') _menuitem(0, 'y') _menuitem(-1)");
    for (const std::string& l : items.label) EXPECT_EQ(l, "");
    run("_menuitem(1, 'a label longer than sixteen') _menuitem(3, 12.5) _menuitem(5.9, 'five')");
    EXPECT_EQ(items.label[1], "a label longer t");
    EXPECT_EQ(items.label[3], "12.5");
    EXPECT_EQ(items.label[5], "five");
    run("_menuitem(1) _menuitem(3, nil) _menuitem(5, {})");
    EXPECT_EQ(items.label[1], "");
    EXPECT_EQ(items.label[3], "");
    EXPECT_EQ(items.label[5], "");
    items.selected[2] = true;
    EXPECT_TRUE(truth("_get_menu_item_selected(2)"));
    EXPECT_FALSE(truth("_get_menu_item_selected(2)"));
    EXPECT_FALSE(truth("_get_menu_item_selected(1)"));
    EXPECT_EQ(run("return _get_menu_item_selected(0)"), 0);
    EXPECT_EQ(run("return _get_menu_item_selected(6)"), 0);

    run("_set_paused(1.5)");
    EXPECT_EQ(orbo_program_paused, 1);
    EXPECT_EQ(kiln_state.audio_pause, 1);
    run("_set_paused(0)");
    EXPECT_EQ(kiln_state.audio_pause, 0);

    static int checks = 0;
    orbo_subsystems.update_paused_menu = [] { checks++; };
    run("_update_paused_menu()");
    EXPECT_EQ(checks, 1);
}

TEST_F(ApiMisc, PausedBannerIgnoresTheProgramClip)
{
    run("clip(0, 0, 10, 10) _paused()");
    EXPECT_EQ(px(45, 48), 1);
    EXPECT_EQ(px(82, 56), 1);
    EXPECT_EQ(px(44, 48), 0);
    EXPECT_EQ(px(83, 56), 0);
    EXPECT_EQ(px(45, 57), 0);
    EXPECT_EQ(c->screen->clip_x1, 10);  // the program's clip is kept
    if (c->font) {
        int ink7 = 0, left = 128, right = -1;
        for (int y = 48; y <= 56; y++)
            for (int x = 45; x <= 82; x++)
                if (px(x, y) == 7) {
                    ink7++;
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        EXPECT_GT(ink7, 0);
        EXPECT_LE(std::abs((left + right + 1) / 2 - 64), 2);  // centred on 64
    }
    EXPECT_EQ(charged(), 16);  // only the clip call
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
