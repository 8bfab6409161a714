// Mute and the audio pause state the mixer reads.
#pragma once

// Sound and music volume both to 0 ("sound off") or both to 256 ("sound on").
void toggle_mute();
// Ctrl+M, once per press.
void orbo_mute_keys();
// Once per pass: whether the mixer outputs silence (0 sound; 1..5 silence,
// counting up to 5 after an unpause so a few passes stay silent).
void determine_audio_pause_state();
void orbo_update_audio_pause();
