// The mixer: renders the eight voices with their channels' effects, sums
// them through the soft clipper, applies the sound volume; and holds the
// attachment of the live record and of the audio-effect registers.
#include "audio/mixer.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "audio/audio.h"
#include "audio/sequencer.h"
#include "audio/synth.h"
#include "platform/config.h"

namespace {
// Under the audio lock.
orbo_cart* g_cart = nullptr;
const int32_t* g_masks = nullptr;
bool g_hook_added = false;

std::atomic<bool> g_rendering{false};

// Channel effect registers 0x5F40-0x5F43, in order.
enum : int { k_slow, k_echo, k_crush, k_lowpass };

struct channel_fx {
    bool echo, crush, lowpass;
};

int16_t sat16(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

int32_t load_mask(const int32_t* m)
{
    return std::atomic_ref<int32_t>(const_cast<int32_t&>(*m)).load(std::memory_order_relaxed) & 15;
}

void release_hook(orbo_cart* cart)
{
    orbo_audio_lock lock;
    for (mix_channel& ch : ms0)
        if (ch.cart == cart) synth_clear_voice(ch);
    if (g_cart == cart) g_cart = nullptr;
}

// The voice's next tick into tick_buffer, through its channel's effects.
void next_tick(mix_channel& ch, channel_fx fx)
{
    int32_t y = ch.tick_buffer[ORBO_TICK - 1];  // the low-pass starts from the last sample
    if (fx.echo) {
        std::memcpy(ch.echo_history[ch.echo_slot], ch.tick_buffer, sizeof ch.tick_buffer);
        ch.echo_slot = (ch.echo_slot + 1) % ORBO_ECHO_SLOTS;
        mix_sfx_tick(ch, ch.tick_buffer);
        const int16_t* h = ch.echo_history[(ch.echo_slot + 4) % ORBO_ECHO_SLOTS];
        for (int i = 0; i < ORBO_TICK; i++) ch.tick_buffer[i] = sat16((ch.tick_buffer[i] * 3 + h[i] * 2) / 4);
    } else {
        mix_sfx_tick(ch, ch.tick_buffer);
    }
    if (fx.crush)
        for (int16_t& s : ch.tick_buffer) s = int16_t(s >= 0 ? s & 0xf000 : -((-int32_t(s)) & 0xf000));
    if (fx.lowpass)
        for (int16_t& s : ch.tick_buffer) {
            y = (s + 7 * y) / 8;
            s = int16_t(y);
        }
    ch.tick_pos = 0;
}

// count samples of one voice: what is left of its tick, then new ticks.
void mix_sfx_channel(mix_channel& ch, int16_t* out, int count, channel_fx fx)
{
    int done = 0;
    while (done < count) {
        if (ch.tick_pos >= ORBO_TICK || ch.tick_pos < 0) next_tick(ch, fx);
        int n = std::min(ORBO_TICK - ch.tick_pos, count - done);
        std::memcpy(out + done, ch.tick_buffer + ch.tick_pos, size_t(n) * sizeof(int16_t));
        ch.tick_pos += n;
        done += n;
    }
}

// Half rate: every rendered sample is played twice. A sample whose second
// copy falls past the block's end opens the next block, so the stream does
// not depend on the block sizes.
void mix_slow_channel(mix_channel& ch, int16_t* out, int n, channel_fx fx)
{
    int first = 0;
    if (ch.slow_owed) {
        out[first++] = ch.slow_sample;
        ch.slow_owed = 0;
    }
    const int left = n - first;
    if (left <= 0) return;
    mix_sfx_channel(ch, out + first, (left + 1) / 2, fx);
    for (int k = n - 1; k >= first; k--) out[k] = out[first + (k - first) / 2];
    if (left & 1) {
        ch.slow_owed = 1;
        ch.slow_sample = out[n - 1];
    }
}

void render_block(int16_t* out, int n)
{
    if (mixer_paused()) {
        std::memset(out, 0, size_t(n) * sizeof(int16_t));
        return;
    }
    orbo_audio_lock lock;
    g_rendering.store(true, std::memory_order_relaxed);
    int32_t mask[4] = {};
    if (g_masks)
        for (int r = 0; r < 4; r++) mask[r] = load_mask(g_masks + r);
    for (int v = 0; v < ORBO_VOICES; v++) {
        mix_channel& ch = ms0[v];
        const int bit = 1 << (v & 3);
        const channel_fx fx{(mask[k_echo] & bit) != 0, (mask[k_crush] & bit) != 0, (mask[k_lowpass] & bit) != 0};
        if (mask[k_slow] & bit) {
            mix_slow_channel(ch, ch.out, n, fx);
        } else {
            ch.slow_owed = 0;
            mix_sfx_channel(ch, ch.out, n, fx);
        }
    }
    if (music_take_advance()) music_count_pattern();
    // An sfx silences the music on its channel.
    for (int k = 0; k < 4; k++)
        if (ms0[k].sfx >= 0) std::memset(ms0[k + 4].out, 0, size_t(n) * sizeof(int16_t));

    const int16_t *o0 = ms0[0].out, *o1 = ms0[1].out, *o2 = ms0[2].out, *o3 = ms0[3].out;
    const int16_t *o4 = ms0[4].out, *o5 = ms0[5].out, *o6 = ms0[6].out, *o7 = ms0[7].out;
    const int32_t vol = std::clamp(int32_t(cconfig.sound_volume), 0, 256);
    for (int i = 0; i < n; i++) {
        int32_t a = mix_clip(mix_clip(o0[i] + o1[i]) + mix_clip(o2[i] + o3[i]));
        int32_t b = mix_clip(mix_clip(o4[i] + o5[i]) + mix_clip(o6[i] + o7[i]));
        int32_t s = mix_clip(a + b);
        if (vol != 256) s = s * vol >> 8;
        out[i] = sat16(s);
    }
    g_rendering.store(false, std::memory_order_relaxed);
}
}  // namespace

int32_t mix_clip(int32_t s)
{
    if (s > 24575) return (s - 24576) / 5 + 24576;
    if (s < -24575) return (s + 24576) / 5 - 24576;
    return s;
}

orbo_cart* mixer_live_cart() { return g_cart; }

void mixer_watch_carts()
{
    if (g_hook_added) return;
    orbo_add_cart_release_hook(release_hook);
    g_hook_added = true;
}

void orbo_audio_reset()
{
    orbo_audio_lock lock;
    for (mix_channel& ch : ms0) ch = mix_channel();
    music_reset();
}

void orbo_audio_attach(orbo_cart* live_cart, const int32_t* audio_mask)
{
    orbo_audio_lock lock;
    mixer_watch_carts();
    g_cart = live_cart;
    g_masks = audio_mask;
}

orbo_cart* orbo_audio_cart()
{
    orbo_audio_lock lock;
    return g_cart;
}

void orbo_audio_render(int16_t* out, int samples)
{
    if (!out) return;
    while (samples > 0) {
        int n = std::min(samples, ORBO_MIX_MAX);
        render_block(out, n);
        out += n;
        samples -= n;
    }
}

void orbo_mixer_callback(void*, uint8_t* stream, int len)
{
    if (!stream || len <= 0) return;
    orbo_audio_render(reinterpret_cast<int16_t*>(stream), len / 2);
    if (len & 1) stream[len - 1] = 0;
}

bool orbo_audio_rendering() { return g_rendering.load(std::memory_order_relaxed); }

int orbo_audio_device_samples(int mix_buffer_size)
{
    if (mix_buffer_size == 0) return 0;
    if (mix_buffer_size < 512 || mix_buffer_size > 8192) return 1024;
    return mix_buffer_size;
}
