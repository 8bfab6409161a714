// A fresh sound chip over a fresh cartridge record: voices and music player
// cleared, the framework generator seeded with 0, full volumes, no pause,
// a fake millisecond clock for fades, and four audio-effect registers.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "audio/audio.h"
#include "audio/mixer.h"
#include "audio/sequencer.h"
#include "audio/synth.h"
#include "cart/cart.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/random.h"

namespace audiotest {

inline int g_now_ms = 0;
inline int fake_clock() { return g_now_ms; }

struct audio_test : ::testing::Test {
    orbo_cart_ptr cart = orbo_create_cart();
    int32_t masks[4] = {};  // 0x5F40 slow, 0x5F41 echo, 0x5F42 crush, 0x5F43 low-pass

    void SetUp() override
    {
        g_now_ms = 0;
        for (int32_t& m : masks) m = 0;
        orbo_audio_set_clock(fake_clock);
        orbo_audio_reset();
        orbo_audio_attach(cart.get(), masks);
        orbo_audio_set_platform_pause(false);
        kiln_srand(0);
        cconfig.sound_volume = cconfig.music_volume = 256;
        kiln_state.audio_pause = 0;
    }
    void TearDown() override
    {
        orbo_audio_attach(nullptr, nullptr);
        orbo_audio_reset();
        orbo_audio_set_clock(nullptr);
        kiln_state.audio_pause = 0;
        cconfig.sound_volume = cconfig.music_volume = 256;
    }

    void note(int n, int i, int pitch, int wave, int vol, int fx = 0, bool inst = false)
    {
        orbo_note& o = cart->sfx[n].notes[i];
        o.pitch = pitch;
        o.waveform = wave;
        o.volume = vol;
        o.effect = fx;
        o.instrument = inst ? 128 : 0;
    }
    void fill(int n, int pitch, int wave, int vol, int fx = 0, bool inst = false)
    {
        for (int i = 0; i < 32; i++) note(n, i, pitch, wave, vol, fx, inst);
    }
    void header(int n, int speed, int loop_start = 0, int loop_end = 0)
    {
        cart->sfx[n].speed = speed;
        cart->sfx[n].loop_start = loop_start;
        cart->sfx[n].loop_end = loop_end;
    }
    void pattern(int p, int c0, int c1, int c2, int c3, int flags = 0)
    {
        int32_t* m = cart->music[p];
        m[0] = c0, m[1] = c1, m[2] = c2, m[3] = c3;
        cart->music_flags[p] = flags;
    }
    std::vector<int16_t> render(int samples)
    {
        std::vector<int16_t> out(size_t(samples > 0 ? samples : 0));
        orbo_audio_render(out.data(), samples);
        return out;
    }
    // Whole ticks (183 samples each) through the mixer.
    void ticks(int n)
    {
        static int16_t buf[ORBO_TICK];
        for (int i = 0; i < n; i++) orbo_audio_render(buf, ORBO_TICK);
    }
    // One tick of voice v straight from the synthesiser.
    std::vector<int16_t> tick_of(int v)
    {
        std::vector<int16_t> out(ORBO_TICK);
        mix_sfx_tick(ms0[v], out.data());
        return out;
    }
    // The settings voice v computes for its tick `target` (ticked up to it).
    const osc_state& at(int v, int target)
    {
        while (ms0[v].tick < target) tick_of(v);
        tick_of(v);
        return ms0[v].osc;
    }
    int start(int n, int v, int offset = 0, int length = 0) { return orbo_play_sfx_ex(n, offset, length, cart.get(), v); }
};

}  // namespace audiotest
