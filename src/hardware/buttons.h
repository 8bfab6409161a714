// The console's pads: 8 players x 8 buttons (0 left, 1 right, 2 up, 3 down,
// 4 O, 5 X, 6 pause, 7 unassigned), entry index player * 8 + button.
// Sampling (read_buttons) turns keys, controllers and an optional scripted
// source into `down`; update_buttons derives `pressed` (a new press or an
// auto-repeat) once per frame from one repeat timer shared by all buttons.
#pragma once
#include <cstdint>

constexpr int ORBO_PLAYERS = 8;
constexpr int ORBO_PAD_BUTTONS = 8;
constexpr int ORBO_BUTTON_COUNT = ORBO_PLAYERS * ORBO_PAD_BUTTONS;
constexpr int ORBO_CUSTOM_KEYS = 13;  // player 0 buttons 0..5, player 1 0..5, player 0 pause

// Every entry 0 or 1.
struct orbo_button_tables {
    uint8_t down[ORBO_BUTTON_COUNT] = {};      // held and not blocked: `btn`
    uint8_t previous[ORBO_BUTTON_COUNT] = {};  // `down` at the previous update
    uint8_t blocked[ORBO_BUTTON_COUNT] = {};   // ignored until released
    uint8_t pressed[ORBO_BUTTON_COUNT] = {};   // new press or repeat: `btnp`
    int repeat_timer = 0;                      // shared by every button
    int wheel_x = 0, wheel_y = 0;              // wheel movement at the last read
};
orbo_button_tables& orbo_buttons();

// Bit 8p + b of a mask stands for player p's button b.
using orbo_button_mask = uint64_t;
constexpr orbo_button_mask orbo_button_bit(int player, int button)
{
    return orbo_button_mask(1) << (player * ORBO_PAD_BUTTONS + button);
}

// Where the buttons come from, set by the shell at start-up. keys points at
// the 13 configured scancodes (0: the default keys); joystick_index is the
// player whose pad is controller 0. While random_input is above 0 buttons
// 0-5 of every player read as random. script, when set, names buttons held
// in this frame beside the keys and pads; observe, when set, receives each
// sample of held buttons (before blocking) for recording.
struct orbo_button_sources {
    int* keys = nullptr;  // written by the key configuration screen
    const int* joystick_index = nullptr;
    int random_input = 0;
    orbo_button_mask (*script)() = nullptr;
    void (*observe)(orbo_button_mask held) = nullptr;
    // Escape is player 0's pause while a program runs with the menu closed.
    bool (*escape_pauses)() = nullptr;
    // The framework's pause flag or the pause menu: shorter repeat delays.
    bool (*menu_active)() = nullptr;
};
extern orbo_button_sources orbo_button_config;

// The value (0..255) of each button of player p's controller: directions
// from the stick beyond the dead zone, else the d-pad; buttons 255.
void orbo_pad_values(int player, uint8_t value[ORBO_PAD_BUTTONS]);
// The buttons held now by keys, controllers and the scripted source.
orbo_button_mask orbo_sample_held();

void read_buttons();
void update_buttons();
void block_buttons();
void clear_buttons();
// For menus: `down`, but 0 while held since the previous update unless the
// repeat timer is at 1; 0 outside the table.
int button_pressed(int b, int p);

// Points the input link's button entries at these tables.
void orbo_install_buttons();

// The default key of custom-key slot 0..12 as the configuration screen
// names it ("left", ..., "p"); "" outside.
const char* orbo_default_key_name(int slot);

// The whole input link: buttons, the key configuration screen, the mouse.
void orbo_install_input();
