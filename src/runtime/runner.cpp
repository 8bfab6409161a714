#include "runtime/runner.h"

#include <cstring>
#include <ctime>

#include "hardware/console.h"
#include "runtime/pause_state.h"
#include "runtime/pstate.h"
#include "audio/audio.h"
#include "cart/working_cart.h"
#include "engine/lua/cpu.h"
#include "engine/lua/lauxlib.h"
#include "engine/lua/lua.h"
#include "engine/math/fixed.h"
#include "engine/pre/pre.h"
#include "engine/token/token.h"
#include "hardware/cdata.h"
#include "hardware/input_link.h"
#include "hardware/sound_link.h"
#include "hardware/machine.h"
#include "hardware/mem_map.h"
#include "hardware/mem.h"
#include "hardware/runtime_link.h"
#include "platform/kiln.h"
#include "platform/paths.h"
#include "runtime/error_report.h"
#include "runtime/lua_machine.h"
#include "runtime/program_text.h"
#include "runtime/runtime.h"
#include "runtime/scheduler.h"

namespace {

bool starts_with(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }

// A program of one console command line runs as a call of it.
bool short_command_text(const std::string& code, std::string* out)
{
    bool found = false;
    for (const char* cmd : short_command) {
        std::string c = cmd;
        if (code == c) {
            *out = c + "()";
            found = true;
        } else if (code.size() >= c.size() + 2 && starts_with(code, c) && code[c.size()] == ' ' &&
                   code[c.size() + 1] != '"') {
            *out = c + "(\"" + code.substr(c.size() + 1) + "\")";
            found = true;
        }
    }
    if (code == "s") {
        *out = "scout()";
        found = true;
    }
    if (code == "resume") {
        *out = "if (_mainloop) then _mainloop() else print(\"no _mainloop()\") end";
        found = true;
    }
    return found;
}

void append_bounded(std::string& buf, const char* text, size_t len)
{
    size_t room = ORBO_CODE_BUFFER - 1 > buf.size() ? ORBO_CODE_BUFFER - 1 - buf.size() : 0;
    buf.append(text, len < room ? len : room);
}

// The live cartridge record the console reads and writes: a copy of the
// working cartridge, so pokes never reach the loaded cartridge that reload
// copies from. Like the working cartridge it is never destroyed at exit (its
// release hooks would reach subsystems already gone).
orbo_cart_ptr& live_cart()
{
    static orbo_cart_ptr* cart = new orbo_cart_ptr;
    return *cart;
}
}  // namespace

void orbo_refresh_live_cart()
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return;
    orbo_cart_ptr fresh = orbo_copy_cart(*orbo_working().cart);
    // The console moves to the new copy before the old one is released.
    c->cart = fresh.get();
    live_cart() = std::move(fresh);
    orbo_audio_attach(c->cart, c->audio_mask);
}

