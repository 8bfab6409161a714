#include "app/audio_pause.h"

#include "app/message_bar.h"
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

bool counting(int s) { return s >= 1 && s <= 4; }
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
    int state = kiln_state.audio_pause;
    if (pstate.app_mode != MODE_RUNNING) {
        kiln_state.audio_pause = counting(state) ? state + 1 : 0;
        return;
    }
    const orbo_machine* c = orbo_live_machine();
    int r = c ? orbo_peek(c, c->cart, k_pause_audio_addr) : 0;
    bool menu = orbo_pause().menu_open;
    if (menu && r == 2) state = 0;
    else if (r == 1) state = 1;
    else if (!menu && counting(state)) state++;
    else state = menu ? 1 : 0;
    kiln_state.audio_pause = state;
}

void orbo_update_audio_pause() { determine_audio_pause_state(); }
