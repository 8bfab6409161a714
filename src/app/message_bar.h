// The message bar: one line at the bottom of the window for a while, sliding
// in and out, its colour alternating 15 and 7 with every new message so that
// a repeated message is seen to change.
#pragma once
#include <cstdint>

// Shows text for ms + 400 milliseconds (the slide in and out included).
void orbo_show_message(const char* text, int ms);
// The shell's standard messages (capture, mute) end exactly ms from now.
void orbo_show_standard_message(const char* text, int ms);
// Draws the bar on the back page while a message shows (after the capture
// copy, so captures never hold it).
void orbo_draw_message_bar();
