// The music sequencer: song start, pattern length, pattern end with its loop
// and stop flags, fades, and the music stat values.
#include "audio/sequencer.h"

#include <algorithm>
#include <atomic>

#include "audio/audio.h"
#include "audio/mixer.h"
#include "platform/kiln.h"

namespace {
constexpr int32_t k_full = 0x10000;
constexpr int k_first_music = 4;

// The music player. fade_vol is read by the render call without the lock.
// The level starts at 0, so the first song started with a fade fades in
// from silence; a song started while the level is already full (fade_vol
// equals fade1) plays at full level at once. fade0, fade1, fade_start_t and
// fade_len belong to the main thread; current_pattern and patterns_played
// are written by the render call and read by stat.
struct music_player {
    std::atomic<int32_t> fade_vol{0};
    int32_t fade0 = 0, fade1 = 0, fade_start_t = 0, fade_len = 0;
    std::atomic<int32_t> current_pattern{-1};
    std::atomic<int32_t> patterns_played{0};
    int32_t reserved = 0;    // channel mask of `music`, under the audio lock
    bool advanced = false;   // a pattern ended in this block, under the audio lock
};
music_player cmusic;
std::atomic<int (*)()> g_clock{nullptr};

void stop_music_voices()
{
    orbo_audio_lock lock;
    for (mix_channel& ch : ms0)
        if (ch.is_music) synth_clear_voice(ch);
}
}  // namespace

int music_now()
{
    int (*clock)() = g_clock.load(std::memory_order_relaxed);
    return clock ? clock() : kiln_ms_since_start();
}

void orbo_audio_set_clock(int (*now_ms)()) { g_clock.store(now_ms, std::memory_order_relaxed); }

int32_t synth_music_fade() { return cmusic.fade_vol.load(std::memory_order_relaxed); }

int32_t music_channel(const orbo_cart& cart, int32_t p, int32_t k)
{
    int32_t c = synth_load(cart.music[p & 63][k & 3]);
    return c >= 0 && c < 64 ? c : -1;
}

int32_t music_flags(const orbo_cart& cart, int32_t p) { return synth_load(cart.music_flags[p & 63]) & 7; }

int32_t music_pattern_length(const orbo_cart& cart, int32_t p)
{
    int32_t longest = 0;
    for (int32_t k = 0; k < 4; k++) {
        int32_t c = music_channel(cart, p, k);
        if (c < 0) continue;
        const orbo_sfx& s = cart.sfx[c];
        int32_t len = synth_speed(s) * 32;
        if (!(synth_loop_end(s) > synth_loop_start(s))) return len;
        if (len > longest) longest = len;
    }
    return longest;
}

bool music_take_advance()
{
    bool a = cmusic.advanced;
    cmusic.advanced = false;
    return a;
}

void music_count_pattern() { cmusic.patterns_played.fetch_add(1, std::memory_order_relaxed); }

int32_t music_reserved_mask() { return cmusic.reserved; }

void music_reset()
{
    orbo_audio_lock lock;
    cmusic.fade_vol.store(0, std::memory_order_relaxed);
    cmusic.fade0 = cmusic.fade1 = 0;
    cmusic.fade_start_t = cmusic.fade_len = 0;
    cmusic.current_pattern.store(-1, std::memory_order_relaxed);
    cmusic.patterns_played.store(0, std::memory_order_relaxed);
    cmusic.reserved = 0;
    cmusic.advanced = false;
}

void music_pattern_end(mix_channel& ch)
{
    if (!ch.cart || ch.pattern < 0 || ch.pattern > 63) return;
    const orbo_cart& cart = *ch.cart;
    const int32_t p = ch.pattern;
    cmusic.advanced = true;
    const int32_t f = music_flags(cart, p);
    int32_t q;
    if (f & 4) {
        ch.pattern = -1;
        cmusic.current_pattern.store(-1, std::memory_order_relaxed);
        synth_clear_voice(ch);
        return;
    }
    if (f & 2) {
        q = 0;
        if (p == 0 || (f & 1)) {
            q = p;
        } else {
            for (int32_t i = p - 1; i >= 1; i--)
                if (music_flags(cart, i) & 1) {
                    q = i;
                    break;
                }
        }
    } else {
        q = p + 1;
        if (q == 64) {
            synth_clear_voice(ch);
            return;
        }
    }
    ch.pattern = q;
    cmusic.current_pattern.store(q, std::memory_order_relaxed);
    bool any = false;
    for (int32_t k = 0; k < 4; k++) any |= music_channel(cart, q, k) >= 0;
    if (!any) {
        synth_clear_voice(ch);
        return;
    }
    ch.sfx = music_channel(cart, q, ch.index);
    ch.tick = 0;
    ch.remaining = music_pattern_length(cart, q);
}

