// The frame scheduler: resumes the program's coroutine once per console
// frame until it ends its frame (flip), uses up the frame's CPU budget,
// finishes or fails; collects garbage between resumptions (never inside
// the program) with a 2 MiB script memory limit; adapts the frame rate
// (60 to 30 to 15 on overruns or a slow host, and back with headroom).
#pragma once
#include <cstdint>

struct lua_State;

// Resumptions of the program in one console frame while memory pressure
// asks for a collection and another resumption. Each comes after up to
// three full collections of a heap near 2 MiB, and 1024 of them (each with
// a fresh budget) took seconds of host time per frame; eight, with the
// frame's cycle cap (ORBO_FRAME_CAP_MULTIPLE budgets, cpu.h), keep a console
// frame to a few tens of milliseconds while a program that makes garbage
// still finishes its frame.
constexpr int ORBO_SLICE_REPEATS = 8;
constexpr int32_t ORBO_PEAK_LOAD_MAX = 63488;  // 0.96875 of a frame's budget

// One console frame of the running program.
void run_slice();
// Called by the program once per frame right after flip.
void update_frame_rate();
// Frame rate and target rate together (the footer's _set_fps, run start).
void orbo_set_frame_rate(int fps);
// The current rate only (drops and climbs; the target stays).
void orbo_set_frame_rate_current(int fps);
// Clears history, loads, marks and penalty (every cartridge run).
void orbo_scheduler_clear();
// The end of a frame (flip): counts it and resets the frame's counters.
void orbo_end_frame(lua_State* L);
// Cycles of the current frame including the instructions since the last
// count hook of L.
int32_t orbo_frame_cycles_now(lua_State* L);
// Mean CPU load of the console frames run so far, 16.16 (tools).
int32_t orbo_mean_cpu_load();
int64_t orbo_program_console_frames();
void orbo_cpu_stats_clear();

// One console frame of a running program: held frames, the shell's keys,
// buttons for a program without the standard loop, the slice, the drop flag.
void orbo_program_frame();
