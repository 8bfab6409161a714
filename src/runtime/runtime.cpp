#include "runtime/runtime.h"

#include "engine/lua/baselib.h"
#include "engine/lua/cpu.h"
#include "engine/math/fixed.h"
#include "cart/working_cart.h"
#include "hardware/console.h"
#include "hardware/seams.h"
#include "platform/kiln.h"
#include "runtime/error_report.h"

namespace {
orbo_runtime g_rt;

// A cartridge record going away: the console never keeps a pointer to it.
// It normally holds the runtime's live copy; a console made before the
// first run holds the working cartridge, which a load replaces whole.
void on_cart_release(orbo_cart* cart)
{
    orbo_console* c = orbo_live_console();
    if (!c || c->cart != cart) return;
    orbo_cart* working = orbo_working().cart.get();
    c->cart = working != cart ? working : nullptr;
}
}  // namespace

orbo_runtime& orbo_rt() { return g_rt; }

uint32_t orbo_now_ms() { return kiln_host_get()->ticks(); }

orbo_console* orbo_rt_console() { return orbo_live_console(); }

void orbo_runtime_init()
{
    // Every charge reaches the engine's counters; spend_cpu ignores charges
    // while no program state is set, so the console can print before a run.
    orbo_spend_cpu_fn = spend_cpu;
    orbo_refund_cpu_fn = refund_cpu;
    fix_charge_fn = spend_cpu;
    orbo_runtime_error_fn = orbo_runtime_error_entry;
    orbo_assert_message_hook = orbo_assert_message;
    static bool hooked = false;
    if (!hooked) orbo_add_cart_release_hook(on_cart_release);
    hooked = true;
}
