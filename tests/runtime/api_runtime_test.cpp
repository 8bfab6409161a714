// The runtime's bindings as a program calls them: stat's table (the plain
// values a program reads are also asserted by the api_stat cartridge),
// time(), the CPU counters behind stat(1)/stat(2) with the engine's
// accounting wired in, the frame loop's glue and the pause menu's items.
#include <cstring>
#include <ctime>
#include <tuple>

#include "../hardware/api_fixture.h"
#include "cart/cart_env.h"
#include "platform/kiln.h"
#include "platform/video.h"
#include "runtime/pause_state.h"
#include "runtime/pstate.h"
#include "runtime/runtime_api.h"

using namespace hwtest;

namespace {
// The hardware's binding fixture with the runtime's bindings handed in, as
// start-up does.
struct ApiStat : api_test {
    void SetUp() override
    {
        orbo_bind_runtime_api();
        orbo_reset_pstate();
        orbo_clear_menu_items();
        api_test::SetUp();
    }
};
using ApiRuntime = ApiStat;
}  // namespace

TEST_F(ApiStat, FixedAndStateValues)
{
    EXPECT_EQ(num("stat(3)"), 0);
    EXPECT_EQ(charged(), 16);
    // The menu's rows: continue, reset cart, quit, and the program's items.
    EXPECT_EQ(num("stat(13)"), fx(63 - 16));
    EXPECT_EQ(num("stat(15)"), fx(68 + 12));
    run("_menuitem(1, 'a') _menuitem(3, 'b')");
    EXPECT_EQ(num("stat(13)"), fx(63 - 24));
    EXPECT_EQ(num("stat(15)"), fx(68 + 20));
    for (const char* n : {"11", "27", "29", "37", "79", "86", "96", "99", "101", "-1", "1000"})
        EXPECT_EQ(num(std::string("stat(") + n + ")"), 0) << n;
    orbo_cpu.fps = 60;
    orbo_cpu.target_fps = 30;
    EXPECT_EQ(num("stat(7)"), fx(60));
    EXPECT_EQ(num("stat(8)"), fx(30));
    EXPECT_EQ(num("stat(9)"), fx(kiln_get_fps()));
    pstate.drop_penalty = 7;
    EXPECT_EQ(num("stat(10)"), fx(7));
    pstate.run_param = std::string(1500, 'p');
    EXPECT_EQ(str("stat(6)"), std::string(1024, 'p'));
    pstate.run_param = "level2";
    EXPECT_EQ(str("stat(6)"), "level2");
    c->paste_text = "pasted";
    EXPECT_EQ(str("stat(4)"), "pasted");
}

// The script state here charges a heap of its own, so the console's heap
// figures are exactly what the test sets.
TEST_F(ApiStat, MemoryInKilobytes)
{
    orbo_heap own;
    lua_State* L2 = lua_newstate(orbo_lua_alloc, &own);
    add_c_functions(L2);
    auto stat0 = [&] {
        luaL_loadstring(L2, "return stat(0)");
        lua_pcall(L2, 0, 1, 0);
        fix32 v = lua_tonumberx(L2, -1, nullptr);
        lua_settop(L2, 0);
        return v;
    };
    const int64_t saved_base = c->heap.base, saved_used = c->heap.used;
    c->heap.base = 0;
    c->heap.used = 0;
    EXPECT_EQ(stat0(), 0);
    c->heap.used = 1536;
    EXPECT_EQ(stat0(), fx(1.5));
    c->heap.base = 1024;
    EXPECT_EQ(stat0(), fx(2.5));
    c->heap.used = 0x7fffffff;  // capped at 2 MiB
    EXPECT_EQ(stat0(), fx(2048));
    c->heap.used = -4096;  // never negative
    c->heap.base = 0;
    EXPECT_EQ(stat0(), 0);
    c->heap.base = saved_base;
    c->heap.used = saved_used;
    lua_close(L2);
}