std::string get_lid_from_filename(const std::string& name)
{
    size_t at = name.find(".ob");
    if (at == std::string::npos || at == 0) return "";
    size_t s = at;
    while (s > 0) {
        char ch = name[s - 1];
        bool ok = (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '-' || ch == '_';
        if (!ok) break;
        s--;
    }
    return name.substr(s, at - s);
}

void orbo_classify_cart_file(const std::string& filename)
{
    orbo_runtime& rt = orbo_rt();
    rt.cart_id.clear();
    rt.cart_location.clear();
    std::string bbs = kiln_prefix_with_appdata_path("bbs/");
    if (!pstate.cart_root.empty() && starts_with(filename, pstate.cart_root))
        rt.cart_location = filename.substr(pstate.cart_root.size());
    else if (starts_with(filename, bbs)) rt.cart_id = get_lid_from_filename(filename);
    else rt.cart_location = filename;
}

std::string orbo_build_program_text(const std::string& code, const std::string& cart_id)
{
    std::string buf;
    buf.reserve(ORBO_CODE_BUFFER);
    buf.assign(orbo_program_header, orbo_program_header_size());
    if (cart_id == "19488" || cart_id == "10388") buf += " nd=0 ";
    std::string command;
    if (short_command_text(code, &command)) {
        buf.resize(0);
        // The command replaces the whole buffer, header included.
        buf = command;
    } else {
        std::string pre;
        orbo_preprocess(code.c_str(), pre);
        if (pre.size() > ORBO_PRE_BUFFER - 1) pre.resize(ORBO_PRE_BUFFER - 1);
        append_bounded(buf, pre.data(), pre.size());
    }
    append_bounded(buf, orbo_program_footer, orbo_program_footer_size());
    return buf;
}

namespace {
// The player ends with the program; its status says whether the program
// ended on an error (a syntax or runtime error, out of memory, a size limit).
void end_exec_mode()
{
    kiln_quit = true;
    kiln_set_exit_status(orbo_rt().failed ? 1 : 0);
}
}  // namespace

void reset_runtime_state()
{
    orbo_machine* c = orbo_live_machine();
    if (c) orbo_reset_draw_state(c);  // registers, pen 6, palettes, camera, clip, pattern, GPIO
    orbo_rt().assert_message.clear();
    orbo_rt().program_frames = 0;
}

bool run_program(const std::string& code)
{
    orbo_runtime& rt = orbo_rt();
    orbo_machine* c = orbo_live_machine();
    pstate.mainloop_kind = 0;
    orbo_pause().program_paused = 0;
    kiln_state.audio_pause = 0;
    if (!rt.L || !c) return false;

    if (code.size() > size_t(ORBO_CHAR_LIMIT)) {
        rt.failed = true;
        orbo_print_col("program exceeds char limit", 6);
        orbo_print_2_col("%d / %d chars\n", int(code.size()), ORBO_CHAR_LIMIT, 6);
        return false;
    }
    int tokens = count_tokens(code.c_str());
    if (tokens > ORBO_TOKEN_LIMIT) {
        rt.failed = true;
        orbo_print_col("program too large", 6);
        orbo_print_2_col("%d / %d tokens\n", tokens, ORBO_TOKEN_LIMIT, 6);
        return false;
    }
    c->heap.base = int64_t(tokens) * 16;
    lua_reset_call_state_orbo(rt.L);
    if (code == "resume") orbo_input.block_buttons();
    std::string text = orbo_build_program_text(code, rt.cart_id);

    lua_State* L = rt.L;
    c->heap.compiling = true;
    int status = luaL_loadbuffer(L, text.data(), text.size(), text.c_str());
    c->heap.compiling = false;
    if (status != LUA_OK) {
        const char* msg = lua_tostring(L, -1);
        orbo_report_compile_error(msg ? msg : "");
        lua_settop(L, 0);
        return false;
    }
    // The program is a coroutine around the chunk, kept as "_ob_program".
    lua_State* co = lua_newthread(L);
    lua_pushvalue(L, -2);
    lua_xmove(L, co, 1);
    // The registry keeps the coroutine alive even if the program replaces
    // its global.
    lua_pushvalue(L, -1);
    lua_rawsetp(L, LUA_REGISTRYINDEX, &orbo_rt().program);
    lua_setglobal(L, "_ob_program");
    lua_settop(L, 0);
    rt.program = co;

    orbo_input.block_buttons();
    rt.program_frames = 0;
    pstate.hold = 0;  // a program replaced mid-frame leaves no held display
    if (pstate.pending_action == ACTION_RUN) {
        orbo_memset(c, c->cart, orbo_base(ORBO_R_DRAW), 0, 0x80);
        reset_runtime_state();
        rt.assert_message.clear();
        orbo_cpu_clear();
        orbo_scheduler_clear();
    }
    pstate.program_flag = 1;
    pstate.app_mode = MODE_RUNNING;
    return true;
}

void run_cart()
{
    orbo_runtime& rt = orbo_rt();
    orbo_working_state& w = orbo_working();
    // The program that is replaced keeps what it stored (a load, a reset, a
    // run): its cart data is written while it still counts as running.
    save_cdata();
    // A program running now ends with its machine; until the new one starts
    // the console is in command mode (so size and compile reports reach
    // standard output in exec mode).
    pstate.app_mode = MODE_CONSOLE;
    rt.failed = false;
    orbo_merge_working_tabs();
    orbo_refresh_live_cart();
    pstate.run_param = pstate.pending_param;
    pstate.pending_param.clear();
    orbo_classify_cart_file(w.filename);
    orbo_cdata_close();
    reset_lua_machine();
    orbo_machine* c = orbo_live_machine();
    if (c && w.cart) orbo_reload(c, c->cart, w.cart.get(), 0, 0, ORBO_ROM_SIZE);
    orbo_clear_menu_items();
    orbo_srand(pstate.run_seed >= 0 ? uint32_t(pstate.run_seed) : uint32_t(time(nullptr)) + orbo_now_ms());
    rt.code = w.cart ? w.cart->code : std::string();
    run_program(rt.code);
    orbo_stop_all_sound();
    if (c)
        orbo_clear_audio_masks(c);
    orbo_set_frame_rate(30);
    orbo_input.block_buttons();
}

void suspend_program()
{
    if (orbo_reset_glitch > 0) return;
    orbo_runtime& rt = orbo_rt();
    orbo_machine* c = orbo_live_machine();
    if (pstate.program_flag) {
        orbo_stop_all_sound();
        orbo_pause().program_paused = 0;
        kiln_state.audio_pause = 0;
        save_cdata();
        if (c && orbo_peek(c, c->cart, 0x5F2E) != 1)
            for (int i = 0; i < 16; i++) c->screen_pal[i] = uint8_t(i);
        if (c && orbo_peek(c, c->cart, 0x5F44) == 0)
            orbo_clear_audio_masks(c);
    }
    pstate.app_mode = MODE_CONSOLE;
    pstate.hold = 0;
    if (c) {
        rt.saved_camera_x = c->camera_x;
        rt.saved_camera_y = c->camera_y;
        memcpy(rt.saved_clip, c->clip, sizeof rt.saved_clip);
        c->camera_x = c->camera_y = 0;
        c->clip[0] = c->clip[1] = 0;
        c->clip[2] = c->clip[3] = 128;
        orbo_reset_clip(c->screen.get());
        if (c->cursor_y < 0) c->cursor_y = 0;
        if (c->cursor_y > 120) c->cursor_y = 120;
        c->cursor_x = 0;
        c->typed.clear();
    }
    // In exec mode the end of the program ends the player, but an action
    // still waiting (an error recorded in the last slice, a run request) is
    // dispatched first; the dispatch then decides.
    if (pstate.exec_mode && pstate.pending_action == ACTION_NONE) end_exec_mode();
}

void continue_program()
{
    orbo_runtime& rt = orbo_rt();
    if (orbo_machine* c = orbo_live_machine()) {
        c->camera_x = rt.saved_camera_x;
        c->camera_y = rt.saved_camera_y;
        memcpy(c->clip, rt.saved_clip, sizeof c->clip);
        orbo_set_clip(c->screen.get(), c->clip[0], c->clip[1], c->clip[2], c->clip[3]);
    }
    pstate.app_mode = MODE_RUNNING;
}

void dispatch_pending_action()
{
    orbo_reset_glitch = 0;
    switch (pstate.pending_action) {
    case ACTION_RUN: run_cart(); break;
    case ACTION_STOP: suspend_program(); break;
    case ACTION_STOP_RESET:
        suspend_program();
        reset_lua_machine();
        orbo_print("");
        orbo_print(orbo_rt().error_string.c_str());
        break;
    default: break;
    }
    pstate.pending_action = ACTION_NONE;
    // In exec mode the player ends with the program: one that stopped,
    // failed or never started (size limit, compile error).
    if (pstate.exec_mode && pstate.app_mode != MODE_RUNNING) end_exec_mode();
}
