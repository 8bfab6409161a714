// The runtime's script functions: load, run, stop, extcmd and the internal
// functions of the standard frame loop (flip, holdframe, _set_fps,
// _set_mainloop_exists, _mark_cpu, _update_framerate).
#include <string>

#include "cart/cart_partial.h"
#include "cart/embedded.h"
#include "cart/working_cart.h"
#include "engine/lua/cpu.h"
#include "engine/lua/lauxlib.h"
#include "hardware/api/api.h"
#include "hardware/machine.h"
#include "hardware/gfx.h"
#include "hardware/mem.h"
#include "hardware/runtime_link.h"
#include "hardware/input_link.h"
#include "runtime/pause_state.h"
#include "runtime/pstate.h"
#include "runtime/run_chain.h"
#include "runtime/runtime_api.h"
#include "runtime/runner.h"
#include "runtime/runtime.h"
#include "runtime/scheduler.h"

namespace {
constexpr int PARAM_MAX = 1024;
constexpr int32_t LOAD_CHARGE = 0x400000;  // ends the current frame

std::string string_arg(lua_State* L, int i)
{
    if (lua_gettop(L) < i || lua_type(L, i) != LUA_TSTRING) return "";
    size_t n = 0;
    const char* s = lua_tolstring(L, i, &n);
    return std::string(s, n);
}

bool starts_with(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

int32_t int_arg(lua_State* L, int i) { return int32_t(lua_tonumber(L, i)) >> 16; }
}  // namespace

int ob_load(lua_State* L)
{
    if (orbo_reset_glitch > 0) return 0;
    pstate.pending_param = string_arg(L, 3).substr(0, PARAM_MAX);
    std::string name = string_arg(L, 1);
    if (starts_with(name, "/")) name.erase(0, 1);
    if (starts_with(name, "#") || starts_with(name, "__")) {
        lua_pushboolean(L, 0);
        return 1;
    }
    if (name == "@clip" || name == "@clip.ob" || name == "@clip.png" || name == "@clip.ob.png") {
        lua_pushboolean(L, 1);
        return 1;
    }
    // Besides the embedded cartridges, the user's cartridges in "cstore/"
    // (the names ls() lists) load; any other name loads nothing.
    std::string path = name;
    if (get_embedded_cart_hash_for_filename(name.c_str(), true).empty()) {
        path = orbo_user_cart_path(name);
        if (path.empty()) {
            lua_pushboolean(L, 1);
            return 1;
        }
    }
    std::string before = orbo_working().filename;
    if (load_working_cart(path.c_str()) != 0) {
        lua_pushboolean(L, 0);
        return 1;
    }
    orbo_refresh_live_cart();
    std::string label = string_arg(L, 2);
    if (label.size() > 1) add_run_chain_item(before, label, pstate.run_param);
    reset_runtime_state();
    orbo_machine* c = orbo_live_machine();
    if (c && c->cart) orbo_reload(c, c->cart, orbo_working().cart.get(), 0, 0, ORBO_ROM_SIZE);
    spend_cpu(LOAD_CHARGE);
    // The loaded cartridge runs in exec mode too: otherwise the old program
    // would go on over the new cartridge's memory.
    pstate.pending_action = ACTION_RUN;
    if (orbo_working().filename != before) pstate.hold_frames = 30;
    lua_pushboolean(L, 1);
    return 1;
}

int ob_run(lua_State* L)
{
    if (orbo_reset_glitch > 0) return 0;
    pstate.pending_param = string_arg(L, 1).substr(0, PARAM_MAX);
    pstate.pending_action = ACTION_RUN;
    return 0;
}

int ob_stop(lua_State* L)
{
    if (orbo_reset_glitch > 0) return 0;
    pstate.pending_action = ACTION_STOP;
    orbo_machine* c = orbo_live_machine();
    if (c) {
        c->camera_x = c->camera_y = 0;
        int nargs = lua_gettop(L);
        if (nargs > 0) {
            const char* text = luaL_tolstring(L, 1, nullptr);
            orbo_print(c, nargs, text, int_arg(L, 2), int_arg(L, 3), int32_t(lua_tonumber(L, 4)));
        }
    }
    return lua_yield(L, 0);
}

int ob_extcmd(lua_State* L)
{
    std::string cmd = string_arg(L, 1);
    if (cmd == "pause") {
        orbo_shell_hooks.open_paused_menu();
    } else if (cmd == "reset") {
        uint32_t now = orbo_now_ms();
        if (orbo_reset_glitch == 0 && now - orbo_rt().last_reset_ms > 500) {
            orbo_reset_glitch = 1;
            orbo_rt().last_reset_ms = now;
        }
    } else if (cmd == "breadcrumb") {
        if (run_chain_items() > 0) {
            follow_current_breadcrumb();
            return lua_yield(L, 0);
        }
    }
    return 0;
}

int ob_flip(lua_State* L)
{
    orbo_end_frame(L);
    orbo_input.read_buttons();
    pstate.hold = 0;
    return lua_yield(L, 0);
}

int ob_holdframe(lua_State*)
{
    pstate.hold = 1;
    return 0;
}

int ob_update_frame_rate(lua_State*)
{
    update_frame_rate();
    return 0;
}

int ob_set_mainloop_exists(lua_State* L)
{
    pstate.mainloop_kind = int_arg(L, 1);
    return 0;
}

int ob_set_fps(lua_State* L)
{
    // 15, 30 or 60: other rates would stall the host pacing or the budget.
    int fps = int_arg(L, 1);
    orbo_set_frame_rate(fps >= 60 ? 60 : fps <= 15 ? 15 : 30);
    return 0;
}

int ob_mark_cpu(lua_State* L)
{
    int n = int_arg(L, 1);
    if (n < 0) n = 0;
    if (n > 2) n = 2;
    orbo_runtime& rt = orbo_rt();
    rt.mark_cycles[n] = orbo_frame_cycles_now(L);
    rt.mark_ms[n] = orbo_now_ms();
    return 0;
}

// The key configuration overlay, when the screen opens (else the shell
// could never leave it).
int ob_keyconfig(lua_State*)
{
    if (!orbo_input.keyconfig_init()) return 0;
    pstate.overlay_screen = 1;
    orbo_input.block_buttons();
    return 0;
}

void orbo_bind_runtime_api()
{
#define ORBO_BIND_RUNTIME(name, binding, listed, layer) ORBO_API_IS(layer, runtime, orbo_api_bind(ORBO_API_ID_##name, binding);)
    ORBO_API_GLOBALS(ORBO_BIND_RUNTIME)
#undef ORBO_BIND_RUNTIME
}