// With the engine's counters wired in, charges and refunds reach the same
// frame counter; stat(2) counts only the charges.
TEST_F(ApiStat, CpuLoadFromTheEngineCounters)
{
    const orbo_runtime_link saved = orbo_runtime_hooks;
    orbo_runtime_hooks.spend_cpu = spend_cpu;
    orbo_runtime_hooks.refund_cpu = refund_cpu;
    orbo_cpu.L = L;
    orbo_cpu_clear();
    run("cls() peek(0) poke(0, 0) flr(1.5) band(1, 2)");
    EXPECT_EQ(orbo_cpu.system_cycles, 1024);
    EXPECT_EQ(orbo_cpu.frame_cycles, 1024 - 2 - 3 - 2 - 3);
    EXPECT_EQ(num("stat(2)"), cycles_2_frame_capacity(1024 + 16));
    EXPECT_EQ(num("stat(1)"), cycles_2_frame_capacity(1024 - 10 + 32));
    EXPECT_EQ(num("stat()"), cycles_2_frame_capacity(1024 + 48));
    // stat() answers as stat(2) in the same situation.
    orbo_cpu_clear();
    fix32 plain = num("stat()");
    orbo_cpu_clear();
    EXPECT_EQ(num("stat(2)"), plain);
    EXPECT_EQ(plain, cycles_2_frame_capacity(16));
    // The default hooks again: nothing reaches the engine counters.
    orbo_runtime_hooks = saved;
    orbo_cpu_clear();
    run("cls() peek(0)");
    EXPECT_EQ(orbo_cpu.frame_cycles, 0);
    EXPECT_EQ(charged(), 1024);
    EXPECT_EQ(refunded(), -2);
    // An explicit refund hook takes precedence.
    static int32_t given = 0;
    orbo_runtime_hooks.refund_cpu = [](int32_t n) { given += n; };
    run("poke(0, 0) peek4(0)");
    orbo_runtime_hooks.refund_cpu = saved.refund_cpu;
    EXPECT_EQ(given, -5);
    EXPECT_EQ(refunded(), 0);
}

TEST_F(ApiStat, IdleSoundAndMusicValues)
{
    for (int n = 16; n <= 23; n++) EXPECT_EQ(num("stat(" + std::to_string(n) + ")"), fx(-1)) << n;
    for (int n = 24; n <= 26; n++) EXPECT_EQ(num("stat(" + std::to_string(n) + ")"), 0) << n;
    orbo_sound.channel_sfx = [](int ch) { return ch == 2 ? 17 : -1; };
    orbo_sound.channel_note = [](int ch) { return ch * 10; };
    orbo_sound.music_pattern = [] { return 12; };
    orbo_sound.music_patterns_played = [] { return 3; };
    orbo_sound.music_ticks = [] { return 99; };
    EXPECT_EQ((std::tuple{num("stat(18)"), num("stat(19)"), num("stat(23)"), num("stat(24)"), num("stat(25)"),
                          num("stat(26)")}),
              (std::tuple{fx(17), fx(-1), fx(30), fx(12), fx(3), fx(99)}));
}

namespace {
std::vector<std::string> g_messages;
void record_message(const char* text, int ms) { g_messages.push_back(std::string(text) + "/" + std::to_string(ms)); }
}  // namespace

TEST_F(ApiStat, DevkitKeyboardAndMouse)
{
    g_messages.clear();
    orbo_cart_env_get().show_message = record_message;
    orbo_input.mouse_x = [] { return 40; };
    orbo_input.mouse_y = [] { return 50; };
    orbo_input.mouse_buttons = [] { return 3; };
    orbo_input.wheel_x = [] { return -1; };
    orbo_input.wheel_y = [] { return 2; };
    c->typed = {'a', 128, 8};
    // Devkit off: nothing is read and no message shows.
    EXPECT_FALSE(truth("stat(30)"));
    EXPECT_EQ(str("stat(31)"), "");
    for (int n = 32; n <= 36; n++) EXPECT_EQ(num("stat(" + std::to_string(n) + ")"), 0) << n;
    EXPECT_EQ(c->typed.size(), 3u);
    EXPECT_TRUE(g_messages.empty());
    // Devkit on.
    run("poke(0x5f2d, 1)");
    EXPECT_TRUE(truth("stat(30)"));
    EXPECT_EQ(str("stat(31)"), "a");
    EXPECT_EQ(str("stat(31)"), "\x80");
    EXPECT_TRUE(truth("stat(30)"));
    EXPECT_EQ(str("stat(31)"), "\x08");
    EXPECT_FALSE(truth("stat(30)"));
    EXPECT_EQ((std::tuple{str("stat(31)"), num("stat(32)"), num("stat(33)"), num("stat(34)"), num("stat(35)"),
                          num("stat(36)")}),
              (std::tuple{"", fx(40), fx(50), fx(3), fx(-1), fx(2)}));
    // Each message once per run.
    ASSERT_EQ(g_messages.size(), 2u);
    EXPECT_EQ(g_messages[0], "devkit keyboard enabled/2000");
    EXPECT_EQ(g_messages[1], "devkit mouse enabled/2000");
    orbo_reset_draw_state(c);  // a new run
    run("poke(0x5f2d, 1) stat(32)");
    EXPECT_EQ(g_messages.size(), 3u);
    run("poke(0x5f2d, 2)");
    EXPECT_EQ(num("stat(32)"), 0);  // only the value 1 turns the devkit on
    orbo_cart_env_get().show_message = nullptr;
}

