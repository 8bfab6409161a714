// The application's global records: `app` (shell settings and state) and
// `pstate` (runtime state shared with the runner). Both live for the whole
// process; kiln_main_init resets them to their defaults.
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
    // pause menu
    bool menu_open = false;
    int menu_items = 0;
    int menu_selected = 0;
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
    bool frame_rate_drop = false;
    int held_frame_counter = 0;
    bool frame_parity = false;
    int draw_ms = 0;
};

enum orbo_mode : int { MODE_CONSOLE = 0, MODE_RUNNING = 1, MODE_BOOT = 2, MODE_SPLASH = 3 };
enum orbo_action : int { ACTION_NONE = 0, ACTION_RUN = 1, ACTION_STOP = 2, ACTION_STOP_RESET = 4 };

struct orbo_pstate {
    int32_t frame_count = 0;
    int app_mode = MODE_CONSOLE;
    int view = 0;
    int overlay_screen = 0;
    int pending_action = ACTION_NONE;
    int program_flag = 0;
    int exec_mode = 0;
    int hold_frames = 0;
    // reset_glitch is orbo_reset_glitch (hardware/seams.h): the memory map reads it too.
    int mainloop_kind = 0;
    int hold = 0;
    int32_t time_frames = 0;   // the console frame counter `time` reads (counted at each button update)
    int drop_penalty = 0;      // the scheduler's slow-frame counter, 0..10 (`stat(10)`)
    std::string run_param;     // the current run's parameter (`stat(6)`), at most 1024 characters
    std::string pending_param; // the parameter handed to the next run
    // The console screen, cursor, pen and display palette are the live
    // console's (app/console.h); this is the screen after the display
    // palette and screen mode.
    kiln_bitmap_ptr display;
    std::string cart_root;     // with a trailing "/"
    std::string cdata_path;    // with a trailing "/"
    std::string current_dir;
    std::string cart_id;       // the running cartridge's board id (the file name is orbo_working().filename)
    // data file items
    kiln_pod_ptr data;         // "data.pod"
    kiln_pod_ptr resources;    // item 1: palette, logo, title, icon, animations
    kiln_pod_ptr font;         // item 2: the console font
};

extern orbo_app app;
extern orbo_pstate pstate;

void orbo_reset_records();
