// Scripted buttons and their recording. The text format, one change per
// line: "N B..." holds exactly the buttons B (written P:B, player 0-7 and
// button 0-7) from console frame N on, until a later change; "N" alone
// releases everything; "#" starts a comment; "# seed N" names the seed of
// the console's random generator. Frame 1 is the first console frame of
// the first program run.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "hardware/buttons.h"

struct orbo_input_change {
    int64_t frame = 0;
    orbo_button_mask held = 0;
};

struct orbo_input_script {
    std::vector<orbo_input_change> changes;  // by frame; of one frame the last line wins
    int64_t seed = -1;                       // "# seed N", -1 when absent
};

// False with *error "line N: reason" on a malformed line.
bool orbo_parse_input_script(const std::string& text, orbo_input_script* out, std::string* error);
// "N P:B P:B ..." (just "N" when nothing is held).
std::string orbo_format_input_line(int64_t frame, orbo_button_mask held);

// Feeds the script to the buttons as a source beside the keys and pads.
void orbo_play_input_script(const orbo_input_script& script);
// Writes every change of the held buttons to path, after "# seed N".
// False when the file cannot be written.
bool orbo_start_recording(const std::string& path, uint32_t seed);
void orbo_stop_recording();

// Counts the console frames from the first program run on (called once
// after every console frame, paused ones included).
void orbo_input_frame_done();
// The console frame running now, 1 being the first of the first run.
int64_t orbo_input_frame();
