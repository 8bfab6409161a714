// Application start-up helpers shared with tests.
#pragma once
#include <cstdint>
#include <string>

// How the loop is driven, set before kiln_run and kept across start-up (the
// records are reset there). Tools run every pass as one console frame with
// no host pacing and quit after frame_limit console frames (0: no limit).
struct orbo_shell_options {
    bool unpaced = false;
    int64_t frame_limit = 0;
    int64_t frames_run = 0;  // console frames since start-up
};
extern orbo_shell_options orbo_shell;

// The pending action (run, stop, stop after an error) and its clearing.
void dispatch_pending_action();
// One console frame of a running program: held frames, keys, buttons for a
// program without the standard loop, the scheduler's slice, the drop flag.
void orbo_program_frame();

// Loads a PNG as the splash bitmap, mapped to the nearest display palette
// colours. False when the file is missing or not a PNG.
bool orbo_load_splash(const std::string& path);
