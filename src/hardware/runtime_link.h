// What the hardware needs from the runtime above it: CPU charges, the
// runtime error entry, and whether a program runs. The runtime fills
// orbo_runtime_hooks in at start-up (orbo_runtime_init). The defaults keep
// plain counters and answer "no program", so the hardware runs and is
// testable on its own.
#pragma once
#include <cstdint>
#include <string>

struct orbo_runtime_link {
    // `spend_cpu`: charges of the drawing primitives and memory operations.
    void (*spend_cpu)(int32_t n);
    // `refund_cpu`: a negative n gives cycles back.
    void (*refund_cpu)(int32_t n);
    // Records an error that stops the program at its next check.
    void (*runtime_error)(const char* message);
    // A program runs (not merely loaded or stopped).
    bool (*program_running)();
    // The running cartridge's board id ("" unless loaded from the board folder).
    const std::string& (*cart_id)();
    // Console lines go to standard output instead of the screen (exec mode
    // while no program runs).
    bool (*console_to_stdout)();
};

extern orbo_runtime_link orbo_runtime_hooks;

// Through the hooks. orbo_runtime_error drops errors while a reset runs.
void orbo_spend_cpu(int32_t n);
void orbo_refund_cpu(int32_t n);
void orbo_runtime_error(const char* message);

// What the default hooks count: every charge (the n as given, before the
// engine's minimum of 1), every refund (as given, so negative), and the
// last error.
extern int64_t orbo_cpu_charged;
extern int64_t orbo_cpu_charges;
extern int64_t orbo_cpu_refunded;
extern int64_t orbo_cpu_refunds;
extern std::string orbo_last_runtime_error;
extern int orbo_runtime_errors;

// Restores the default hooks and zeroes their counters.
void orbo_reset_runtime_hooks();
