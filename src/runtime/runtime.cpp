#include "runtime/runtime.h"

#include "engine/lua/baselib.h"
#include "engine/lua/cpu.h"
#include "engine/math/fixed.h"
#include "hardware/console.h"
#include "hardware/seams.h"
#include "platform/kiln.h"
#include "runtime/error_report.h"

namespace {
orbo_runtime g_rt;
}

orbo_runtime& orbo_rt() { return g_rt; }

uint32_t orbo_now_ms() { return kiln_host_get()->ticks(); }

orbo_console* orbo_rt_console() { return orbo_live_console(); }

void orbo_runtime_init()
{
    // Every charge reaches the engine's counters; spend_cpu ignores charges
    // while no program state is set, so the console can print before a run.
    orbo_spend_cpu_fn = spend_cpu;
    fix_charge_fn = spend_cpu;
    orbo_runtime_error_fn = orbo_runtime_error_entry;
    orbo_assert_message_hook = orbo_assert_message;
}