TEST_F(ApiStat, CalendarFields)
{
    auto fields = [](bool utc) {
        time_t now = time(nullptr);
        tm t{};
        if (utc) gmtime_r(&now, &t);
        else localtime_r(&now, &t);
        return std::vector<int>{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
    };
    for (int base : {80, 90}) {
        // Read the fields between two host readings; retry across a second boundary.
        for (int attempt = 0; attempt < 5; attempt++) {
            std::vector<int> before = fields(base == 80);
            std::vector<int> got;
            for (int k = 0; k < 6; k++) got.push_back(num("stat(" + std::to_string(base + k) + ")") >> 16);
            if (before == fields(base == 80)) {
                EXPECT_EQ(got, before) << base;
                break;
            }
        }
    }
    EXPECT_GE(num("stat(80)") >> 16, 2024);
    int month = num("stat(91)") >> 16;
    EXPECT_TRUE(month >= 1 && month <= 12);
}

TEST_F(ApiStat, TimeIsTheFrameCounterOverThirty)
{
    pstate.time_frames = 45;
    EXPECT_EQ(num("time()"), fx(1.5));
    EXPECT_EQ(num("t()"), fx(1.5));
    EXPECT_TRUE(truth("t() == time()"));
    pstate.time_frames = 1;
    EXPECT_EQ(num("t()"), 65536 / 30);  // truncated
    pstate.time_frames = 0;
    run("for i = 1, 30 do _update_buttons() end");
    EXPECT_EQ(pstate.time_frames, 30);
    EXPECT_EQ(num("time()"), fx(1));
    EXPECT_EQ(charged(), 0);
}

namespace {
int g_updates, g_blocks;
}  // namespace

TEST_F(ApiRuntime, FrameLoopGlueAndKeyconfig)
{
    g_updates = g_blocks = 0;
    orbo_input.update_buttons = [] { g_updates++; };
    orbo_input.block_buttons = [] { g_blocks++; };
    run("_update_buttons() _update_buttons()");
    EXPECT_EQ(g_updates, 2);
    EXPECT_EQ(pstate.time_frames, 2);
    // keyconfig opens the overlay only when the screen exists.
    run("keyconfig()");
    EXPECT_EQ(pstate.overlay_screen, 0);
    EXPECT_EQ(g_blocks, 0);
    orbo_input.keyconfig_init = [] { return true; };
    run("keyconfig()");
    EXPECT_EQ(pstate.overlay_screen, 1);
    EXPECT_EQ(g_blocks, 1);
}

TEST_F(ApiRuntime, PauseMenuGlue)
{
    orbo_pause_state& items = orbo_pause();
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
    EXPECT_EQ(orbo_pause().program_paused, 1);
    EXPECT_EQ(kiln_state.audio_pause, 1);
    run("_set_paused(0)");
    EXPECT_EQ(kiln_state.audio_pause, 0);

    static int checks = 0;
    orbo_shell_hooks.update_paused_menu = [] { checks++; };
    run("_update_paused_menu()");
    EXPECT_EQ(checks, 1);
    orbo_shell_hooks.update_paused_menu = [] {};
}

TEST_F(ApiRuntime, PausedBannerIgnoresTheProgramClip)
{
    run("clip(0, 0, 10, 10) _paused()");
    EXPECT_EQ((std::tuple{px(45, 48), px(82, 56), px(44, 48), px(83, 56), px(45, 57)}),
              (std::tuple{1, 1, 0, 0, 0}));
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
