#include "runtime/scheduler.h"

#include "hardware/console.h"
#include "hardware/input_link.h"
#include "runtime/pause_state.h"
#include "runtime/pstate.h"
#include "engine/lua/cpu.h"
#include "engine/lua/lgc.h"
#include "engine/lua/lstate.h"
#include "engine/lua/lua.h"
#include "hardware/cdata.h"
#include "hardware/machine.h"
#include "hardware/runtime_link.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/log.h"
#include "platform/video.h"
#include "runtime/error_report.h"
#include "runtime/lua_machine.h"
#include "runtime/runner.h"
#include "runtime/runtime.h"

namespace {
bool g_flipped = false;    // the current console frame reached flip
int64_t g_spent = 0;       // cycles the program ran in this console frame
int32_t g_frame_mark = 0;  // the frame's cycle count when the slice (or frame) began
int64_t g_load_sum = 0, g_load_frames = 0;

int full_collection(lua_State* L)
{
    lua_gc(L, LUA_GCCOLLECT, 0);
    return 0;
}

// A full collection in protected mode: a finalizer (__gc) may fail, run out
// of memory or of its cycles, or call flip. False when it did: the program
// is stopped with the error as its runtime error report.
bool protected_collection(lua_State* L)
{
    orbo_runtime_line = 0;
    lua_pushcfunction(L, full_collection);  // a light function: no allocation
    int status = lua_pcall(L, 0, 0, 0);
    if (status == LUA_OK) return true;
    lua_gc(L, LUA_GCSTOP, 0);
    if (status == LUA_ERRMEM) {
        // The message of the engine's own memory error is not printed.
        orbo_rt().failed = true;
        lua_settop(L, 0);
        suspend_program();
        orbo_print_col("out of memory", 6);
        return false;
    }
    orbo_report_runtime_error(L);
    lua_settop(L, 0);
    return false;
}

// Full collections between slices; false when the program is out of memory
// (then the machine has been replaced and the program stopped) or a
// finalizer failed (the program stopped with its report).
bool collect()
{
    lua_State* L = orbo_rt().L;
    lua_gc(L, LUA_GCRESTART, 0);
    if (lua_gc(L, LUA_GCISRUNNING, 0)) {
        if (!protected_collection(L)) return false;
        if (orbo_script_memory() > ORBO_SCRIPT_MEMORY) {
            if (!protected_collection(L)) return false;
            if (orbo_script_memory() > ORBO_SCRIPT_MEMORY) {
                long long before = orbo_script_memory();
                luaC_fullgc(L, 1);  // an emergency collection runs no finalizer
                kiln_debug("gc hard collect: %d -> %d\n", int(before), int(orbo_script_memory()));
                if (orbo_script_memory() > ORBO_SCRIPT_MEMORY) {
                    orbo_rt().failed = true;
                    suspend_program();  // saves cart data while the program still counts as running
                    reset_lua_machine();
                    orbo_print_col("out of memory", 6);
                    return false;
                }
            }
        }
    }
    lua_gc(L, LUA_GCSTOP, 0);
    return true;
}

void resume_program()
{
    orbo_runtime& rt = orbo_rt();
    lua_State* co = rt.program;
    if (!co) {
        suspend_program();
        return;
    }
    orbo_cpu.L = co;
    orbo_runtime_line = 0;
    orbo_cpu_prepare_resume(co);
    int status = lua_resume(co, nullptr, 0);
    orbo_cpu.L = nullptr;
    if (status == LUA_YIELD) return;
    if (status == LUA_OK) {
        suspend_program();
        return;
    }
    if (orbo_reset_glitch > 0) return;
    orbo_report_runtime_error(co);
}
}  // namespace

void orbo_set_frame_rate(int fps)
{
    orbo_cpu.fps = orbo_cpu.target_fps = fps;
}

void orbo_scheduler_clear()
{
    orbo_runtime& rt = orbo_rt();
    for (int i = 0; i < 3; i++) rt.mark_cycles[i] = 0, rt.mark_ms[i] = 0;
    for (int& f : rt.fps_history) f = 0;
    rt.load_prev = rt.load_cur = 0;
    pstate.drop_penalty = 0;
    rt.last_drop_ms = 0;
    rt.dropped_once = false;
    pstate.frame_rate_drop = false;
}

int32_t orbo_frame_cycles_now(lua_State* L)
{
    int left = L ? lua_get_cpu(L) : ORBO_HOOK_BLOCK;
    int done = left >= 0 && left <= ORBO_HOOK_BLOCK ? ORBO_HOOK_BLOCK - left : 0;
    return orbo_cpu.frame_cycles + done;
}

void orbo_end_frame(lua_State* L)
{
    g_flipped = true;
    g_spent += orbo_frame_cycles_now(L) - g_frame_mark;
    orbo_cpu_frame_reset();
    g_frame_mark = 0;
    orbo_rt().program_frames++;
}

