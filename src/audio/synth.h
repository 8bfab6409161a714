// The synthesiser and the voice records `ms0` shared by the sequencer and
// the mixer. Internal to src/audio/ and its tests (the program goes through
// audio/audio.h).
//
// Integer arithmetic only. Every cartridge field is read once per use
// through a relaxed atomic load (the main thread may poke it at any time)
// and reduced to what console memory can hold: pitch 0..63; waveform,
// volume and effect 0..7; speed, loop points as bytes. So no value poked
// into a playing record can index outside a table or overflow.
#pragma once
#include <cstdint>

#include "cart/cart.h"

constexpr int ORBO_AUDIO_RATE = 22050;  // samples per second
constexpr int ORBO_TICK = 183;          // samples per tick
constexpr int ORBO_XFADE = 64;          // samples cross-faded at the start of every tick
constexpr int ORBO_MIX_MAX = 4096;      // samples one voice renders per block at most
constexpr int ORBO_ECHO_SLOTS = 8;      // earlier ticks kept for the echo
constexpr int ORBO_VOICES = 8;          // 0-3 sfx voices of channels 0-3, 4-7 their music voices

// Frequencies in Hz of C to the next C, one octave.
extern const int32_t note_dx[13];

// One tick's oscillator settings with the running phase, noise and phaser.
struct osc_state {
    int32_t waveform = 0;      // 0..7
    int32_t phase = 0;         // 0..65535, one period
    int32_t dx = 0;            // phase step per sample
    int32_t phaser_phase = 0;  // the phaser's second phase, a wrapping 32-bit sum
    int32_t noise = 0;
    int32_t noise_toggle = 0;  // 0 or 1
    int32_t amplitude = 0;     // volume x 256 after effects, 0..1792
    int32_t pitch16 = 0;       // 16.16 pitch
    int32_t pitch = 0;         // integer pitch (noise)
    int32_t noise_volume = 0;  // volume (noise)
    // The note's fields as last set (the next note's slide and instrument).
    int32_t raw_volume = 0;
    int32_t raw_pitch = 0;
    int32_t raw_waveform = 0;
};

// One voice. cart and sfx name the effect played (sfx -1: idle).
struct mix_channel {
    int16_t out[ORBO_MIX_MAX] = {};  // this block's output
    orbo_cart* cart = nullptr;
    int32_t sfx = -1;
    int32_t tick = 0;     // ticks since the start of the sfx
    int32_t looping = 0;  // 1 while loop points are honoured
    int32_t index = 0;    // channel 0..3
    int16_t tick_buffer[ORBO_TICK] = {};
    int16_t echo_history[ORBO_ECHO_SLOTS][ORBO_TICK] = {};
    int32_t echo_slot = 0;
    int32_t tick_pos = ORBO_TICK;  // samples of tick_buffer handed out
    int32_t is_music = 0;
    int32_t pattern = -1;  // music voices: the pattern played
    osc_state osc;
    int32_t prev_pitch = 0, prev_waveform = 0, prev_volume = 0;
    int32_t inst_prev_pitch = 0, inst_prev_waveform = 0, inst_prev_volume = 0;
    int32_t inst_tick = 0;
    int32_t remaining = -1;  // ticks left; negative: no limit
    // Half-rate playback: the second copy of slow_sample is still owed to
    // the next block.
    int32_t slow_owed = 0;
    int16_t slow_sample = 0;
};

extern mix_channel ms0[ORBO_VOICES];

// A note's fields as console memory holds them.
struct synth_note {
    int32_t pitch, waveform, volume, effect;
    bool instrument;
};
synth_note synth_read_note(const orbo_note& n);
int32_t synth_load(const int32_t& field);  // a relaxed atomic load
int32_t synth_speed(const orbo_sfx& s);    // max(speed, 1), at most 255
int32_t synth_loop_start(const orbo_sfx& s);
int32_t synth_loop_end(const orbo_sfx& s);

// dx of an integer note (unclamped) and of a 16.16 pitch (8..32768).
int32_t get_dx_for_note(int32_t note);
int32_t get_dx_for_note_fine(int32_t pitch16);

// count samples of one oscillator; advances its phase, noise and phaser.
// An amplitude of 0 gives silence and phase 0.
void mix_osc_tick(osc_state& osc, int16_t* out, int count);
// The settings of the voice's current tick (the voice has an sfx).
void calculate_osc_state(mix_channel& ch, osc_state& osc);
// An instrument note on top of the outer note's settings.
void apply_meta_instrument(mix_channel& ch, const synth_note& note, osc_state& osc);
// One tick of 183 samples: advances, loops and stops the voice, and ends
// the pattern of a music voice whose ticks run out.
void mix_sfx_tick(mix_channel& ch, int16_t* out);

// Stops a voice: no cart, no sfx, not music, not looping. The oscillator
// sounds on into the next tick, which fades it out.
void synth_clear_voice(mix_channel& ch);

// Whether a voice's sfx keeps it alive past its last sounding note: the
// same test as the loop wrap, `looping` is 1 and loop_start < loop_end. A
// released loop therefore no longer keeps the voice.
bool synth_counts_as_looping(const mix_channel& ch, const orbo_sfx& s);

// The music scaling: the fade level (0..0x10000) and the music volume
// (0..256), read without the lock.
int32_t synth_music_fade();
int32_t synth_music_volume();
int32_t synth_music_scale(int32_t amplitude);
