// The idle defaults of the sound and input links.
#include "hardware/input_link.h"
#include "hardware/sound_link.h"

namespace {
bool no_button(int, int) { return false; }
void nothing() {}
bool no_keyconfig() { return false; }
int zero() { return 0; }
void no_fade(int) {}
void no_music(int, int, int) {}
void no_sfx(int, int, int, int) {}
int idle_channel(int) { return -1; }

constexpr orbo_sound_link k_silent = {no_fade, no_music, no_fade, no_fade, no_fade, no_sfx,
                                      idle_channel, idle_channel, zero, zero, zero};
constexpr orbo_input_link k_idle = {no_button, no_button, nothing, nothing, nothing, no_keyconfig,
                                    zero, zero, zero, zero, zero};
}  // namespace

orbo_sound_link orbo_sound = k_silent;
orbo_input_link orbo_input = k_idle;

void orbo_reset_sound_link() { orbo_sound = k_silent; }
void orbo_reset_input_link() { orbo_input = k_idle; }

void orbo_stop_all_sound()
{
    orbo_sound.music_stop(0);
    orbo_sound.sfx_stop_channel(-1);
}
