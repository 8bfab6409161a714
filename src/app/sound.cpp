#include "app/sound.h"

#include <cstdio>

#include "audio/audio.h"
#include "cart/cart_text.h"
#include "hardware/sound_link.h"
#include "platform/sound.h"

namespace {
orbo_cart_ptr g_boot_cart;

void music_stop_now() { orbo_cmusic_stop(0); }
}  // namespace

void orbo_wire_sound()
{
    orbo_sound = {orbo_music_stop,       orbo_music_play,      orbo_sfx_stop_channel, orbo_sfx_release_loop,
                  orbo_sfx_stop_effect,  orbo_sfx_play,        orbo_channel_sfx,      orbo_channel_note,
                  orbo_music_pattern,    orbo_music_patterns_played, orbo_music_ticks};
    kiln_sound = {orbo_sound_device_open, orbo_sound_device_close, music_stop_now, orbo_update_music_fading};
}

void orbo_keep_boot_cart(const uint8_t* bytes, size_t len)
{
    g_boot_cart.reset();
    if (!bytes || len == 0) return;
    FILE* f = fmemopen(const_cast<uint8_t*>(bytes), len, "rb");
    if (!f) return;
    g_boot_cart = orbo_load_cart_from_file(f);
    fclose(f);
}

void orbo_play_boot_chime()
{
    if (g_boot_cart) orbo_play_sfx_ex(0, 0, 0, g_boot_cart.get(), -1);
}
