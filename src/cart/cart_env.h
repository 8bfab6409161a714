// What cartridge storage needs from the rest of the console, as hooks the
// shell, the memory map and the runtime fill in at start. Every hook may be
// left null: printing then goes to the debug log, messages are dropped, and
// live memory reads 0 and drops writes.
#pragma once
#include <string>

struct orbo_cart_env {
    // One console line in a colour (the console prints and wraps it).
    void (*print)(const char* text, int colour) = nullptr;
    // A timed message on the message bar.
    void (*show_message)(const char* text, int ms) = nullptr;
    // Console frames during which the running program is not resumed.
    void (*set_hold_frames)(int frames) = nullptr;
    // Live console memory, as the memory map reads and writes it.
    int (*live_peek)(int addr) = nullptr;
    void (*live_poke)(int addr, int value) = nullptr;
    // The root folder of user data, ending in '/' (empty: the working directory).
    std::string root;
};

orbo_cart_env& orbo_cart_env_get();

// Through the hooks above, with the defaults described there.
void orbo_cart_print(const char* text, int colour);
void orbo_cart_printf(int colour, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void orbo_cart_message(const char* text, int ms);
void orbo_cart_hold(int frames);
std::string orbo_cart_root_path(const std::string& relative);

// Set when a text read stops on a future version, cleared when one starts.
extern bool orbo_future_version;
