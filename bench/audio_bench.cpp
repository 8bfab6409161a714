// The audio device callback's work: a 1024-sample buffer with all eight
// voices busy (four looping sfx of instrument notes, a looping song on the
// four music voices) and every channel effect on. The goal is under 0.1 ms
// per buffer; "x_realtime" is the audio rendered per second of CPU time.
#include <benchmark/benchmark.h>

#include "audio/audio.h"
#include "cart/cart.h"
#include "platform/random.h"

namespace {
struct busy_chip {
    orbo_cart_ptr cart = orbo_create_cart();
    int32_t masks[4] = {0x1, 0x6, 0xc, 0x9};  // slow, echo, crush, low-pass

    busy_chip()
    {
        orbo_audio_reset();
        kiln_srand(0);
        for (int n = 0; n < 12; n++) {
            orbo_sfx& s = cart->sfx[n];
            s.speed = n < 8 ? 1 + n : 3 + n % 4;
            s.loop_start = 0;
            s.loop_end = 32;
            for (int i = 0; i < 32; i++) {
                orbo_note& note = s.notes[i];
                note.pitch = 18 + (i * 7 + n) % 30;
                note.waveform = (i + n) & 7;
                note.volume = 3 + (i + n) % 5;
                note.effect = (i * 3 + n) & 7;
                note.instrument = n >= 8 ? 128 : 0;  // sfx 8-11 play instruments 0-7
            }
        }
        cart->music[0][0] = 8;
        cart->music[0][1] = 9;
        cart->music[0][2] = 10;
        cart->music[0][3] = 11;
        cart->music_flags[0] = 1 | 2;  // loops on itself
        orbo_audio_attach(cart.get(), masks);
        orbo_music_play(0, 0, 0);
        for (int k = 0; k < 4; k++) orbo_sfx_play(8 + k, k, 0, 0);
    }
    ~busy_chip()
    {
        orbo_audio_attach(nullptr, nullptr);
        orbo_audio_reset();
    }
};

void BM_audio_callback_1024(benchmark::State& st)
{
    busy_chip chip;
    int16_t buf[1024];
    for (auto _ : st) {
        orbo_audio_render(buf, 1024);
        benchmark::DoNotOptimize(buf);
    }
    st.counters["x_realtime"] =
        benchmark::Counter(double(st.iterations()) * 1024.0 / 22050.0, benchmark::Counter::kIsRate);
    if (!orbo_any_sound_is_playing()) st.SkipWithError("the voices went idle");
}
BENCHMARK(BM_audio_callback_1024)->Unit(benchmark::kMicrosecond);
}  // namespace
