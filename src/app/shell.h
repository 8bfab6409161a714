// The shell: the application the framework runs (start-up, the update and
// draw of every host pass, exit), and its helpers shared with tests.
#pragma once
#include <cstdint>
#include <string>

#include "platform/kiln.h"

// How the loop is driven, set before kiln_run and kept across start-up (the
// records are reset there). Tools run every pass as one console frame with
// no host pacing and quit after frame_limit console frames (0: no limit).
struct orbo_shell_options {
    bool unpaced = false;
    int64_t frame_limit = 0;
    int64_t frames_run = 0;  // console frames since start-up
    // Called after each pass's draw (tools collect frames and sound here).
    void (*after_pass)() = nullptr;
};
extern orbo_shell_options orbo_shell;


// Loads a PNG as the splash bitmap, mapped to the nearest display palette
// colours. False when the file is missing or not a PNG.
bool orbo_load_splash(const std::string& path);

// The framework's hooks: orbo_main_init, orbo_main_update, orbo_main_draw,
// orbo_main_exit. orbo_main_init also wires the layers below to each other
// (the runtime's hooks, the bindings above the hardware, cartridge storage).
void orbo_main_init();
void orbo_main_update();
void orbo_main_draw();
void orbo_main_exit();
extern const kiln_app orbo_shell_app;
