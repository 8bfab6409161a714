// One console frame of a running program through the scheduler, as the
// shell runs it: garbage collection between slices, the resumption under
// the count hook, and the frame's end. The busy program spends its whole
// budget every frame (30 frames per second: 139810 cycles); the drawing
// program ends each frame with flip after heavy drawing.
#include <benchmark/benchmark.h>

#include <string>

#include "hardware/console.h"
#include "app/shell.h"
#include "app/state.h"
#include "runtime/pstate.h"
#include "cart/working_cart.h"
#include "platform/log.h"
#include "runtime/lua_machine.h"
#include "runtime/runner.h"
#include "runtime/runtime.h"
#include "runtime/scheduler.h"

namespace {
const char* k_busy = "function _update() end\nfunction _draw() local x=0 while true do x+=1 end end\n";
const char* k_drawing =
    "t=0\nfunction _update() t+=1 end\n"
    "function _draw()\n cls()\n for i=0,200 do\n  circfill((i*37+t)%128, (i*53)%128, 6, i%16)\n"
    "  line(0, i%128, 127, (i*7+t)%128, (i+t)%16)\n end\n"
    " for y=0,15 do for x=0,15 do spr(x+y*16, x*8, y*8) end end\nend\n";

void run_frames(benchmark::State& state, const char* code)
{
    kiln_log_set_stdout(false);
    orbo_reset_records();
    orbo_runtime_init();
    orbo_new_machine();
    orbo_working().cart->code = code;
    orbo_split_working_tabs();
    orbo_working().tabs.current = 0;
    app.host_framerate_control = 0;
    pstate.pending_action = ACTION_RUN;
    dispatch_pending_action();
    for (auto _ : state) orbo_program_frame();
    close_lua_machine();
}
}  // namespace

static void BM_FrameWholeBudget(benchmark::State& state) { run_frames(state, k_busy); }
BENCHMARK(BM_FrameWholeBudget)->Unit(benchmark::kMillisecond);

static void BM_FrameDrawing(benchmark::State& state) { run_frames(state, k_drawing); }
BENCHMARK(BM_FrameDrawing)->Unit(benchmark::kMillisecond);
