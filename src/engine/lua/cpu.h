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
// A console frame ends, whatever the program does, once its cycles (every
// instruction and charge since the scheduler began the console frame, in
// any coroutine, across every resumption) reach this multiple of the frame
// budget: the running thread is suspended at its next count hook (a nested
// coroutine yields to its resumer, whose own next hook yields in turn).
// Eight budgets leave room for a main thread plus seven coroutines that each
// ran out of their own budget in the same frame (each suspension of a
// coroutine restarts the slice count), and cost the host only about 1.1
// million instructions, a few milliseconds.
constexpr int ORBO_FRAME_CAP_MULTIPLE = 8;
// Cycles the finalizers (__gc) of one collection may use: each call costs
// ORBO_FINALIZER_CALL_COST plus its instructions. A finalizer still running
// when they are spent fails ("finalizer ran out of cycles"); finalizers not
// yet started wait for the next collection (or, when the state closes, are
// skipped). 262144 cycles are about two frames at 30 per second.
constexpr int64_t ORBO_FINALIZER_CYCLES = 262144;
constexpr int64_t ORBO_FINALIZER_CALL_COST = 64;

struct orbo_cpu_counters {
    int32_t frame_cycles = 0;     // instructions and charges in this frame
    int32_t slice_cycles = 0;     // cycles counted against the budget
    int32_t system_cycles = 0;    // charges made by host functions this frame
    int32_t spend_remainder = 0;  // charges not yet passed to the hook counter
    int fps = 30;                 // current frame rate: sets the budget
    int target_fps = 30;          // rate the program asked for: scales loads
    lua_State* L = nullptr;       // engine state charged; none: charges ignored
    int64_t console_cycles = 0;   // cycles of the console frame (see ORBO_FRAME_CAP_MULTIPLE)
    int64_t finalizer_left = ORBO_FINALIZER_CYCLES;  // of the current collection
    int finalizer_depth = 0;      // finalizers running now
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

// The scheduler begins a console frame: its cycle count restarts.
void orbo_cpu_console_frame_start();
// The frame's cap (ORBO_FRAME_CAP_MULTIPLE budgets) is reached.
bool orbo_cpu_frame_capped();

// Finalizer bound, used by the collector (lgc): a collection's finalizers
// start with a fresh allowance; each call runs under a count hook that
// charges it and fails the finalizer once the allowance is spent.
struct orbo_finalizer_hooks {
    void* hook;
    int mask, base, count;
    unsigned char allowhook;
};
void orbo_finalizers_begin();
bool orbo_finalizers_may_run();  // allowance left
void orbo_finalizer_enter(lua_State* L, orbo_finalizer_hooks* saved);
void orbo_finalizer_leave(lua_State* L, const orbo_finalizer_hooks* saved);

// Cycles as a 16.16 fraction of one frame's budget at the target rate.
int32_t cycles_2_frame_capacity(int32_t cycles);
