// Host keyboard state for the rest of the system: a 512-entry key table with
// press detection, repeat (500 ms, then every 80 ms) and blocking, and the
// queue of typed characters. Entry values: 0 up, 1 held, 3 pressed on this
// pass (a new press or a repeat). Entries 500/501 are the GUI keys, 502/503 a
// reserved pair. Negative queries name key groups (-6 Shift, -5 Ctrl or GUI,
// -4 Alt, -3 GUI, -2 the reserved pair).
#pragma once
#include <cstdint>

#include "platform/host.h"

extern uint8_t kilnkey[KILN_KEYS];

constexpr int KILN_KEY_QUEUE = 32;
constexpr uint32_t KILN_REPEAT_DELAY = 500;
constexpr uint32_t KILN_REPEAT_RATE = 80;

void kiln_keys_init();
// Names of scancodes 0..310, taken from the host at start and upper-cased;
// a name of 20 characters or more reads "?". Empty for other scancodes.
constexpr int KILN_KEY_NAMES = 311;
void kiln_build_key_names();
const char* kiln_get_key_name(int scancode);
int kiln_get_key_state(int key);
int kiln_get_any_key_down();
void kiln_block_key(int key);
bool kiln_key_blocked(int key);
// Typed keys: character codes, 13 Enter, 8 Backspace, 27 Escape, 9 Tab, -1 a
// key press without a character.
bool kiln_keypressed();
int kiln_readkey();
void kiln_clear_keys();  // drains the typed-key queue

// The per-pass step: sleep, keyboard sample, events (may end the process).
void kiln_handle_system_messages();

// Pieces of the per-pass step, driven directly by tests.
// Steps of one pass before the events: sample (0/1 per scancode) and mods.
void kiln_keys_sample(const uint8_t sample[KILN_KEYS], int mods, uint32_t now);
enum class kiln_key_action { NONE, TERMINATE };
// One event; *produced is set when it yielded a character.
kiln_key_action kiln_keys_event(const kiln_host_event& ev, uint32_t now, bool* produced);
// After the events: emulated text, and -1 when nothing was typed but a key is pressed.
void kiln_keys_end_pass(bool produced);
int kiln_mouse_wheel_x();
int kiln_mouse_wheel_y();
void kiln_reset_mouse_wheel();

// Mouse in back-page pixels; buttons bit 0 left, 1 right, 2 middle.
void kiln_get_mouse(int* x, int* y, int* buttons);
void kiln_set_mouse(int x, int y);
// Window position to back-page pixels through the destination rectangle.
void kiln_map_mouse(int mx, int my, kiln_rect dest, int bw, int bh, int* x, int* y);

// Clipboard.
char* kiln_get_clipboard_text();  // a copy the caller frees with free()
void kiln_set_clipboard_text(const char* text);
bool kiln_has_clipboard_text();
int kiln_save_clipboard_to_file(const char* path);
int kiln_load_clipboard_from_file(const char* path);
