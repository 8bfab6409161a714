#include "hardware/runtime_link.h"

#include "hardware/machine.h"

int64_t orbo_cpu_charged = 0;
int64_t orbo_cpu_charges = 0;
int64_t orbo_cpu_refunded = 0;
int64_t orbo_cpu_refunds = 0;
std::string orbo_last_runtime_error;
int orbo_runtime_errors = 0;

namespace {
void default_spend(int32_t n)
{
    orbo_cpu_charged += n;
    orbo_cpu_charges++;
}
void default_refund(int32_t n)
{
    orbo_cpu_refunded += n;
    orbo_cpu_refunds++;
}
void default_error(const char* message)
{
    orbo_last_runtime_error = message;
    orbo_runtime_errors++;
}
bool no_program() { return false; }
const std::string& no_cart_id()
{
    static const std::string none;
    return none;
}
bool to_screen() { return false; }

constexpr orbo_runtime_link k_defaults = {default_spend, default_refund, default_error,
                                          no_program,    no_cart_id,     to_screen};
}  // namespace

orbo_runtime_link orbo_runtime_hooks = k_defaults;

void orbo_spend_cpu(int32_t n) { orbo_runtime_hooks.spend_cpu(n); }
void orbo_refund_cpu(int32_t n) { orbo_runtime_hooks.refund_cpu(n); }

void orbo_runtime_error(const char* message)
{
    if (orbo_reset_glitch > 0) return;
    orbo_runtime_hooks.runtime_error(message);
}

void orbo_reset_runtime_hooks()
{
    orbo_runtime_hooks = k_defaults;
    orbo_cpu_charged = orbo_cpu_charges = 0;
    orbo_cpu_refunded = orbo_cpu_refunds = 0;
    orbo_last_runtime_error.clear();
    orbo_runtime_errors = 0;
}
