// The sound chip: four channels, each with an sfx voice and a music voice,
// rendered as 22,050 Hz mono signed 16-bit samples. This header is the whole
// interface for the rest of the program; the library depends on nothing
// above the cartridge record and the platform settings, and never calls SDL.
//
// Threads: orbo_audio_render runs in the audio device's callback (or in the
// main thread for offline rendering). Every other function may be called
// from the main thread at any time; those that change or read voices take
// the counted audio lock themselves. The render call reads the pause state,
// the volumes, the fade level and the audio-effect registers without the
// lock, as relaxed 32-bit atomic loads.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct orbo_cart;
struct orbo_sfx;

// ---------------------------------------------------------------------------
// Set-up and output

// Clears every voice and the music player (fade level 0, no reserved
// channels, no pattern). For the device's start and for tests; the
// attachment below is kept.
void orbo_audio_reset();

// Attaches the live cartridge record (sfx, instruments and patterns of the
// sfx/music bindings; the synthesiser reads it live, so a poke changes a
// playing sound at its next tick) and the four audio-effect registers
// 0x5F40-0x5F43 (orbo_console::audio_mask; read with relaxed atomic loads).
// Either may be null. A record that is freed is dropped first (a release
// hook stops its voices and detaches it).
void orbo_audio_attach(orbo_cart* live_cart, const int32_t* audio_mask);
orbo_cart* orbo_audio_cart();

// Renders `samples` samples (any count; 0 or less does nothing) into out.
// Allocation-free; takes the audio lock once per block of up to 4,096
// samples. Silence, with no voice advancing, while audio is paused.
void orbo_audio_render(int16_t* out, int samples);
// The same with SDL's callback signature (len in bytes): pass it as
// SDL_AudioSpec::callback.
void orbo_mixer_callback(void* userdata, uint8_t* stream, int len);
// True while a render call runs.
bool orbo_audio_rendering();

// Samples per device buffer for a configured mix_buffer_size: 0 means no
// device is opened; values outside 512..8192 become 1024.
int orbo_audio_device_samples(int mix_buffer_size);
// Opens the host's audio device with the mixer as its callback (nothing in
// headless runs or without a device: the log says so once), and closes it.
void orbo_sound_device_open(int voices);
void orbo_sound_device_close();

// A WAV file of 22,050 Hz mono 16-bit PCM; false when it cannot be written.
bool orbo_write_wav(const char* path, const int16_t* samples, size_t count);
bool orbo_write_wav(const char* path, const std::vector<int16_t>& samples);
std::vector<uint8_t> orbo_wav_bytes(const int16_t* samples, size_t count);

// The millisecond clock of music fades (default kiln_ms_since_start). An
// offline renderer sets one that counts console frames (frame x 1000 / 30)
// so that fades are deterministic. Null restores the default.
void orbo_audio_set_clock(int (*now_ms)());

// ---------------------------------------------------------------------------
// The counted audio lock: a thread's first lock takes the mutex, nested
// locks of the same thread only count, the unlock that brings the count back
// to 0 releases it; an unlock by a thread that does not hold it is ignored.
// The render call takes it too (re-entrantly: a holder may render offline).
void orbo_lock_audio();
void orbo_unlock_audio();
bool orbo_try_lock_audio();  // false when another thread holds it
struct orbo_audio_lock {
    orbo_audio_lock() { orbo_lock_audio(); }
    ~orbo_audio_lock() { orbo_unlock_audio(); }
    orbo_audio_lock(const orbo_audio_lock&) = delete;
    orbo_audio_lock& operator=(const orbo_audio_lock&) = delete;
};

// ---------------------------------------------------------------------------
// Pause. The render call outputs silence while kiln_state.audio_pause is not
// 0 or while the platform pause flag is set.
void orbo_audio_set_platform_pause(bool paused);
// The next audio pause state from the previous one, once per host pass. With
// a program running (reg_5f2f = console memory 0x5F2F): menu open and reg 2
// give 0; else reg 1 gives 1; else 1 with the menu open and 0 with it closed,
// except that a previous 1..4 with the menu closed counts up by one. Without
// a program: 1..4 counts up, anything else becomes 0.
int orbo_audio_pause_next(int prev, bool program_running, int reg_5f2f, bool menu_open);
// determine_audio_pause_state: the same applied to kiln_state.audio_pause.
void orbo_audio_update_pause_state(bool program_running, int reg_5f2f, bool menu_open);

// ---------------------------------------------------------------------------
// What the sfx and music bindings call through the sound link
// (hardware/sound_link.h), with
// exactly their meanings and argument conventions, acting on the attached
// live cartridge record (nothing plays while none is attached).

void orbo_music_stop(int fade_len);                                 // music(-1, fade)
void orbo_music_play(int pattern, int fade_len, int channel_mask);  // music(n, fade, mask)
void orbo_sfx_stop_channel(int channel);  // sfx(-1, ch): -1 the four sfx voices, 0-3 one
void orbo_sfx_release_loop(int channel);  // sfx(-2, ch): 0-3; -1 releases nothing
void orbo_sfx_stop_effect(int n);         // effect n (0-63) stops on every voice
void orbo_sfx_play(int n, int channel, int offset, int length);
int orbo_channel_sfx(int channel);   // stat(16..19)
int orbo_channel_note(int channel);  // stat(20..23)
int orbo_music_pattern();            // stat(24)
int orbo_music_patterns_played();    // stat(25)
int orbo_music_ticks();              // stat(26)

// ---------------------------------------------------------------------------
// Voices for flows other than the bindings (boot chime, run and stop).

// Starts sfx (0-63) of cart at offset (notes, clamped to 0..31) for length
// notes (0 or negative: no limit) on voice 0..7 (taken whatever it plays)
// or channel -1 (the first free or least needed channel 0..3). Returns the
// voice or -1. With no sfx (out of range or no cart) it clears the voice,
// or with channel -1 the four sfx voices.
int orbo_play_sfx_ex(int sfx, int offset, int length, orbo_cart* cart, int channel);
// Starts the song of cart at pattern, fading in over fade_ms.
void orbo_play_song(orbo_cart* cart, int pattern, int fade_ms);
// Fades the music out over fade_ms and then stops it (at once for 0).
void orbo_cmusic_stop(int fade_ms);
// Stops at once the music voices playing cart's song.
void orbo_stop_song(orbo_cart* cart);
// Clears all eight voices (with orbo_cmusic_stop(0) when a program runs or
// stops and when the boot sequence starts).
void orbo_stop_all_sounds();
// Voice 0..7 stops honouring its loop; other numbers do nothing.
void orbo_release_looping_voice(int voice);
// Advances the music fade: once per host pass of the main loop, and once
// per console frame of an offline render.
void orbo_update_music_fading();
bool orbo_music_is_playing();
bool orbo_any_sound_is_playing();
bool orbo_sfx_is_playing(const orbo_sfx* sfx);
const orbo_sfx* orbo_voice_sfx(int voice);  // null when idle
// tick / speed of the first voice playing sfx, or -1.
int orbo_sfx_playing_note(const orbo_sfx* sfx);
// Ticks since the current pattern began (the most among music voices).
int orbo_song_ticks();
