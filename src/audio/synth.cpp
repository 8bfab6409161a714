// The synthesiser: the eight note effects, instrument notes, the cross-fade
// between ticks, loops, release and the rules by which a voice stops.
#include "audio/synth.h"

#include <atomic>

#include "audio/sequencer.h"
#include "platform/config.h"

mix_channel ms0[ORBO_VOICES];

namespace {
constexpr int32_t k_max_count = 0x3fffffff;  // tick counters saturate here

void add_count(int32_t& v)
{
    if (v < k_max_count) v++;
}

// Arpeggio step length: 2 or 4 ticks (fast) and 4 or 8 (slow), longer for
// speeds of 9 and more.
int32_t arp_rate(int32_t effect, int32_t speed)
{
    if (speed < 9) return effect == 6 ? 2 : 4;
    return effect == 6 ? 4 : 8;
}

int32_t note_pitch(const orbo_sfx& s, int32_t n) { return synth_load(s.notes[n & 31].pitch) & 63; }

// Slide of a 16.16 pitch and an amplitude from (from_pitch, from_amp) at
// step t of s.
int32_t slide(int64_t to, int64_t from, int32_t t, int32_t s) { return int32_t((to * t + from * (s - t)) / s); }

bool all_silent_from(const orbo_sfx& s, int32_t n)
{
    for (int32_t i = n; i < 32; i++)
        if ((synth_load(s.notes[i].volume) & 7) > 0) return false;
    return true;
}

// The tick of a voice without an sfx: fade out what still sounds.
void idle_tick(mix_channel& ch, int16_t* out)
{
    if (ch.osc.amplitude != 0) {
        mix_osc_tick(ch.osc, out, ORBO_XFADE);
        for (int i = 0; i < ORBO_XFADE; i++) out[i] = int16_t(out[i] * (ORBO_XFADE - i) / ORBO_XFADE);
        for (int i = ORBO_XFADE; i < ORBO_TICK; i++) out[i] = 0;
        ch.osc.amplitude = 0;
    } else {
        for (int i = 0; i < ORBO_TICK; i++) out[i] = 0;
    }
    ch.inst_tick = 1;
    add_count(ch.tick);
    if (ch.remaining > 0) ch.remaining--;
    if (ch.is_music && ch.cart && ch.remaining == 0) music_pattern_end(ch);
}
}  // namespace

int32_t synth_load(const int32_t& field)
{
    return std::atomic_ref<int32_t>(const_cast<int32_t&>(field)).load(std::memory_order_relaxed);
}

synth_note synth_read_note(const orbo_note& n)
{
    return {synth_load(n.pitch) & 63, synth_load(n.waveform) & 7, synth_load(n.volume) & 7,
            synth_load(n.effect) & 7, synth_load(n.instrument) != 0};
}

int32_t synth_speed(const orbo_sfx& s)
{
    int32_t v = synth_load(s.speed);
    return v < 1 ? 1 : v > 255 ? 255 : v;
}

