// The oscillator: note to phase step and the eight waveforms.
#include <algorithm>

#include "audio/synth.h"
#include "platform/random.h"

const int32_t note_dx[13] = {523, 554, 587, 622, 659, 698, 740, 784, 831, 880, 932, 984, 1046};

namespace {
int16_t sat16(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

int32_t floor_div(int32_t a, int32_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// 3 is the octave whose step needs no halving or doubling. Doubling stops at
// a saturated value (only an unclamped integer note can get there).
int32_t shift_octave(int32_t base, int32_t octave)
{
    if (octave < 3) {
        for (int32_t i = octave; i < 3 && base != 0; i++) base /= 2;
    } else {
        for (int32_t i = 3; i < octave; i++) {
            if (base > 0x3fffffff) return 0x7fffffff;
            base *= 2;
        }
    }
    return base;
}

// Waveform w of phase p for waveforms 0-5 and 7 (the phaser's second
// component is added by the caller).
template <int W>
int32_t wave(int32_t p)
{
    if constexpr (W == 0) return p < 32768 ? (3 * p - 49152) / 4 : (49152 - p) * 3 / 4;
    if constexpr (W == 1) return p < 57344 ? p * 6143 / 14336 - 12286 : (65535 - p) * 6143 / 2048 - 12286;
    if constexpr (W == 2) return (p - 32768) / 4;
    if constexpr (W == 3) return p < 32768 ? -6143 : 6143;
    if constexpr (W == 4) return p < 45056 ? -6143 : 6143;
    if constexpr (W == 5) {
        int32_t q;
        if (p < 32768) {
            q = (p & 0x4000) ? 32768 - p : p;
        } else {
            q = (p & 0x4000) ? 65536 - p : p - 32768;
            q = 2 * q / 3;
        }
        return q - 8192;
    }
    if constexpr (W == 7) return (p < 32768 ? p : 65535 - p) / 2 - 16384;
    return 0;
}

template <int W>
void render_wave(osc_state& osc, int16_t* out, int count, int32_t k)
{
    int32_t p = osc.phase & 0xffff;
    const int32_t dx = osc.dx;
    for (int i = 0; i < count; i++) {
        out[i] = sat16(wave<W>(p) * k / 2048);
        p = (p + dx) & 0xffff;
    }
    osc.phase = p;
}

void render_phaser(osc_state& osc, int16_t* out, int count, int32_t k)
{
    int32_t p = osc.phase & 0xffff;
    const int32_t dx = osc.dx;
    uint32_t pp = uint32_t(osc.phaser_phase);
    for (int i = 0; i < count; i++) {
        // phaser_phase x 127 / 128 in signed 32-bit arithmetic (the product wraps).
        int32_t q = (int32_t(pp * 127u) / 128) & 0xffff;
        int32_t t2 = (q < 32768 ? q : 65535 - q) / 4;
        out[i] = sat16((wave<7>(p) + t2) * k / 2048);
        p = (p + dx) & 0xffff;
        pp += uint32_t(dx);
    }
    osc.phase = p;
    osc.phaser_phase = int32_t(pp);
}

void render_noise(osc_state& osc, int16_t* out, int count, int32_t k)
{
    int32_t p = osc.phase & 0xffff;
    const int32_t dx = osc.dx;
    int32_t r = dx < 79 ? (dx - 79) * 60 + 1752 : dx * 8 + 1120;
    if (r < 0) r = 0;
    const int32_t scale = osc.pitch <= 47 ? 80 : std::max(2048 / (osc.pitch + 16) + 48, 64);
    const int32_t gate = (dx + 500) / 3;
    const int32_t nv = osc.noise_volume;
    int32_t noise = osc.noise, toggle = osc.noise_toggle;
    for (int i = 0; i < count; i++) {
        toggle ^= 1;
        if (toggle) noise += int32_t(kiln_random(uint32_t(r))) - r / 2;
        int32_t v = noise;
        uint32_t up = uint32_t(p);
        if (int32_t(((up + 317u) * (up + 101u)) & 0x1fffu) < gate)
            v += (int32_t(kiln_random(12286)) - 6143) * nv / 7;
        noise = v < -6143 ? -6143 : v > 6143 ? 6143 : v;
        out[i] = sat16((v >> 6) * scale * k / 2048);
        p = (p + dx) & 0xffff;
    }
    osc.noise = noise;
    osc.noise_toggle = toggle;
    osc.phase = p;
}

}  // namespace

int32_t get_dx_for_note(int32_t note)
{
    int32_t octave = floor_div(note, 12);
    int32_t s = note - octave * 12;
    int32_t base = note_dx[s] * 65536 / ORBO_AUDIO_RATE;
    return shift_octave(base, octave);
}

int32_t get_dx_for_note_fine(int32_t pitch16)
{
    int32_t p = pitch16 >> 16;
    int32_t f = pitch16 & 0xffff;
    int32_t octave = floor_div(p, 12);
    int32_t s = p - octave * 12;
    int32_t base = ((65536 - f) * note_dx[s] + f * note_dx[s + 1]) / ORBO_AUDIO_RATE;
    base = shift_octave(base, octave);
    return base < 8 ? 8 : base > 32768 ? 32768 : base;
}

void mix_osc_tick(osc_state& osc, int16_t* out, int count)
{
    if (osc.amplitude == 0) {
        for (int i = 0; i < count; i++) out[i] = 0;
        osc.phase = 0;
        return;
    }
    const int32_t k = osc.amplitude * 3 / 2;
    switch (osc.waveform & 7) {
    case 0: render_wave<0>(osc, out, count, k); break;
    case 1: render_wave<1>(osc, out, count, k); break;
    case 2: render_wave<2>(osc, out, count, k); break;
    case 3: render_wave<3>(osc, out, count, k); break;
    case 4: render_wave<4>(osc, out, count, k); break;
    case 5: render_wave<5>(osc, out, count, k); break;
    case 6: render_noise(osc, out, count, k); break;
    default: render_phaser(osc, out, count, k); break;
    }
}

