// The shell's side of the buttons: where they come from (configured keys,
// the controller index, Escape as pause, the menu's repeat), the frames the
// shell drives them itself, the key configuration overlay, recording.
#pragma once

// At start-up, after the options: fills the input link and starts the
// recording that -record asked for (choosing the seed every run then uses).
void orbo_wire_input();
// A frame in which the shell, not the program's loop, drives the buttons.
void orbo_shell_drive_buttons();
// Any button of any player held (leaves the splash).
bool orbo_any_button_held();
// The key configuration overlay: one frame, and its drawing.
void orbo_keyconfig_update();
void orbo_keyconfig_draw();
