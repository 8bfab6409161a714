// CPU budget accounting (see cpu.h). The budget check waits for the next
// count hook; charges only move that hook closer, one instruction per 1024
// cycles, so a frame may overrun by up to one block plus recent charges.
#include "engine/lua/cpu.h"

#include "engine/lua/internal.h"
#include "engine/lua/lua.h"
#include "platform/kiln.h"

orbo_cpu_counters orbo_cpu;

namespace {
int32_t wrap_add(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }

void charge(int32_t m, bool system)
{
    orbo_cpu_counters& c = orbo_cpu;
    if (!c.L) return;
    if (system) c.system_cycles = wrap_add(c.system_cycles, m);
    c.frame_cycles = wrap_add(c.frame_cycles, m);
    c.slice_cycles = wrap_add(c.slice_cycles, m);
    c.spend_remainder = wrap_add(c.spend_remainder, m);
    c.console_cycles += m;
    int32_t k = c.spend_remainder / ORBO_HOOK_BLOCK;  // truncates toward zero
    if (k > 0) {
        c.spend_remainder -= ORBO_HOOK_BLOCK * k;
        lua_spend_cpu(c.L, k);
    }
}
}  // namespace

int32_t orbo_frame_budget() { return ORBO_CYCLES_PER_SECOND / (orbo_cpu.fps > 0 ? orbo_cpu.fps : 1); }

namespace {
// Inside a finalizer every hook charges the collection's allowance; once it
// is spent the code running fails (a finalizer cannot yield).
void charge_finalizer(lua_State* L)
{
    orbo_cpu_counters& c = orbo_cpu;
    if (c.finalizer_depth <= 0) return;
    c.finalizer_left -= ORBO_HOOK_BLOCK;
    if (c.finalizer_left <= 0 || kiln_quit_requested()) {
        lua_pushstring(L, "finalizer ran out of cycles");
        lua_error(L);
    }
}

void finalizer_limiter(lua_State* L, lua_Debug* ar)
{
    // A coroutine created inside a finalizer inherits this hook; outside
    // finalizers it counts as any program code does.
    if (orbo_cpu.finalizer_depth <= 0) instruction_limiter(L, ar);
    else charge_finalizer(L);
}
}  // namespace

void instruction_limiter(lua_State* L, lua_Debug*)
{
    orbo_cpu_counters& c = orbo_cpu;
    charge_finalizer(L);
    c.frame_cycles = wrap_add(c.frame_cycles, ORBO_HOOK_BLOCK);
    c.slice_cycles = wrap_add(c.slice_cycles, ORBO_HOOK_BLOCK);
    c.console_cycles += ORBO_HOOK_BLOCK;
    // The budget, the frame's cap (however the budget was spent: coroutines
    // suspended by it restart the slice, yet the frame must end), or a quit
    // request (the process is to end: the program stops where it is).
    if (c.slice_cycles >= orbo_frame_budget() || orbo_cpu_frame_capped() || kiln_quit_requested()) {
        c.slice_cycles = 0;
        lua_yield(L, 0);
    }
}

void orbo_cpu_console_frame_start() { orbo_cpu.console_cycles = 0; }

bool orbo_cpu_frame_capped()
{
    return orbo_cpu.console_cycles >= int64_t(ORBO_FRAME_CAP_MULTIPLE) * orbo_frame_budget();
}

void orbo_finalizers_begin() { orbo_cpu.finalizer_left = ORBO_FINALIZER_CYCLES; }

bool orbo_finalizers_may_run() { return orbo_cpu.finalizer_left > 0 && !kiln_quit_requested(); }

void orbo_finalizer_enter(lua_State* L, orbo_finalizer_hooks* saved)
{
    saved->hook = reinterpret_cast<void*>(L->hook);
    saved->mask = L->hookmask;
    saved->base = L->basehookcount;
    saved->count = L->hookcount;
    saved->allowhook = L->allowhook;
    orbo_cpu.finalizer_depth++;
    orbo_cpu.finalizer_left -= ORBO_FINALIZER_CALL_COST;
    L->hook = finalizer_limiter;
    L->hookmask = LUA_MASKCOUNT;
    L->basehookcount = ORBO_HOOK_BLOCK;
    L->hookcount = ORBO_HOOK_BLOCK;
    L->allowhook = 1;
}

void orbo_finalizer_leave(lua_State* L, const orbo_finalizer_hooks* saved)
{
    // The part of a block the finalizer ran since its last hook.
    int done = ORBO_HOOK_BLOCK - L->hookcount;
    if (done > 0 && done <= ORBO_HOOK_BLOCK) orbo_cpu.finalizer_left -= done;
    orbo_cpu.finalizer_depth--;
    L->hook = reinterpret_cast<lua_Hook>(saved->hook);
    L->hookmask = lu_byte(saved->mask);
    L->basehookcount = saved->base;
    L->hookcount = saved->count;
    L->allowhook = saved->allowhook;
}

// Every executed instruction is charged exactly once. The count hook charges
// the block of 1024 that ends with the instruction about to run, so when it
// suspends the program that instruction is already paid for although it
// runs only after the resumption. Reinstalling the hook reloads the counter
// with 1024; if the thread was suspended by the hook, the counter is set to
// 1 instead, so that the interrupted instruction brings it to 0, the engine
// skips the hook for it (it was just called) and reloads 1024: the first
// block of the new frame starts with the instruction after it, and every
// frame after a suspension runs exactly hooks x 1024 instructions (137 x 1024
// at 30 frames per second). Reloading 1024 there instead would run the
// interrupted instruction in the block, then consume the skip on the next
// hook and run a frame of 138 blocks.
void orbo_cpu_prepare_resume(lua_State* L)
{
    orbo_cpu.spend_remainder = 0;
    fix_charge_fn = spend_cpu;  // power and square-root steps charge too
    lua_sethook(L, instruction_limiter, LUA_MASKCOUNT, ORBO_HOOK_BLOCK);
    if (L->status == LUA_YIELD && (L->ci->callstatus & CIST_HOOKYIELD)) L->hookcount = 1;
}

void orbo_cpu_frame_reset()
{
    orbo_cpu.frame_cycles = 0;
    orbo_cpu.system_cycles = 0;
    orbo_cpu.slice_cycles = 0;
    orbo_cpu.console_cycles = 0;  // a frame that reached flip is over
}

void orbo_cpu_clear()
{
    orbo_cpu_frame_reset();
    orbo_cpu.spend_remainder = 0;
}

void spend_cpu(int32_t n) { charge(n > 0 ? n : 1, true); }

void refund_cpu(int32_t n) { charge(n, n > 0); }

int32_t cycles_2_frame_capacity(int32_t cycles)
{
    int64_t per_frame = ORBO_CYCLES_PER_SECOND / (orbo_cpu.target_fps > 1 ? orbo_cpu.target_fps : 1);
    return int32_t(uint32_t(uint64_t((int64_t(cycles) * 65536) / per_frame)));
}