void orbo_play_song(orbo_cart* cart, int pattern, int fade_ms)
{
    orbo_audio_lock lock;
    for (mix_channel& ch : ms0)
        if (ch.is_music && ch.cart == cart) synth_clear_voice(ch);
    if (pattern < 0 || pattern > 63) {
        stop_music_voices();
        return;
    }
    if (!cart) return;
    bool any = false;
    for (int32_t k = 0; k < 4; k++) any |= music_channel(*cart, pattern, k) >= 0;
    if (!any) return;
    cmusic.patterns_played.store(0, std::memory_order_relaxed);
    cmusic.current_pattern.store(pattern, std::memory_order_relaxed);
    const int32_t length = music_pattern_length(*cart, pattern);
    for (int32_t k = 0; k < 4; k++) {
        int32_t c = music_channel(*cart, pattern, k);
        int v = k_first_music + k;
        orbo_play_sfx_ex(c < 0 ? 63 : c, 0, 32, cart, v);
        mix_channel& ch = ms0[v];
        if (c < 0) ch.sfx = -1;
        ch.is_music = 1;
        ch.cart = cart;
        ch.pattern = pattern;
        ch.index = k;
        ch.remaining = length;
    }
    cmusic.fade_len = fade_ms;
    cmusic.fade_start_t = music_now();
    cmusic.fade0 = 0;
    cmusic.fade1 = k_full;
    orbo_update_music_fading();
}

void orbo_music_play(int pattern, int fade_len, int channel_mask)
{
    orbo_audio_lock lock;
    orbo_play_song(mixer_live_cart(), std::clamp(pattern, 0, 63), fade_len);
    cmusic.reserved = channel_mask & 15;
}

void orbo_cmusic_stop(int fade_ms)
{
    int32_t level = cmusic.fade_vol.load(std::memory_order_relaxed);
    cmusic.fade0 = level;
    cmusic.fade1 = 0;
    cmusic.fade_start_t = music_now();
    cmusic.fade_len = fade_ms;
    if (level == 0 || fade_ms <= 0) {
        cmusic.fade_vol.store(0, std::memory_order_relaxed);
        stop_music_voices();
    }
}

void orbo_music_stop(int fade_len) { orbo_cmusic_stop(fade_len); }

int orbo_music_ticks() { return orbo_song_ticks(); }

void orbo_stop_song(orbo_cart* cart)
{
    orbo_audio_lock lock;
    for (mix_channel& ch : ms0)
        if (ch.is_music && ch.cart == cart) synth_clear_voice(ch);
}

void orbo_update_music_fading()
{
    int32_t level = cmusic.fade_vol.load(std::memory_order_relaxed);
    if (level != cmusic.fade1) {
        int64_t elapsed = int64_t(music_now()) - cmusic.fade_start_t;
        if (cmusic.fade_len != 0 && elapsed < cmusic.fade_len) {
            int64_t v = (elapsed * cmusic.fade1 + (int64_t(cmusic.fade_len) - elapsed) * cmusic.fade0) / cmusic.fade_len;
            cmusic.fade_vol.store(int32_t(v < 0 ? 0 : v > k_full ? k_full : v), std::memory_order_relaxed);
            return;
        }
        level = cmusic.fade1;
        cmusic.fade_vol.store(level, std::memory_order_relaxed);
    }
    if (level == 0) stop_music_voices();
}

namespace {
// The first music voice with a cart decides whether music plays.
const mix_channel* deciding_music_voice()
{
    for (const mix_channel& ch : ms0)
        if (ch.is_music && ch.cart) return &ch;
    return nullptr;
}
}  // namespace

bool orbo_music_is_playing()
{
    orbo_audio_lock lock;
    const mix_channel* ch = deciding_music_voice();
    return ch && ch->pattern != -1;
}

// Music voices on a half-rate channel lag the others, so one voice may meet
// a stop flag (current_pattern -1) while another still plays its pattern:
// stat(24) then reports the playing voice's pattern rather than -1.
int orbo_music_pattern()
{
    orbo_audio_lock lock;
    const mix_channel* ch = deciding_music_voice();
    if (!ch || ch->pattern == -1) return 0;
    int32_t p = cmusic.current_pattern.load(std::memory_order_relaxed);
    return p >= 0 ? p : ch->pattern;
}

int orbo_music_patterns_played()
{
    return orbo_music_is_playing() ? cmusic.patterns_played.load(std::memory_order_relaxed) : 0;
}

int orbo_song_ticks()
{
    orbo_audio_lock lock;
    int32_t most = 0;
    for (const mix_channel& ch : ms0)
        if (ch.is_music && ch.sfx >= 0 && ch.tick > most) most = ch.tick;
    return most;
}
