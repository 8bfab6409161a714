// stat(n), the console's status registers, and time(): the frame counter
// in seconds. stat reads the console state, the CPU counters, the runtime
// records, and through their links the mouse and the sound chip.
#include <algorithm>
#include <ctime>
#include <string>

#include "engine/lua/cpu.h"
#include "hardware/api/api.h"
#include "hardware/api/args.h"
#include "cart/cart_env.h"
#include "hardware/input_link.h"
#include "hardware/sound_link.h"
#include "hardware/runtime_link.h"
#include "platform/video.h"
#include "runtime/pause_state.h"
#include "runtime/pstate.h"
#include "runtime/run_chain.h"
#include "runtime/runtime_api.h"

namespace {
constexpr int32_t k_stat_cost = 16;
constexpr int k_run_param_max = 1024;
constexpr int k_devkit_ms = 2000;
constexpr int32_t k_devkit_addr = 0x5F2D;

// Memory in use, in kilobytes as a 16.16 value (fractions of a kilobyte kept).
fix32 memory_kb(const orbo_machine* c)
{
    int64_t total = std::clamp<int64_t>(c->heap.base + c->heap.used, 0, ORBO_HEAP_SOFT);
    return fix32(total * 65536 / 1024);
}

// Year, month, day, hour, minute, second of the calendar time now, UTC or local.
int clock_field(int k, bool utc)
{
    time_t now = time(nullptr);
    tm t{};
    if (utc ? !gmtime_r(&now, &t) : !localtime_r(&now, &t)) return 0;
    const int fields[6] = {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
    return fields[k];
}

// The devkit keyboard or mouse: only while 0x5F2D holds 1; the first use in
// a run shows its message.
bool devkit(orbo_machine* c, bool* shown, const char* message)
{
    if (c->mem[k_devkit_addr] != 1) return false;
    if (!*shown) {
        *shown = true;
        orbo_cart_message(message, k_devkit_ms);
    }
    return true;
}

int stat_keyboard(lua_State* L, orbo_machine* c, int n)
{
    bool on = devkit(c, &c->devkit_keyboard_shown, "devkit keyboard enabled");
    if (n == 30) return ob_push_bool(L, on && !c->typed.empty());
    if (!on || c->typed.empty()) {
        lua_pushliteral(L, "");
        return 1;
    }
    char ch = char(c->typed.front());
    c->typed.pop_front();
    lua_pushlstring(L, &ch, 1);
    return 1;
}

int stat_mouse(lua_State* L, orbo_machine* c, int n)
{
    if (!devkit(c, &c->devkit_mouse_shown, "devkit mouse enabled")) return ob_push_int(L, 0);
    const orbo_input_link& s = orbo_input;
    int (*const read[5])() = {s.mouse_x, s.mouse_y, s.mouse_buttons, s.wheel_x, s.wheel_y};
    return ob_push_int(L, read[n - 32]());
}

int stat_string(lua_State* L, const std::string& s, size_t max)
{
    lua_pushlstring(L, s.data(), std::min(s.size(), max));
    return 1;
}
}  // namespace

// stat([n]): charge 16; no argument answers as stat(2).
int ob_stat(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    orbo_spend_cpu(k_stat_cost);
    int n = ob_nargs(L) < 1 ? 2 : ob_int(L, 1);
    const orbo_sound_link& s = orbo_sound;
    const int items = orbo_menu_item_count();
    switch (n) {
    case 0: return ob_push_num(L, c ? memory_kb(c) : 0);
    case 1: return ob_push_num(L, cycles_2_frame_capacity(orbo_cpu.frame_cycles));
    case 2: return ob_push_num(L, cycles_2_frame_capacity(orbo_cpu.system_cycles));
    case 4: return stat_string(L, c ? c->paste_text : std::string(), std::string::npos);
    case 5: return ob_push_int(L, 15);
    case 6: return stat_string(L, pstate.run_param, k_run_param_max);
    case 7: return ob_push_int(L, orbo_cpu.fps);
    case 8: return ob_push_int(L, orbo_cpu.target_fps);
    case 9: return ob_push_int(L, kiln_get_fps());
    case 10: return ob_push_int(L, pstate.drop_penalty);
    case 12: return ob_push_int(L, 23);
    case 13: return ob_push_int(L, 63 - (items * 8 + 8) / 2);
    case 14: return ob_push_int(L, 104);
    case 15: return ob_push_int(L, 68 + 4 * items);
    case 16: case 17: case 18: case 19: return ob_push_int(L, s.channel_sfx(n - 16));
    case 20: case 21: case 22: case 23: return ob_push_int(L, s.channel_note(n - 20));
    case 24: return ob_push_int(L, s.music_pattern());
    case 25: return ob_push_int(L, s.music_patterns_played());
    case 26: return ob_push_int(L, s.music_ticks());
    case 30: case 31:
        if (c) return stat_keyboard(L, c, n);
        return n == 30 ? ob_push_bool(L, false) : (lua_pushliteral(L, ""), 1);
    case 32: case 33: case 34: case 35: case 36: return c ? stat_mouse(L, c, n) : ob_push_int(L, 0);
    case 80: case 81: case 82: case 83: case 84: case 85: return ob_push_int(L, clock_field(n - 80, true));
    case 90: case 91: case 92: case 93: case 94: case 95: return ob_push_int(L, clock_field(n - 90, false));
    case 100: {
        const char* label = get_run_chain_label();
        if (label) lua_pushstring(L, label);
        else lua_pushnil(L);
        return 1;
    }
    default: return ob_push_int(L, 0);
    }
}

// time() and t(): the console frame counter / 30, truncated toward zero.
int ob_time(lua_State*L)
{
    return ob_push_num(L, fix32(int64_t(pstate.time_frames) * 65536 / 30));
}

// Once per frame from the program's loop: the frame counter that time()
// reads, then the button tables.
int ob_update_buttons(lua_State*)
{
    pstate.time_frames = int32_t(uint32_t(pstate.time_frames) + 1u);
    orbo_input.update_buttons();
    return 0;
}
