// stat's whole table, time(), and the CPU counters behind stat(1)/stat(2)
// with the engine's accounting wired in.
#include <ctime>

#include "platform/video.h"
#include "api_fixture.h"

using namespace hwtest;
using ApiStat = api_test;

TEST_F(ApiStat, FixedAndStateValues)
{
    EXPECT_EQ(num("stat(3)"), 0);
    EXPECT_EQ(charged(), 16);
    EXPECT_EQ(num("stat(5)"), fx(15));
    EXPECT_EQ(num("stat(12)"), fx(23));
    EXPECT_EQ(num("stat(14)"), fx(104));
    EXPECT_EQ(num("stat(13)"), fx(63 - 4));  // the menu of no items
    EXPECT_EQ(num("stat(15)"), fx(68));
    app.menu_items = 5;
    EXPECT_EQ(num("stat(13)"), fx(63 - 24));
    EXPECT_EQ(num("stat(15)"), fx(88));
    for (const char* n : {"11", "27", "29", "37", "79", "86", "96", "99", "101", "-1", "1000"})
        EXPECT_EQ(num(std::string("stat(") + n + ")"), 0) << n;
    EXPECT_EQ(num("stat(5.9)"), fx(15));  // the floor
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
    EXPECT_EQ(type_of("stat(100)"), "nil");  // no run chain
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
    const orbo_heap saved = c->heap;
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
    c->heap = saved;
    lua_close(L2);
}

// With the engine's counters wired in, charges and refunds reach the same
// frame counter; stat(2) counts only the charges.
TEST_F(ApiStat, CpuLoadFromTheEngineCounters)
{
    orbo_spend_cpu_fn = spend_cpu;
    orbo_refund_cpu_fn = refund_cpu;
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
    // Default seam again: nothing reaches the engine counters.
    orbo_spend_cpu_fn = saved_spend;
    orbo_refund_cpu_fn = saved_refund;
    orbo_cpu_clear();
    run("cls() peek(0)");
    EXPECT_EQ(orbo_cpu.frame_cycles, 0);
    EXPECT_EQ(charged(), 1024);
    EXPECT_EQ(refunded(), -2);
    // An explicit refund seam takes precedence.
    static int32_t given = 0;
    orbo_refund_cpu_fn = [](int32_t n) { given += n; };
    run("poke(0, 0) peek4(0)");
    orbo_refund_cpu_fn = saved_refund;
    EXPECT_EQ(given, -5);
    EXPECT_EQ(refunded(), 0);
}

TEST_F(ApiStat, IdleSoundAndMusicValues)
{
    for (int n = 16; n <= 23; n++) EXPECT_EQ(num("stat(" + std::to_string(n) + ")"), fx(-1)) << n;
    for (int n = 24; n <= 26; n++) EXPECT_EQ(num("stat(" + std::to_string(n) + ")"), 0) << n;
    orbo_subsystems.channel_sfx = [](int ch) { return ch == 2 ? 17 : -1; };
    orbo_subsystems.channel_note = [](int ch) { return ch * 10; };
    orbo_subsystems.music_pattern = [] { return 12; };
    orbo_subsystems.music_patterns_played = [] { return 3; };
    orbo_subsystems.music_ticks = [] { return 99; };
    EXPECT_EQ(num("stat(18)"), fx(17));
    EXPECT_EQ(num("stat(19)"), fx(-1));
    EXPECT_EQ(num("stat(23)"), fx(30));
    EXPECT_EQ(num("stat(24)"), fx(12));
    EXPECT_EQ(num("stat(25)"), fx(3));
    EXPECT_EQ(num("stat(26)"), fx(99));
}

namespace {
std::vector<std::string> g_messages;
void record_message(const char* text, int ms) { g_messages.push_back(std::string(text) + "/" + std::to_string(ms)); }
}  // namespace

TEST_F(ApiStat, DevkitKeyboardAndMouse)
{
    g_messages.clear();
    orbo_subsystems.show_message = record_message;
    orbo_subsystems.mouse_x = [] { return 40; };
    orbo_subsystems.mouse_y = [] { return 50; };
    orbo_subsystems.mouse_buttons = [] { return 3; };
    orbo_subsystems.wheel_x = [] { return -1; };
    orbo_subsystems.wheel_y = [] { return 2; };
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
    EXPECT_EQ(str("stat(31)"), "");
    EXPECT_EQ(num("stat(32)"), fx(40));
    EXPECT_EQ(num("stat(33)"), fx(50));
    EXPECT_EQ(num("stat(34)"), fx(3));
    EXPECT_EQ(num("stat(35)"), fx(-1));
    EXPECT_EQ(num("stat(36)"), fx(2));
    // Each message once per run.
    ASSERT_EQ(g_messages.size(), 2u);
    EXPECT_EQ(g_messages[0], "devkit keyboard enabled/2000");
    EXPECT_EQ(g_messages[1], "devkit mouse enabled/2000");
    orbo_reset_draw_state(c);  // a new run
    run("poke(0x5f2d, 1) stat(32)");
    EXPECT_EQ(g_messages.size(), 3u);
    run("poke(0x5f2d, 2)");
    EXPECT_EQ(num("stat(32)"), 0);  // only the value 1 turns the devkit on
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
