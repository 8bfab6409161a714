// The pads, the key configuration screen and the devkit mouse as the
// hardware's bindings and the runtime reach them. Filled in at start-up by
// the code that reads them; the defaults are an idle console (no button
// down, mouse at 0, no configuration screen).
#pragma once

struct orbo_input_link {
    // Players 0-7, buttons 0-7, both already in range.
    bool (*button_down)(int player, int button);     // `btn`
    bool (*button_pressed)(int player, int button);  // `btnp`
    void (*read_buttons)();                          // samples keys and pads
    void (*update_buttons)();                        // once per frame
    void (*block_buttons)();                         // until released
    // Starts the key configuration screen; false when it cannot open (the
    // shell then stays where it is).
    bool (*keyconfig_init)();
    // The devkit mouse: position, button bits, wheel movement since the
    // last button read.
    int (*mouse_x)();
    int (*mouse_y)();
    int (*mouse_buttons)();
    int (*wheel_x)();
    int (*wheel_y)();
};

extern orbo_input_link orbo_input;
void orbo_reset_input_link();
