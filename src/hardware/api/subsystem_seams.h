// What the bindings need from subsystems that are not built yet: the button
// tables and key configuration, the sound synthesiser and music player, the
// pause menu and the message bar. The bindings convert and check every
// argument and charge the CPU themselves; these seams receive the converted
// values. The defaults report the idle console (no button down, nothing
// playing, menu closed); the issue that builds a subsystem replaces the
// default bodies in subsystem_seams.cpp. Tests may point a field elsewhere
// and restore the defaults with orbo_reset_subsystem_seams.
#pragma once

struct orbo_subsystem_seams {
    // Buttons (players 0-7, buttons 0-7, both already in range).
    bool (*button_down)(int player, int button);     // `btn`
    bool (*button_pressed)(int player, int button);  // `btnp`
    void (*update_buttons)();                        // once per frame
    void (*block_buttons)();
    // Starts the key configuration screen; false while no screen exists
    // (the shell then stays where it is).
    bool (*keyconfig_init)();
    // The devkit mouse: position, button bits, wheel movement since the
    // last button read.
    int (*mouse_x)();
    int (*mouse_y)();
    int (*mouse_buttons)();
    int (*wheel_x)();
    int (*wheel_y)();

    // Music: fade in milliseconds; pattern already clamped to 0-63.
    void (*music_stop)(int fade_len);
    void (*music_play)(int pattern, int fade_len, int channel_mask);
    // Sound effects: channel -1 means every channel, 0-3 one channel;
    // n is 0-63, offset 0-31.
    void (*sfx_stop_channel)(int channel);
    void (*sfx_release_loop)(int channel);
    void (*sfx_stop_effect)(int n);  // wherever it plays
    void (*sfx_play)(int n, int channel, int offset, int length);
    // Channel 0-3: the effect its sfx voice (else its music voice) plays,
    // and the note index; -1 when idle.
    int (*channel_sfx)(int channel);
    int (*channel_note)(int channel);
    // The music player while music plays: current pattern, patterns
    // played; both 0 when silent. Ticks since the current pattern began.
    int (*music_pattern)();
    int (*music_patterns_played)();
    int (*music_ticks)();

    // Pause menu: checks the pause button (opens the menu); the program's
    // own pause flag.
    void (*update_paused_menu)();
    void (*set_program_paused)(int n);
    // A timed message on the message bar.
    void (*show_message)(const char* text, int ms);
};

extern orbo_subsystem_seams orbo_subsystems;
void orbo_reset_subsystem_seams();

// The program's pause flag as the default seam keeps it.
extern int orbo_program_paused;