int32_t synth_loop_start(const orbo_sfx& s)
{
    int32_t v = synth_load(s.loop_start);
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

int32_t synth_loop_end(const orbo_sfx& s)
{
    int32_t v = synth_load(s.loop_end);
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

int32_t synth_music_volume()
{
    int32_t v = cconfig.music_volume;
    return v < 0 ? 0 : v > 256 ? 256 : v;
}

void apply_meta_instrument(mix_channel& ch, const synth_note& note, osc_state& osc)
{
    const orbo_sfx& inst = ch.cart->sfx[note.waveform & 7];
    const int32_t si = synth_speed(inst);
    const int32_t ls = synth_loop_start(inst), le = synth_loop_end(inst);
    if (le > ls && ch.inst_tick >= le * si) ch.inst_tick = ls * si;
    const int32_t m = ch.inst_tick / si, u = ch.inst_tick % si;
    if (m > 31 || m < 0) {
        osc.amplitude = 0;
        osc.waveform = 0;
        return;
    }
    const synth_note in = synth_read_note(inst.notes[m]);
    int32_t ai = in.volume * 256;
    int32_t pi16 = in.pitch << 16;
    if (u == si - 1) {
        ch.inst_prev_pitch = in.pitch;
        ch.inst_prev_volume = in.volume;
        ch.inst_prev_waveform = in.waveform;
    }
    switch (in.effect) {
    case 1:
        if (m == 0) {
            pi16 = slide(pi16, int64_t(24) << 16, u, si);
        } else {
            pi16 = slide(pi16, int64_t(ch.inst_prev_pitch) << 16, u, si);
            ai = slide(ai, ch.inst_prev_volume * 256, u, si);
        }
        break;
    case 4: ai = ai * u / si; break;
    case 5: ai = ai * (si - u) / si; break;
    case 6:
    case 7: {
        int32_t r = arp_rate(in.effect, si);
        pi16 = (note_pitch(inst, (m & ~3) + (ch.inst_tick / r) % 4)) << 16;
        break;
    }
    default: break;
    }
    osc.amplitude = ai * osc.amplitude / 1792;
    osc.waveform = in.waveform;
    osc.noise_volume = in.volume;
    osc.pitch16 += pi16 - (24 << 16);
    osc.pitch += in.pitch - 24;
}

namespace {
// Step 4 of a tick's settings: the note's effect on pitch and amplitude.
void apply_note_effect(const mix_channel& ch, const orbo_sfx& sf, const synth_note& note, int32_t n, int32_t t,
                       int32_t s, osc_state& osc)
{
    const int32_t p0 = note.pitch << 16, a0 = osc.amplitude;
    switch (note.effect) {
    case 1:
        if (n == 0) {
            osc.pitch16 = slide(p0, int64_t(24) << 16, t, s);
        } else {
            // A music note slides from the previous volume scaled like its
            // own, so a muted or faded song stays silent.
            int32_t from = ch.prev_volume * 256;
            if (ch.is_music) from = synth_music_scale(from);
            osc.pitch16 = slide(p0, int64_t(ch.prev_pitch) << 16, t, s);
            osc.amplitude = slide(a0, from, t, s);
        }
        break;
    case 4: osc.amplitude = a0 * t / s; break;
    case 5: osc.amplitude = a0 * (s - t) / s; break;
    case 6:
    case 7: {
        int32_t r = arp_rate(note.effect, s);
        osc.pitch16 = note_pitch(sf, (n & ~3) + (ch.tick / r) % 4) << 16;
        break;
    }
    default: break;
    }
}

// At the first tick of an instrument note: whether the instrument starts
// again or the note continues the previous one.
bool instrument_restarts(const mix_channel& ch, const synth_note& note, int32_t n)
{
    if (n > 0 && (note.effect == 1 || note.pitch == ch.prev_pitch))
        return note.effect == 3 || note.effect == 4 || note.waveform != ch.prev_waveform;
    return !(note.effect == 3 && note.waveform == ch.prev_waveform);
}
}  // namespace

int32_t synth_music_scale(int32_t amplitude)
{
    return ((synth_music_fade() >> 8) * amplitude / 256) * synth_music_volume() / 256;
}

void calculate_osc_state(mix_channel& ch, osc_state& osc)
{
    const orbo_sfx& sf = ch.cart->sfx[ch.sfx & 63];
    const int32_t s = synth_speed(sf);
    const int32_t n = ch.tick < 0 ? -1 : ch.tick / s, t = ch.tick < 0 ? 0 : ch.tick % s;
    if (n < 0 || n > 31) {
        osc.amplitude = 0;
        osc.waveform = 0;
        osc.dx = 0;
        return;
    }
    if (t == 0) {
        ch.prev_pitch = osc.raw_pitch;
        ch.prev_waveform = osc.raw_waveform;
        ch.prev_volume = osc.raw_volume;
    }
    const synth_note note = synth_read_note(sf.notes[n]);
    osc.waveform = note.waveform;
    osc.amplitude = note.volume * 256;
    osc.pitch16 = note.pitch << 16;
    osc.pitch = note.pitch;
    osc.noise_volume = note.volume;
    osc.raw_volume = note.volume;
    osc.raw_pitch = note.pitch;
    osc.raw_waveform = note.waveform;
    if (ch.is_music) osc.amplitude = synth_music_scale(osc.amplitude);

    apply_note_effect(ch, sf, note, n, t, s, osc);

    if (note.instrument) {
        if (t == 0 && instrument_restarts(ch, note, n)) ch.inst_tick = 0;
        apply_meta_instrument(ch, note, osc);
    } else {
        ch.inst_tick = 0;
    }

    osc.dx = get_dx_for_note_fine(osc.pitch16);
    if (note.effect == 2) {
        static const int32_t vib[8] = {128, 129, 130, 129, 128, 127, 126, 127};
        osc.dx = osc.dx * vib[(ch.tick >> 1) & 7] >> 7;
    } else if (note.effect == 3 && !note.instrument) {
        osc.dx = osc.dx * (s - t) / s;
    }
}

void synth_clear_voice(mix_channel& ch)
{
    ch.cart = nullptr;
    ch.sfx = -1;
    ch.is_music = 0;
    ch.looping = 0;
}

bool synth_counts_as_looping(const mix_channel& ch, const orbo_sfx& s)
{
    return ch.looping == 1 && synth_loop_start(s) < synth_loop_end(s);
}

void mix_sfx_tick(mix_channel& ch, int16_t* out)
{
    if (ch.sfx < 0 || ch.sfx > 63 || !ch.cart) {
        idle_tick(ch, out);
        return;
    }
    const orbo_sfx& sf = ch.cart->sfx[ch.sfx];
    const osc_state old = ch.osc;
    calculate_osc_state(ch, ch.osc);
    // The settings just computed decide this tick's note; the loop test and
    // the stop rule look at the same note index.
    const int32_t s = synth_speed(sf);
    const int32_t n = ch.tick < 0 ? -1 : ch.tick / s;

    mix_osc_tick(ch.osc, out, ORBO_TICK);
    int16_t prev[ORBO_XFADE];
    osc_state kept = old;
    mix_osc_tick(kept, prev, ORBO_XFADE);
    for (int i = 0; i < ORBO_XFADE; i++)
        out[i] = int16_t((prev[i] * (ORBO_XFADE - i) + out[i] * i) / ORBO_XFADE);

    add_count(ch.tick);
    add_count(ch.inst_tick);
    if (ch.remaining > 0) ch.remaining--;

    const int32_t ls = synth_loop_start(sf), le = synth_loop_end(sf);
    if (ch.looping == 1 && ls < le && ch.tick >= le * s) ch.tick = ls * s;

    if (ch.is_music) {
        if (ch.remaining == 0) music_pattern_end(ch);
        return;
    }
    bool stop = ch.remaining == 0;
    if (!stop && !(ch.looping == 1 && ls < le)) {
        if (n > 31 || n < 0) {
            stop = true;
        } else if (all_silent_from(sf, n)) {
            bool slide_keeps = (synth_load(sf.notes[n].effect) & 7) == 1 && n != 31;
            stop = !slide_keeps;
        }
    }
    if (stop) ch.sfx = -1;
}
