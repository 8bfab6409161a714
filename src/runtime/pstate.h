// The runtime's record `pstate`: the mode the console is in, the action
// pending for the next update, the program's flags and frame counters, and
// the run parameter. It lives for the whole process; the shell reads and
// sets the mode and the pending action, the runtime everything else.
#pragma once
#include <cstdint>
#include <string>

enum orbo_mode : int { MODE_CONSOLE = 0, MODE_RUNNING = 1, MODE_BOOT = 2, MODE_SPLASH = 3 };
enum orbo_action : int { ACTION_NONE = 0, ACTION_RUN = 1, ACTION_STOP = 2, ACTION_STOP_RESET = 4 };

struct orbo_pstate {
    int32_t frame_count = 0;
    orbo_mode app_mode = MODE_CONSOLE;
    int view = 0;
    int overlay_screen = 0;    // 1: the key configuration screen
    orbo_action pending_action = ACTION_NONE;
    int program_flag = 0;      // a whole program (not a short command) runs
    int exec_mode = 0;         // -x: no window, console lines on standard output
    int hold_frames = 0;
    int mainloop_kind = 0;
    int hold = 0;
    int32_t time_frames = 0;   // the console frame counter `time` reads (counted at each button update)
    int drop_penalty = 0;      // the scheduler's slow-frame counter, 0..10 (`stat(10)`)
    std::string run_param;     // the current run's parameter (`stat(6)`), at most 1024 characters
    std::string pending_param; // the parameter handed to the next run
    std::string cart_root;     // with a trailing "/"
    // The scheduler's view of the host: the frame-rate drop flag, the last
    // draw's milliseconds, and whether the host may lower the frame rate.
    bool frame_rate_drop = false;
    int draw_ms = 0;
    int host_framerate_control = 1;
    // Every run seeds the console's random generator with this value when
    // it is 0 or more, else with the clock.
    int64_t run_seed = -1;
};

extern orbo_pstate pstate;
// pstate and the reset state back to their defaults.
void orbo_reset_pstate();

// A whole program runs (the cartridge-data and devkit rules ask this).
inline bool orbo_program_running() { return pstate.app_mode == MODE_RUNNING && pstate.program_flag; }
