// The music sequencer's internals shared with the synthesiser and the
// mixer. The public calls are in audio/audio.h.
#pragma once
#include <cstdint>

#include "audio/synth.h"

// A music voice's pattern ended (its remaining ticks reached 0): loop,
// stop or move on. Runs in the render call, under the audio lock.
void music_pattern_end(mix_channel& ch);
// True once after a pattern advanced since the last call.
bool music_take_advance();
// patterns_played += 1 (once per callback in which a pattern advanced).
void music_count_pattern();
// The reserved-channel mask set by `music` (4 bits).
int32_t music_reserved_mask();
// Ticks of pattern p of cart: the first enabled non-looping channel's
// length, else the longest enabled channel (0 when none is enabled).
int32_t music_pattern_length(const orbo_cart& cart, int32_t p);
// Channel k of pattern p as an sfx number 0..63, or -1 when disabled.
int32_t music_channel(const orbo_cart& cart, int32_t p, int32_t k);
// Flags of pattern p (bits 0-2).
int32_t music_flags(const orbo_cart& cart, int32_t p);
// Clears the player state (fade level 0, no pattern, no mask).
void music_reset();
// Milliseconds of the fade clock.
int music_now();
