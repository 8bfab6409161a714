#include "hardware/seams.h"

#include "hardware/console.h"

namespace {
void default_error(const char* message)
{
    orbo_last_runtime_error = message;
    orbo_runtime_errors++;
}
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
}  // namespace

orbo_spend_cpu_fn_t orbo_spend_cpu_fn = default_spend;
int64_t orbo_cpu_charged = 0;
int64_t orbo_cpu_charges = 0;
orbo_runtime_error_fn_t orbo_runtime_error_fn = default_error;
std::string orbo_last_runtime_error;
int orbo_runtime_errors = 0;
int orbo_reset_glitch = 0;

int64_t orbo_cpu_refunded = 0;
int64_t orbo_cpu_refunds = 0;

void orbo_spend_cpu(int32_t n) { orbo_spend_cpu_fn(n); }

orbo_spend_cpu_fn_t orbo_refund_cpu_fn = default_refund;

void orbo_refund_cpu(int32_t n) { orbo_refund_cpu_fn(n); }

void orbo_runtime_error(const char* message)
{
    if (orbo_reset_glitch > 0) return;
    orbo_runtime_error_fn(message);
}

int gpio_read(orbo_console* c, int pin) { return c && pin >= 0 && pin < 128 ? c->mem[0x5F80 + pin] : 0; }

void gpio_write(orbo_console* c, int pin, int value)
{
    if (c && pin >= 0 && pin < 128) c->mem[0x5F80 + pin] = uint8_t(value);
}

void gpio_open() {}
void gpio_close() {}

void orbo_reset_seam_counters()
{
    orbo_cpu_charged = 0;
    orbo_cpu_charges = 0;
    orbo_cpu_refunded = 0;
    orbo_cpu_refunds = 0;
    orbo_last_runtime_error.clear();
    orbo_runtime_errors = 0;
}
