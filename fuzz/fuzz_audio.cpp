// Random sfx and music memory and random calls into the sound chip, with
// rendering in between: the record is poked with any 32-bit values while
// voices play it. The sanitizers catch out-of-range reads and signed
// overflow (the chip is integer-only, so there is no denormal to meet); the
// checks below catch a pattern outside 0..63 and a voice field gone out of
// range.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/audio.h"
#include "audio/synth.h"
#include "cart/cart.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/random.h"

namespace {
// Mostly small values, sometimes any 32-bit value.
int32_t word(FuzzedDataProvider& in)
{
    return in.ConsumeBool() ? in.ConsumeIntegral<int32_t>() : int32_t(in.ConsumeIntegral<int8_t>());
}

int g_now = 0;
int clock_ms() { return g_now; }

void poke_record(orbo_cart& c, FuzzedDataProvider& r)
{
    int32_t v = word(r);
    uint8_t at = r.ConsumeIntegral<uint8_t>();
    int s = r.ConsumeIntegral<uint8_t>() & 63;
    switch (r.ConsumeIntegralInRange(0, 8)) {
    case 0: c.sfx[s].notes[at & 31].pitch = v; break;
    case 1: c.sfx[s].notes[at & 31].waveform = v; break;
    case 2: c.sfx[s].notes[at & 31].volume = v; break;
    case 3: c.sfx[s].notes[at & 31].effect = v; break;
    case 4: c.sfx[s].notes[at & 31].instrument = v; break;
    case 5: c.sfx[s].speed = v; break;
    case 6: (at & 1 ? c.sfx[s].loop_start : c.sfx[s].loop_end) = v; break;
    case 7: c.music[s][at & 3] = v; break;
    default: c.music_flags[s] = v; break;
    }
}

void check_voices()
{
    for (const mix_channel& ch : ms0) {
        if (ch.sfx < -1 || ch.sfx > 63 || ch.tick_pos < 0 || ch.tick_pos > ORBO_TICK) std::abort();
        if (ch.is_music && (ch.pattern < -1 || ch.pattern > 63)) std::abort();
        if (ch.osc.amplitude < 0 || ch.osc.amplitude > 1792 || ch.osc.phase < 0 || ch.osc.phase > 0xffff) std::abort();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static orbo_cart_ptr cart = orbo_create_cart();
    static int32_t masks[4];
    static std::vector<int16_t> buf(9000);
    FuzzedDataProvider r(data, size);
    orbo_audio_set_clock(clock_ms);
    orbo_audio_reset();
    kiln_srand(r.ConsumeIntegral<uint8_t>());
    for (int i = 0; i < 64 && r.remaining_bytes(); i++) poke_record(*cart, r);
    orbo_audio_attach(cart.get(), masks);
    cconfig.sound_volume = 256;
    cconfig.music_volume = 256;
    kiln_state.audio_pause = 0;
    for (int op = 0; op < 48 && r.remaining_bytes(); op++) {
        int32_t a = word(r), b = word(r), c = word(r), d = word(r);
        switch (r.ConsumeIntegralInRange(0, 15)) {
        case 0: orbo_sfx_play(a, b % 6 - 2, c, d); break;
        case 1: orbo_sfx_stop_channel(a); break;
        case 2: orbo_sfx_release_loop(a); break;
        case 3: orbo_sfx_stop_effect(a); break;
        case 4: orbo_music_play(a, b, c); break;
        case 5: orbo_music_stop(a); break;
        case 6: orbo_play_sfx_ex(a, b, c, cart.get(), d % 10 - 1); break;
        case 7: masks[a & 3] = b; break;
        case 8: cconfig.sound_volume = a; cconfig.music_volume = b; break;
        case 9: kiln_state.audio_pause = a & 7 ? 0 : b; break;
        case 10: g_now += a & 0xffff; orbo_update_music_fading(); break;
        case 11: orbo_release_looping_voice(a); break;
        case 12: orbo_stop_all_sounds(); break;
        default: {
            for (int i = 0; i < 4; i++) poke_record(*cart, r);
            int n = int(uint32_t(a) % 9000);
            orbo_audio_render(buf.data(), n);
            break;
        }
        }
        int q = orbo_music_pattern();
        if (q < 0 || q > 63) std::abort();
        orbo_channel_sfx(a & 3);
        orbo_channel_note(b & 3);
        orbo_music_ticks();
        check_voices();
    }
    orbo_audio_render(buf.data(), 1024);
    check_voices();
    return 0;
}
