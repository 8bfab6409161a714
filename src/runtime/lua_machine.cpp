#include "runtime/lua_machine.h"

#include "audio/audio.h"
#include "engine/lua/cpu.h"
#include "engine/lua/lstate.h"
#include "engine/lua/lua.h"
#include "hardware/api/api.h"
#include "hardware/machine.h"
#include "hardware/lua_alloc.h"
#include "runtime/error_report.h"
#include "runtime/runtime.h"

namespace {
// Memory pressure: the count hook of whichever state is running runs before
// its next instruction, so the program yields soon if its budget is gone.
void soft_yield(orbo_heap*)
{
    lua_State* L = orbo_cpu.L ? orbo_cpu.L : orbo_rt().L;
    if (L) lua_orbo_soft_yield(L);
}

int tab_line_for_engine(int line, int* tab) { return find_tab_line(line, tab); }
}  // namespace

void start_lua_machine()
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return;
    orbo_heap& h = c->heap;
    h.base = 0;
    h.compiling = false;
    h.memory_pressure = false;
    h.allocation_failed = false;
    h.soft_yield = soft_yield;
    lua_State* L = lua_newstate(orbo_lua_alloc, &h);
    if (!L) return;
    // Unclosed-construct messages name the tab and line, not the joined line.
    G(L)->find_tab_line = tab_line_for_engine;
    add_c_functions(L);
    orbo_rt().L = L;
    orbo_rt().program = nullptr;
}

void close_lua_machine()
{
    orbo_runtime& rt = orbo_rt();
    if (orbo_cpu.L == rt.L || orbo_cpu.L == rt.program) orbo_cpu.L = nullptr;
    if (rt.L) lua_close(rt.L);
    rt.L = nullptr;
    rt.program = nullptr;
}

void reset_lua_machine()
{
    close_lua_machine();
    start_lua_machine();
}

long long orbo_script_memory()
{
    orbo_machine* c = orbo_live_machine();
    return c ? c->heap.base + c->heap.used : 0;
}

void orbo_new_machine()
{
    close_lua_machine();
    orbo_recreate_live_machine();
    orbo_machine* c = orbo_live_machine();
    orbo_audio_attach(c->cart, c->audio_mask);
}
