// The sound chip as the hardware's bindings reach it. The sound layer above
// fills orbo_sound in at start-up; the defaults are a silent chip (nothing
// plays, every channel idle). The bindings settle every argument rule and
// charge the CPU themselves; these receive checked values.
#pragma once

struct orbo_sound_link {
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
    // While music plays: current pattern, patterns played, ticks since the
    // current pattern began; 0 when silent.
    int (*music_pattern)();
    int (*music_patterns_played)();
    int (*music_ticks)();
};

extern orbo_sound_link orbo_sound;
void orbo_reset_sound_link();

// Stops every sound effect and the music at once (program start and stop).
void orbo_stop_all_sound();
