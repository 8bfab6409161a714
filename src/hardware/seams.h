// What the hardware needs from the script engine and the runtime, as seams
// the runtime fills in at start. The defaults keep plain counters so that
// the hardware runs and is testable on its own.
#pragma once
#include <cstdint>
#include <string>

// CPU charges of the drawing primitives and memory operations: `spend_cpu`.
using orbo_spend_cpu_fn_t = void (*)(int32_t n);
extern orbo_spend_cpu_fn_t orbo_spend_cpu_fn;
// The default seam adds every charge here (the n as given, before the
// engine's minimum of 1) and counts the calls.
extern int64_t orbo_cpu_charged;
extern int64_t orbo_cpu_charges;
void orbo_spend_cpu(int32_t n);
// Refunds of the bindings (`refund_cpu`: a negative n gives cycles back).
// The runtime points this seam at the engine's refund_cpu when it points the
// spend seam at spend_cpu; the default sums them in orbo_cpu_refunded (as
// given, so negative) and counts them.
extern orbo_spend_cpu_fn_t orbo_refund_cpu_fn;
void orbo_refund_cpu(int32_t n);
extern int64_t orbo_cpu_refunded;
extern int64_t orbo_cpu_refunds;

// The runtime error entry; the default records the message and counts.
using orbo_runtime_error_fn_t = void (*)(const char* message);
extern orbo_runtime_error_fn_t orbo_runtime_error_fn;
extern std::string orbo_last_runtime_error;
extern int orbo_runtime_errors;
void orbo_runtime_error(const char* message);

// The console's reset state: 0 normal; above 0 while a reset runs, counting
// its frames. Stops and errors are frozen and cartridge-data writes dropped.
extern int orbo_reset_glitch;

// GPIO pins: 128 plain bytes of shadow memory in this console.
struct orbo_console;
int gpio_read(orbo_console* c, int pin);
void gpio_write(orbo_console* c, int pin, int value);
void gpio_open();
void gpio_close();

// Resets the default counters (tests, program start).
void orbo_reset_seam_counters();