void run_slice()
{
    orbo_runtime& rt = orbo_rt();
    orbo_machine* c = orbo_live_machine();
    if (!rt.L || !c) return;
    g_flipped = false;
    g_spent = 0;
    g_frame_mark = orbo_cpu.frame_cycles;
    orbo_cpu_console_frame_start();
    for (int i = 0; i < ORBO_SLICE_REPEATS; i++) {
        rt.slices++;
        c->heap.memory_pressure = false;
        if (!collect()) return;
        if (pstate.app_mode == MODE_RUNNING) resume_program();
        orbo_cdata_periodic_save(orbo_now_ms());
        // An action waiting (an error, a stop, a run) ends the slice: the
        // program must not run on past it.
        if (!c->heap.memory_pressure || pstate.pending_action != ACTION_NONE) break;
        // A frame that reached flip is over: resuming again would run the
        // program's next frame inside this console frame.
        if (g_flipped) break;
        if (pstate.app_mode != MODE_RUNNING || !rt.L) break;
        // The frame's cycles reached their cap, or the process is to end.
        if (orbo_cpu_frame_capped() || kiln_quit_requested()) break;
    }
    if (rt.program) g_spent += orbo_frame_cycles_now(rt.program) - g_frame_mark;
    g_load_sum += cycles_2_frame_capacity(int32_t(g_spent));
    g_load_frames++;
}

int32_t orbo_mean_cpu_load() { return g_load_frames ? int32_t(g_load_sum / g_load_frames) : 0; }
int64_t orbo_program_console_frames() { return g_load_frames; }
void orbo_cpu_stats_clear() { g_load_sum = g_load_frames = 0; }

void update_frame_rate()
{
    orbo_runtime& rt = orbo_rt();
    uint32_t now = orbo_now_ms();

    for (int i = 0; i + 1 < ORBO_FPS_HISTORY; i++) rt.fps_history[i] = rt.fps_history[i + 1];
    rt.fps_history[ORBO_FPS_HISTORY - 1] = kiln_get_fps();
    int sum = 0, samples = 0;
    for (int f : rt.fps_history)
        if (f) sum += f, samples++;
    int average = sum / (samples ? samples : 1);

    int32_t peak = 0x100000;
    if (rt.mark_cycles[2] > rt.mark_cycles[0]) {
        int target = orbo_cpu.target_fps > 1 ? orbo_cpu.target_fps : 1;
        int64_t budget = ORBO_CYCLES_PER_SECOND / target;
        int32_t load = int32_t(int64_t(rt.mark_cycles[2] - rt.mark_cycles[0]) * 65536 / budget);
        rt.load_prev = rt.load_cur;
        rt.load_cur = load;
        peak = rt.load_prev > load ? rt.load_prev : load;
    }
    bool active = kiln_is_app_active();
    int frame_ms = 1000;
    if (int32_t(rt.mark_ms[2] - rt.mark_ms[0]) > 0) {
        int draw = pstate.draw_ms > 0 ? pstate.draw_ms : 0;
        frame_ms = int(rt.mark_ms[2] - rt.mark_ms[0]) + draw + pstate.drop_penalty +
                   (active ? cconfig.foreground_sleep_ms : cconfig.background_sleep_ms);
    }
    if (pstate.host_framerate_control == 0) {
        average = 10000;
        frame_ms = 0;
    }
    int& fps = orbo_cpu.fps;
    int target = orbo_cpu.target_fps;
    if (pstate.frame_rate_drop && fps == target) {
        pstate.frame_rate_drop = false;
        orbo_set_frame_rate_current(fps / 2);
        return;
    }
    pstate.frame_rate_drop = false;
    if (fps == 60 && target == 60 && average < 58) {
        orbo_set_frame_rate_current(30);
        if (active && rt.dropped_once && now - rt.last_drop_ms < 200) {
            int p = pstate.drop_penalty + 1;
            if (p > 8) p = 10;
            pstate.drop_penalty = p;
        }
        rt.last_drop_ms = now;
        rt.dropped_once = true;
        return;
    }
    if (fps < target && average >= target - 2 && (target == 30 || frame_ms < 17) && peak < ORBO_PEAK_LOAD_MAX)
        orbo_set_frame_rate_current(target);
}

void orbo_set_frame_rate_current(int fps)
{
    orbo_cpu.fps = fps;
}

void orbo_program_frame()
{
    if (pstate.hold_frames > 0) {
        pstate.hold_frames--;
        return;
    }
    orbo_shell_hooks.running_keypresses();
    if (pstate.mainloop_kind < 2) {
        // The standard loop updates the buttons and checks the pause
        // button itself.
        orbo_input.update_buttons();
        orbo_input.read_buttons();
        pstate.time_frames++;
        orbo_shell_hooks.update_paused_menu();
    }
    if (orbo_reset_glitch < 3) run_slice();
    // Still inside its frame: the budget ran out before flip.
    if (pstate.hold) pstate.frame_rate_drop = true;
}
