#include "runtime/runtime.h"

#include "engine/lua/baselib.h"
#include "engine/lua/cpu.h"
#include "engine/math/fixed.h"
#include "cart/working_cart.h"
#include "hardware/machine.h"
#include "hardware/runtime_link.h"
#include "platform/kiln.h"
#include "runtime/error_report.h"
#include "runtime/pstate.h"
#include "runtime/runtime_api.h"

namespace {
orbo_runtime g_rt;

// A cartridge record going away: the console never keeps a pointer to it.
// It normally holds the runtime's live copy; a console made before the
// first run holds the working cartridge, which a load replaces whole.
void on_cart_release(orbo_cart* cart)
{
    orbo_machine* c = orbo_live_machine();
    if (!c || c->cart != cart) return;
    orbo_cart* working = orbo_working().cart.get();
    c->cart = working != cart ? working : nullptr;
}

const std::string& running_cart_id() { return g_rt.cart_id; }

// In exec mode the console's lines go to standard output while no program runs.
bool console_to_stdout() { return pstate.exec_mode && pstate.app_mode != MODE_RUNNING; }
}  // namespace

orbo_runtime& orbo_rt() { return g_rt; }

uint32_t orbo_now_ms() { return kiln_host_get()->ticks(); }

void orbo_runtime_init()
{
    // Every charge reaches the engine's counters; spend_cpu ignores charges
    // while no program state is set, so the console can print before a run.
    orbo_runtime_hooks = {spend_cpu, refund_cpu, orbo_runtime_error_entry, orbo_program_running, running_cart_id,
                          console_to_stdout};
    fix_charge_fn = spend_cpu;
    orbo_bind_runtime_api();
    orbo_assert_message_hook = orbo_assert_message;
    static bool hooked = false;
    if (!hooked) orbo_add_cart_release_hook(on_cart_release);
    hooked = true;
}
