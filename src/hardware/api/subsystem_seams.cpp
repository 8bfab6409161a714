#include "hardware/api/subsystem_seams.h"

#include "cart/cart_env.h"

int orbo_program_paused = 0;

namespace {
bool no_button(int, int) { return false; }
void nothing() {}
bool no_keyconfig() { return false; }
int zero() { return 0; }
void no_fade(int) {}
void no_music(int, int, int) {}
void no_sfx(int, int, int, int) {}
int idle_channel(int) { return -1; }
void keep_paused(int n) { orbo_program_paused = n; }
// Messages go to the shell's message bar through the seam it fills for
// cartridge storage.
void message(const char* text, int ms) { orbo_cart_message(text, ms); }

orbo_subsystem_seams defaults()
{
    orbo_subsystem_seams s;
    s.button_down = no_button;
    s.button_pressed = no_button;
    s.update_buttons = nothing;
    s.block_buttons = nothing;
    s.keyconfig_init = no_keyconfig;
    s.mouse_x = s.mouse_y = s.mouse_buttons = s.wheel_x = s.wheel_y = zero;
    s.music_stop = no_fade;
    s.music_play = no_music;
    s.sfx_stop_channel = no_fade;
    s.sfx_release_loop = no_fade;
    s.sfx_stop_effect = no_fade;
    s.sfx_play = no_sfx;
    s.channel_sfx = idle_channel;
    s.channel_note = idle_channel;
    s.music_pattern = s.music_patterns_played = s.music_ticks = zero;
    s.update_paused_menu = nothing;
    s.set_program_paused = keep_paused;
    s.show_message = message;
    return s;
}
}  // namespace

orbo_subsystem_seams orbo_subsystems = defaults();

void orbo_reset_subsystem_seams()
{
    orbo_subsystems = defaults();
    orbo_program_paused = 0;
}
