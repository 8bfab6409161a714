// Which voice plays what: starting sfx with the channel choice, stopping and
// releasing them, what the sfx bindings call and the queries behind `stat`.
#include <algorithm>

#include "audio/audio.h"
#include "audio/mixer.h"
#include "audio/sequencer.h"
#include "audio/synth.h"

namespace {
bool voice_idle(const mix_channel& ch) { return ch.sfx < 0 && !ch.is_music; }
bool reserved(int32_t mask, int k) { return (mask & (1 << k)) != 0; }

// The channel for an sfx without one, in order of preference; -1 for none.
int choose_channel()
{
    const int32_t mask = music_reserved_mask();
    for (int k = 0; k < 4; k++)  // nothing at all on the channel
        if (voice_idle(ms0[k]) && voice_idle(ms0[k + 4])) return k;
    for (int k = 0; k < 4; k++)  // a disabled music channel
        if (voice_idle(ms0[k]) && ms0[k + 4].sfx < 0 && !reserved(mask, k)) return k;
    for (int k = 0; k < 4; k++)
        if (voice_idle(ms0[k]) && !reserved(mask, k)) return k;
    // Replace the sfx of the smallest speed; the higher channel on ties.
    int best = -1;
    int32_t best_speed = 0;
    for (int k = 0; k < 4; k++) {
        const mix_channel& ch = ms0[k];
        if (ch.sfx < 0 || !ch.cart || (reserved(mask, k) && !voice_idle(ms0[k + 4]))) continue;
        int32_t speed = std::clamp(synth_load(ch.cart->sfx[ch.sfx].speed), 0, 255);
        if (best < 0 || speed <= best_speed) {
            best = k;
            best_speed = speed;
        }
    }
    return best;
}

const mix_channel* voice_playing(const orbo_sfx* sfx)
{
    for (const mix_channel& ch : ms0)
        if (sfx && ch.sfx >= 0 && ch.cart && &ch.cart->sfx[ch.sfx] == sfx) return &ch;
    return nullptr;
}
}  // namespace

int orbo_play_sfx_ex(int sfx, int offset, int length, orbo_cart* cart, int channel)
{
    orbo_audio_lock lock;
    if (sfx < 0 || sfx > 63 || !cart) {
        if (channel == -1)
            for (int k = 0; k < 4; k++) synth_clear_voice(ms0[k]);
        else if (channel >= 0 && channel < ORBO_VOICES)
            synth_clear_voice(ms0[channel]);
        return -1;
    }
    mixer_watch_carts();
    const int v = channel >= 0 && channel < ORBO_VOICES ? channel : channel == -1 ? choose_channel() : -1;
    if (v < 0) return -1;
    mix_channel& ch = ms0[v];
    const int32_t s = synth_speed(cart->sfx[sfx]);
    ch.sfx = sfx;
    ch.cart = cart;
    ch.index = v & 3;
    ch.is_music = 0;
    ch.looping = 1;
    ch.tick = std::clamp(offset, 0, 31) * s;
    ch.remaining = length <= 0 ? -1 : int32_t(std::min<int64_t>(int64_t(s) * length, INT32_MAX));
    return v;
}

void orbo_stop_all_sounds()
{
    orbo_audio_lock lock;
    for (mix_channel& ch : ms0) synth_clear_voice(ch);
}

void orbo_release_looping_voice(int voice)
{
    orbo_audio_lock lock;
    if (voice >= 0 && voice < ORBO_VOICES) ms0[voice].looping = 0;
}

bool orbo_any_sound_is_playing()
{
    orbo_audio_lock lock;
    return std::any_of(std::begin(ms0), std::end(ms0), [](const mix_channel& ch) { return !voice_idle(ch); });
}

bool orbo_sfx_is_playing(const orbo_sfx* sfx)
{
    orbo_audio_lock lock;
    return voice_playing(sfx) != nullptr;
}

const orbo_sfx* orbo_voice_sfx(int voice)
{
    orbo_audio_lock lock;
    if (voice < 0 || voice >= ORBO_VOICES) return nullptr;
    const mix_channel& ch = ms0[voice];
    return ch.sfx >= 0 && ch.cart ? &ch.cart->sfx[ch.sfx] : nullptr;
}

int orbo_sfx_playing_note(const orbo_sfx* sfx)
{
    orbo_audio_lock lock;
    const mix_channel* ch = voice_playing(sfx);
    return ch ? ch->tick / synth_speed(*sfx) : -1;
}

// --- The sfx bindings' calls -------------------------------------------------------------

void orbo_sfx_stop_channel(int channel)
{
    if (channel == -1 || (channel >= 0 && channel < 4)) orbo_play_sfx_ex(-1, 0, 0, nullptr, channel);
}

void orbo_sfx_release_loop(int channel)
{
    if (channel >= 0 && channel < 4) orbo_release_looping_voice(channel);
}

void orbo_sfx_stop_effect(int n)
{
    orbo_audio_lock lock;
    orbo_cart* cart = mixer_live_cart();
    if (n < 0 || n > 63 || !cart) return;
    for (mix_channel& ch : ms0)
        if (ch.cart == cart && ch.sfx == n) synth_clear_voice(ch);
}

void orbo_sfx_play(int n, int channel, int offset, int length)
{
    orbo_audio_lock lock;
    if (mixer_live_cart() && channel >= -1 && channel <= 3)
        orbo_play_sfx_ex(std::clamp(n, 0, 63), offset, length, mixer_live_cart(), channel);
}

// The voice of channel 0..3 that stat reports: the sfx voice, else the
// music voice; null when both are idle.
static const mix_channel* reported_voice(int channel)
{
    if (channel < 0 || channel > 3) return nullptr;
    for (int v : {channel, channel + 4})
        if (ms0[v].sfx >= 0 && ms0[v].cart) return &ms0[v];
    return nullptr;
}

int orbo_channel_sfx(int channel)
{
    orbo_audio_lock lock;
    const mix_channel* ch = reported_voice(channel);
    return ch && ch->cart == mixer_live_cart() ? ch->sfx : -1;
}

// The note index of the channel's own voice (the same sfx may play on
// another channel at another note).
int orbo_channel_note(int channel)
{
    orbo_audio_lock lock;
    const mix_channel* ch = reported_voice(channel);
    return ch ? ch->tick / synth_speed(ch->cart->sfx[ch->sfx]) : -1;
}
