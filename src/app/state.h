// The application's global records: `app` (the shell's settings and the
// state of its loop) and `shell` (its folder, display and data file). Both
// live for the whole process; start-up resets them to their defaults.
#pragma once
#include <cstdint>
#include <string>

#include "app/frame_clock.h"
#include "platform/bitmap.h"
#include "platform/keys.h"
#include "platform/pod.h"

constexpr int ORBO_BUTTON_KEYS = 13;  // player 0 buttons 0..5, player 1 0..5, pause

struct orbo_app {
    std::string auto_load_fn;   // the cartridge named on the command line
    std::string root_path;      // configured cartridge folder ("" = carts/ under the root)
    std::string cdata_path;     // configured cartridge-data folder ("" = cdata/)
    bool cart_loaded = false;
    bool run_requested = false;
    int joystick_index = 0;
    int gif_len = 8;
    int screenshot_scale = 3;
    int gif_scale = 2;
    int gui_theme = 0;
    int gpio_base = -1;
    int shift_glyphs = 1;
    int show_backup_messages = 1;
    int host_framerate_control = 1;
    int button_keys[ORBO_BUTTON_KEYS] = {};
    int live_notes = 0;
    int cursor_snap = 0;
    int keyboard_cursor = 0;
    std::string run_parameter;  // -p, at most 1024 characters
    std::string record_path;    // -record: the buttons of every frame played go here
    // message bar
    char message[256] = {};
    uint32_t message_start = 0, message_end = 0;
    int message_col = 0;
    orbo_frame_clock frame_accumulator;  // 16.16 console frames owed, host clock
    uint32_t last_quick_load = 0;
    int glitch_test = 0;            // start value from -glitch_test
    int glitch_frames = 0;
    int glitch_shots = 0;
    kiln_bitmap_ptr video_capture;  // the back page without the message bar
    kiln_bitmap_ptr splash;
    uint8_t saved_keys[KILN_KEYS] = {};
    bool restore_keys = false;
    int held_frame_counter = 0;
    bool frame_parity = false;
};

// The shell's own state beside its settings: the current folder, the
// display bitmap and the data file's items.
struct orbo_shell_state {
    std::string current_dir;
    kiln_bitmap_ptr display;   // the screen after the display palette and screen mode
    kiln_pod_ptr data;         // "data.pod"
    kiln_pod_ptr resources;    // item 1: palette, logo, title, icon, animations
    kiln_pod_ptr font;         // item 2: the console font
};

extern orbo_app app;
extern orbo_shell_state shell;

// Resets app, shell and the runtime's pstate to their defaults.
void orbo_reset_records();
