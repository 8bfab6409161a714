// CPU budget accounting: every VM instruction costs one cycle, counted in
// blocks of 1024 by the engine's count hook; host functions charge extra
// cycles (or refund some). When a frame's slice reaches the budget the count
// hook suspends the running coroutine, and the scheduler resumes it in the
// next console frame exactly where it stopped.
#pragma once
#include <cstdint>

struct lua_State;
struct lua_Debug;

constexpr int32_t ORBO_CYCLES_PER_SECOND = 0x400000;
constexpr int ORBO_HOOK_BLOCK = 1024;  // instructions between two count hooks

struct orbo_cpu_counters {
    int32_t frame_cycles = 0;     // instructions and charges in this frame
    int32_t slice_cycles = 0;     // cycles counted against the budget
    int32_t system_cycles = 0;    // charges made by host functions this frame
    int32_t spend_remainder = 0;  // charges not yet passed to the hook counter
    int fps = 30;                 // current frame rate: sets the budget
    int target_fps = 30;          // rate the program asked for: scales loads
    lua_State* L = nullptr;       // engine state charged; none: charges ignored
};

// The one set of counters of the running program.
extern orbo_cpu_counters orbo_cpu;

// Budget of one frame at the current rate (integer division).
int32_t orbo_frame_budget();

// The count hook, installed before every resumption (mask count, 1024).
void instruction_limiter(lua_State* L, lua_Debug* ar);
// Installs the hook afresh and clears the remainder: call before resuming.
void orbo_cpu_prepare_resume(lua_State* L);
// End of frame (`flip`): clears the per-frame counters.
void orbo_cpu_frame_reset();
// Clears every counter (cartridge run start).
void orbo_cpu_clear();

void spend_cpu(int32_t n);   // charges max(n, 1) cycles
void refund_cpu(int32_t n);  // adds n cycles; negative n gives cycles back

// Cycles as a 16.16 fraction of one frame's budget at the target rate.
int32_t cycles_2_frame_capacity(int32_t cycles);
