// The capture keys and the messages that answer them: which keys start which
// capture, the texts and how long they show, and carrying out one capture.
#pragma once

#include "capture/capture_files.h"
#include "capture/video_clip.h"
#include "platform/bitmap.h"

// Flags, carried out in this order when several keys come in one update.
enum capture_action : unsigned {
    CAPTURE_NONE = 0,
    CAPTURE_SCREENSHOT = 1,   // F6 or F1, or Ctrl+6
    CAPTURE_RESET_VIDEO = 2,  // F8 or F3, or Ctrl+8
    CAPTURE_SAVE_GIF = 4,     // F9 or F4, or Ctrl+9
};
constexpr capture_action CAPTURE_ACTIONS[] = {CAPTURE_SCREENSHOT, CAPTURE_RESET_VIDEO, CAPTURE_SAVE_GIF};

// The actions the keys of this update ask for. key_state answers like
// kiln_get_key_state: 3 for a key pressed in this update, non-zero for -4
// (Alt held) and -5 (Ctrl held). Nothing while Alt is held or when Ctrl+0 is
// pressed.
unsigned capture_key_actions(int (*key_state)(int key));

enum capture_event : int {
    CAPTURE_SHOT_SAVED,
    CAPTURE_SHOT_FAILED,
    CAPTURE_VIDEO_RESET,
    CAPTURE_GIF_SAVED,
    CAPTURE_GIF_FAILED,
};

struct capture_message {
    capture_event event;
    const char* text;
    int ms;  // how long the message bar shows it
};

// Carries out one action on the ring and the screen bitmap (the capture copy
// of the back page) and returns the message to show; null for CAPTURE_NONE.
const capture_message* run_capture_action(capture_action action, video_clip& clip, const kiln_bitmap& screen,
                                          const capture_settings& settings);

// Capture messages alternate between colours 15 and 7, the first in 15, so
// that a repeated message is seen to change: the colour after previous.
int capture_message_colour(int previous);
