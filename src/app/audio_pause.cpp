#include "app/audio_pause.h"

#include "app/message_bar.h"
#include "audio/audio.h"
#include "hardware/machine.h"
#include "hardware/mem.h"
#include "platform/config.h"
#include "platform/keys.h"
#include "platform/kiln.h"
#include "runtime/pause_state.h"
#include "runtime/pstate.h"

namespace {
constexpr int k_full_volume = 256;
constexpr int k_mute_message_ms = 1400;
constexpr int k_sc_m = 16;
constexpr int k_pause_audio_addr = 0x5F2F;  // 1: silence; 2: sound under the menu

}  // namespace

void toggle_mute()
{
    int v = cconfig.sound_volume != 0 ? 0 : k_full_volume;
    cconfig.sound_volume = v;
    cconfig.music_volume = v;
    orbo_show_standard_message(v ? "sound on" : "sound off", k_mute_message_ms);
}

void orbo_mute_keys()
{
    bool ctrl = kilnkey[KILN_SC_LCTRL] || kilnkey[KILN_SC_RCTRL];
    if (!ctrl || kiln_get_key_state(k_sc_m) != 3) return;
    kiln_block_key(k_sc_m);  // a held key must not toggle again on repeat
    toggle_mute();
}

void determine_audio_pause_state()
{
    const orbo_machine* c = orbo_live_machine();
    int r = c ? orbo_peek(c, c->cart, k_pause_audio_addr) : 0;
    orbo_audio_update_pause_state(pstate.app_mode == MODE_RUNNING, r, orbo_pause().menu_open);
}

void orbo_update_audio_pause() { determine_audio_pause_state(); }
