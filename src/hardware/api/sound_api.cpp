// Sound bindings: music(n, [fade_len], [channel_mask]) and
// sfx(n, [channel], [offset], [length]). They settle every argument rule
// here and hand the synthesiser and the music player checked values.
#include <algorithm>

#include "hardware/api/api.h"
#include "hardware/api/args.h"
#include "hardware/sound_link.h"
#include "hardware/runtime_link.h"

namespace {
constexpr int32_t k_sound_cost = 16;
constexpr int k_last_effect = 63;
constexpr int k_last_offset = 31;
}  // namespace

// -1 stops the music with the fade; any other n starts the song at pattern
// n clamped to 0-63, keeping channel_mask as the reserved channels.
int ob_music(lua_State* L)
{
    int n = ob_int(L, 1), fade = ob_int(L, 2), mask = ob_int(L, 3);
    if (n == -1)
        orbo_sound.music_stop(fade);
    else
        orbo_sound.music_play(std::clamp(n, 0, 63), fade, mask);
    orbo_spend_cpu(k_sound_cost);
    return 0;
}

// Channel -1 means any (or all, for stopping); a channel outside -2..3
// makes the call do nothing. n = -1 stops the channel, n = -2 releases its
// loop; with channel -2 an effect 0-63 is stopped wherever it plays;
// otherwise effect max(n, 0) capped at 63 restarts on the channel.
int ob_sfx(lua_State* L)
{
    int nargs = ob_nargs(L);
    if (nargs < 1) return 0;
    int n = ob_int(L, 1);
    int channel = nargs >= 2 ? ob_int(L, 2) : -1;
    int offset = std::clamp(ob_int(L, 3), 0, k_last_offset);
    int length = ob_int(L, 4);
    if (channel < -2 || channel > 3) return 0;
    const orbo_sound_link& s = orbo_sound;
    if (n == -1 || n == -2) {
        if (channel == -2) return 0;  // no channel to act on
        if (n == -1)
            s.sfx_stop_channel(channel);
        else
            s.sfx_release_loop(channel);
    } else if (channel != -2) {
        int effect = std::min(std::max(n, 0), k_last_effect);
        s.sfx_stop_effect(effect);
        s.sfx_play(effect, channel, offset, length);
        orbo_spend_cpu(k_sound_cost);
    } else if (n >= 0 && n <= k_last_effect) {
        s.sfx_stop_effect(n);
    }
    return 0;
}
