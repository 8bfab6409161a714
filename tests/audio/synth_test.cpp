// The synthesiser, sample by sample against values worked out by hand from
// the algorithms. Volume 7 is amplitude 1792, k = 2688: a sample is
// w x 2688 / 2048 toward zero.
#include "audio_fixture.h"

namespace audiotest {
namespace {

std::vector<int16_t> osc(osc_state& o, int count)
{
    std::vector<int16_t> out(static_cast<size_t>(count));
    mix_osc_tick(o, out.data(), count);
    return out;
}

osc_state make(int wave, int dx, int amp, int phase = 0)
{
    osc_state o;
    o.waveform = wave;
    o.dx = dx;
    o.amplitude = amp;
    o.phase = phase;
    o.pitch = 33;
    o.noise_volume = 7;
    return o;
}

TEST(KilnRandom, SeedsAndSteps)
{
    kiln_srand(0);
    EXPECT_EQ(kiln_random(0), 0u);  // no step
    // high = rotl(0x60009755, 16) + 0xDEADBEEF = 0x76031EEF; low = 0xDEADBEEF + high
    EXPECT_EQ(kiln_random(1000), 0x76031EEFu % 1000);
    EXPECT_EQ(kiln_rng_get().high, 0x76031EEFu);
    EXPECT_EQ(kiln_rng_get().low, 0x54B0DDDEu);
    kiln_srand(5);
    EXPECT_EQ(kiln_rng_get().low, 5u);
    EXPECT_EQ(kiln_rng_get().high, 5u ^ 0xBEAD29BAu);
}

TEST(NoteDx, OctavesFractionsAndClamps)
{
    // 880 x 65536 / 22050 = 2615, octave 2 halves once: 439.7 Hz.
    EXPECT_EQ(get_dx_for_note_fine(33 << 16), 1307);
    EXPECT_EQ(get_dx_for_note(33), 1307);
    EXPECT_EQ(get_dx_for_note_fine(45 << 16), 2615);
    EXPECT_EQ(get_dx_for_note_fine(57 << 16), 5230);
    EXPECT_EQ(get_dx_for_note_fine(0), 194);  // 1554 halved three times
    // 33.5: (32768 x 880 + 32768 x 932) / 22050 = 2692, halved.
    EXPECT_EQ(get_dx_for_note_fine((33 << 16) | 0x8000), 1346);
    // -1 is B of octave -1: 984 x 65536 / 22050 = 2924, halved four times.
    EXPECT_EQ(get_dx_for_note_fine(-65536), 182);
    EXPECT_EQ(get_dx_for_note(-1), 182);
    EXPECT_EQ(get_dx_for_note_fine(-100 * 65536), 8);
    EXPECT_EQ(get_dx_for_note_fine(200 * 65536), 32768);
    EXPECT_EQ(get_dx_for_note_fine(INT32_MIN), 8);
    EXPECT_EQ(get_dx_for_note_fine(INT32_MAX), 32768);
    EXPECT_EQ(get_dx_for_note(INT32_MAX), INT32_MAX);  // unclamped, saturated
}

TEST(Waveform, EachAtChosenPhases)
{
    // dx 4096 from phase 0: sample i is taken at p = 4096 i.
    struct {
        int wave, i, want;
    } cases[] = {
        {0, 0, -16128}, {0, 1, -12096}, {0, 8, 16128}, {0, 9, 12096},  // triangle
        {1, 0, -16125}, {1, 7, 0}, {1, 14, 16121}, {1, 15, -3},         // tilted saw: 28672 x 6143 / 14336 = 12286
        {2, 0, -10752}, {2, 8, 0}, {2, 12, 5376},                       // saw: (p - 32768) / 4
        {3, 7, -8062}, {3, 8, 8062},                                    // square: 6143 x 2688 / 2048
        {4, 10, -8062}, {4, 11, 8062},                                  // pulse: duty 5/16
        {5, 0, -10752}, {5, 2, 0}, {5, 4, 10752}, {5, 6, 0},            // organ, first half
        {5, 8, -10752}, {5, 10, -3584}, {5, 12, 3583},                  // second half: q x 2 / 3
        {7, 0, -21504}, {7, 1, -17482},  // phaser: t1 = 2048, t2 = (4096 x 127 / 128) / 4 = 1016
    };
    for (auto c : cases) {
        osc_state o = make(c.wave, 4096, 1792);
        EXPECT_EQ(osc(o, 16)[size_t(c.i)], c.want) << "waveform " << c.wave << " sample " << c.i;
    }
}

TEST(Waveform, PhaserProductWrapsInSigned32Bit)
{
    osc_state o = make(7, 4096, 1792);
    o.phaser_phase = 0x7ffffff0;  // x 127 wraps to 2147481616; / 128 & 0xFFFF = 65520
    EXPECT_EQ(osc(o, 1)[0], -21500);  // t2 = (65535 - 65520) / 4 = 3
    EXPECT_EQ(o.phaser_phase, int32_t(0x7ffffff0u + 4096u));
    o = make(7, 4096, 1792);
    o.phaser_phase = int32_t(0x80000010u);  // a negative product divides toward zero
    EXPECT_EQ(osc(o, 1)[0], -21498);
}

TEST(Waveform, NoiseDrawsFromTheFrameworkGenerator)
{
    // dx 1307: r = 11576, scale 80 (pitch 33); the extra term fires when
    // ((p + 317)(p + 101)) & 0x1FFF < 602.
    kiln_srand(0);
    osc_state o = make(6, 1307, 1792);
    std::vector<int16_t> want = {-4200, -4200, -6825, -6825, -8505, -8505, -4935, -4935};
    EXPECT_EQ(osc(o, 8), want);
    EXPECT_EQ(o.noise, -2976);
    EXPECT_EQ(o.noise_toggle, 0);
}

TEST(Waveform, AmplitudeZeroIsSilenceAndPhaseZero)
{
    osc_state o = make(0, 4096, 0, 1234);
    for (int16_t v : osc(o, 8)) EXPECT_EQ(v, 0);
    EXPECT_EQ(o.phase, 0);
    o = make(3, 1307, 1792, 65000);
    osc(o, 10);
    EXPECT_EQ(o.phase, (65000 + 10 * 1307) & 0xffff);
}

// --- Note effects ------------------------------------------------------------------

struct effects : audio_test {};

TEST_F(effects, Slides)
{
    header(1, 5);
    note(1, 0, 36, 0, 5, 1);  // note 0: from pitch 24, volume kept
    note(1, 1, 48, 0, 1, 1);  // note 1: from note 0
    start(1, 0);
    EXPECT_EQ(at(0, 0).pitch16, 24 << 16);
    // (36 x 65536 + 24 x 65536 x 4) / 5 = 1730150; dx of 26.4 is 1786 / 2.
    EXPECT_EQ(at(0, 1).pitch16, 1730150);
    EXPECT_EQ(ms0[0].osc.dx, 893);
    EXPECT_EQ(ms0[0].osc.amplitude, 1280);
    EXPECT_EQ(at(0, 4).amplitude, 1280);
    EXPECT_EQ(at(0, 5).pitch16, 36 << 16);
    EXPECT_EQ(ms0[0].osc.amplitude, 1280);
    // t = 2: (48 x 2 + 36 x 3) / 5 = 40.8; (256 x 2 + 1280 x 3) / 5 = 870.
    EXPECT_EQ(at(0, 7).pitch16, int32_t((int64_t(48 << 16) * 2 + int64_t(36 << 16) * 3) / 5));
    EXPECT_EQ(ms0[0].osc.amplitude, 870);
}

TEST_F(effects, VibratoDropAndFades)
{
    header(1, 16);
    note(1, 0, 33, 0, 7, 2);
    start(1, 0);
    EXPECT_EQ(at(0, 0).dx, 1307);
    EXPECT_EQ(at(0, 4).dx, 1307 * 130 >> 7);  // v = 2
    EXPECT_EQ(at(0, 12).dx, 1307 * 126 >> 7);  // v = 6
    header(2, 4);
    note(2, 0, 33, 0, 7, 3);
    note(2, 1, 33, 0, 7, 4);
    note(2, 2, 33, 0, 7, 5);
    start(2, 1);
    std::vector<int> dx, amp;
    for (int t = 0; t < 12; t++) {
        const osc_state& o = at(1, t);
        dx.push_back(o.dx);
        amp.push_back(o.amplitude);
    }
    EXPECT_EQ(std::vector<int>(dx.begin(), dx.begin() + 4), (std::vector<int>{1307, 980, 653, 326}));
    EXPECT_EQ(std::vector<int>(amp.begin() + 4, amp.end()),
              (std::vector<int>{0, 448, 896, 1344, 1792, 1344, 896, 448}));
}

TEST_F(effects, ArpeggioCyclesTheGroupOfFour)
{
    for (int i = 0; i < 4; i++) note(1, 4 + i, 10 * (i + 1), 0, 7);
    struct {
        int speed, effect, tick, pitch;
    } cases[] = {
        {16, 6, 80, 10}, {16, 6, 83, 10}, {16, 6, 84, 20}, {16, 6, 88, 30}, {16, 6, 92, 40},  // 4 ticks a step
        {16, 7, 80, 30}, {16, 7, 87, 30}, {16, 7, 88, 40},                                    // 8 ticks
        {8, 6, 40, 10}, {8, 6, 42, 20}, {8, 6, 44, 30}, {8, 6, 46, 40},                       // 2 below speed 9
        {8, 7, 40, 30}, {8, 7, 44, 40},                                                       // 4 below speed 9
    };
    for (auto c : cases) {
        header(1, c.speed);
        note(1, 5, 20, 0, 7, c.effect);
        start(1, 0, 5);
        EXPECT_EQ(at(0, c.tick).pitch16, c.pitch << 16) << "speed " << c.speed << " effect " << c.effect << " tick " << c.tick;
    }
}

TEST_F(effects, MusicScalingAndSilenceAfterTheLastNote)
{
    header(1, 1);
    fill(1, 33, 0, 7);
    note(1, 3, 40, 0, 2, 1);  // a slide from volume 7
    for (int p = 0; p < 64; p++) pattern(p, 1, 64, 64, 64);
    orbo_music_play(0, 0, 0);
    cconfig.music_volume = 128;
    EXPECT_EQ(at(4, 0).amplitude, 896);  // (256 x 1792 / 256) x 128 / 256
    cconfig.music_volume = 0;
    EXPECT_EQ(at(4, 3).amplitude, 0);  // the slide's start is scaled too
    start(1, 0);
    EXPECT_EQ(at(0, 32).amplitude, 0);
    EXPECT_EQ(ms0[0].osc.dx, 0);
}

// --- Instrument notes ------------------------------------------------------------

struct instrument : audio_test {};

TEST_F(instrument, PitchTwentyFourPlaysTheOuterNote)
{
    header(2, 2);
    note(2, 0, 24, 3, 7);
    note(2, 1, 36, 5, 3);
    header(1, 16);
    note(1, 0, 33, 2, 5, 0, true);  // instrument 2 at volume 5
    start(1, 0);
    const osc_state& o = at(0, 0);
    EXPECT_EQ(o.waveform, 3);
    EXPECT_EQ(o.amplitude, 1280);  // 1792 x 1280 / 1792
    EXPECT_EQ(o.pitch16, 33 << 16);
    EXPECT_EQ(o.dx, 1307);
    EXPECT_EQ(o.raw_waveform, 2);
    at(0, 2);  // instrument note 1: 12 semitones up at volume 3
    EXPECT_EQ(ms0[0].osc.pitch16, 45 << 16);
    EXPECT_EQ(ms0[0].osc.dx, 2615);
    EXPECT_EQ(ms0[0].osc.waveform, 5);
    EXPECT_EQ(ms0[0].osc.amplitude, 548);  // 768 x 1280 / 1792
    EXPECT_EQ(ms0[0].osc.noise_volume, 3);
}

TEST_F(instrument, LoopsSlidesAndSilencePastItsLastNote)
{
    header(2, 1, 0, 2);
    note(2, 0, 24, 3, 7);
    note(2, 1, 36, 3, 7);
    header(3, 4);
    note(3, 0, 36, 0, 4, 1);  // slides from 24 at volume 4
    header(4, 1);
    fill(4, 24, 0, 7);
    header(1, 40);
    fill(1, 33, 2, 7, 0, true);
    note(1, 1, 33, 3, 7, 0, true);
    note(1, 2, 33, 4, 7, 0, true);
    start(1, 0);
    std::vector<int> pitches;
    for (int t = 0; t < 5; t++) pitches.push_back(at(0, t).pitch16 >> 16);
    EXPECT_EQ(pitches, (std::vector<int>{33, 45, 33, 45, 33}));
    at(0, 42);  // note 1, instrument tick 2: (36 x 2 + 24 x 2) / 4 = 30
    EXPECT_EQ(ms0[0].osc.pitch16, 39 << 16);
    EXPECT_EQ(ms0[0].osc.amplitude, 1024);
    EXPECT_EQ(at(0, 80 + 31).amplitude, 1792);  // instrument note 31
    for (int t = 80 + 32; t < 120; t++) EXPECT_EQ(at(0, t).amplitude, 0) << t;
}

TEST_F(instrument, RestartOrContinue)
{
    header(2, 1);
    fill(2, 24, 0, 7);
    header(1, 2);
    note(1, 0, 33, 2, 7, 0, true);
    note(1, 1, 33, 2, 7, 0, true);  // same pitch and instrument: continues
    note(1, 2, 40, 2, 7, 0, true);  // other pitch: restarts
    note(1, 3, 40, 2, 7, 3, true);  // same pitch, effect 3: restarts
    note(1, 4, 30, 2, 7, 3, true);  // other pitch, effect 3, same instrument: continues
    note(1, 5, 30, 2, 7, 1, true);  // slide, same instrument: continues
    note(1, 6, 30, 4, 7, 1, true);  // slide, other instrument: restarts
    note(1, 7, 30, 4, 7);           // no instrument: 0 at every tick
    start(1, 0);
    std::vector<int> seen;
    for (int t = 0; t < 16; t++) {
        tick_of(0);
        seen.push_back(ms0[0].inst_tick);  // after the tick's += 1
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 1, 2, 1, 2, 3, 4, 5, 6, 1, 2, 1, 1}));
}

// --- Whole ticks ----------------------------------------------------------------------

struct ticks_test : audio_test {};

TEST_F(ticks_test, CrossFadesAndVolumeZero)
{
    header(1, 1);
    note(1, 0, 33, 0, 7);
    note(1, 1, 33, 0, 3);
    note(1, 2, 33, 0, 0);
    note(1, 3, 33, 0, 7);
    start(1, 0);
    auto t0 = tick_of(0);  // from silence
    EXPECT_EQ(t0[0], 0);
    EXPECT_EQ(t0[1], -231);  // p = 1307: -14840 x 1 / 64
    EXPECT_EQ(t0[64], 1701);  // p = 64 x 1307 & 0xFFFF = 18112, no longer faded
    auto t1 = tick_of(0);  // volume 7 to 3
    EXPECT_EQ(t1[0], 6475);  // all old: p = 42573, w = 4934
    // i = 32, p = 18861, w = 1857: old 2437, new 1044; (2437 + 1044) x 32 / 64.
    EXPECT_EQ(t1[32], 1740);
    auto t2 = tick_of(0);  // volume 0: fades out, then silence at phase 0
    EXPECT_NE(t2[1], 0);
    EXPECT_EQ(t2[64], 0);
    EXPECT_EQ(ms0[0].osc.phase, 0);
    auto t3 = tick_of(0);  // starts again at phase 0
    EXPECT_EQ(t3[1], -231);
    EXPECT_EQ(t3[64], 1701);
    header(2, 4);
    fill(2, 33, 0, 7);
    start(2, 1);
    tick_of(1);
    osc_state o = ms0[1].osc;
    std::vector<int16_t> want = osc(o, ORBO_TICK);
    EXPECT_EQ(tick_of(1), want);  // unchanged settings: seamless
}

TEST_F(ticks_test, SpeedZeroPlaysLikeSpeedOne)
{
    header(1, 1);
    header(2, 0);
    for (int i = 0; i < 32; i++) {
        note(1, i, i * 2, i & 7, 1 + i % 7, i % 6);
        note(2, i, i * 2, i & 7, 1 + i % 7, i % 6);
    }
    start(1, 0);
    start(2, 1);
    for (int i = 0; i < 34; i++) {
        kiln_srand(uint32_t(i + 1));
        auto a = tick_of(0);
        kiln_srand(uint32_t(i + 1));
        ASSERT_EQ(tick_of(1), a) << "tick " << i;
    }
    EXPECT_EQ(ms0[1].sfx, -1);
}

TEST_F(ticks_test, StopRules)
{
    header(1, 1);
    for (int i = 0; i < 10; i++) note(1, i, 33, 0, 5);
    header(2, 1);
    for (int i = 0; i < 10; i++) note(2, i, 33, 0, 5);
    note(2, 10, 40, 0, 0, 1);  // a silent slide keeps its note
    header(3, 1);
    note(3, 31, 40, 0, 0, 1);  // not on note 31
    header(4, 2);
    fill(4, 33, 0, 5);
    start(1, 0);
    start(2, 1);
    start(3, 2, 31);
    start(4, 3, 0, 3);  // three notes of two ticks
    std::vector<int> last_tick(4, -1);
    for (int t = 0; t < 14; t++)
        for (int v = 0; v < 4; v++)
            if (ms0[v].sfx >= 0) {
                tick_of(v);
                last_tick[size_t(v)] = t;
            }
    EXPECT_EQ(last_tick, (std::vector<int>{10, 11, 0, 5}));
}

TEST_F(ticks_test, LoopReleaseAndKeepAlive)
{
    header(1, 1, 0, 2);
    for (int i = 0; i < 4; i++) note(1, i, 30 + i, 0, 5);
    start(1, 0);
    std::vector<int> ticks;
    for (int i = 0; i < 4; i++) {
        tick_of(0);
        ticks.push_back(ms0[0].tick);
    }
    EXPECT_EQ(ticks, (std::vector<int>{1, 0, 1, 0}));  // tick 2 wraps to loop_start x S
    orbo_sfx_release_loop(0);  // sfx(-2, 0)
    std::vector<int> pitches;
    for (int i = 0; i < 4; i++) pitches.push_back(at(0, i).raw_pitch);
    EXPECT_EQ(pitches, (std::vector<int>{30, 31, 32, 33}));  // on past the loop end
    EXPECT_EQ(ms0[0].sfx, 1);
    tick_of(0);  // note 4: the rest is silent
    EXPECT_EQ(ms0[0].sfx, -1);
    // A released loop no longer keeps the voice (loop_start 0 included).
    header(2, 1, 0, 8);
    fill(2, 33, 0, 5);
    start(2, 1);
    orbo_sfx_release_loop(1);
    for (int i = 0; i < 33; i++) tick_of(1);
    EXPECT_EQ(ms0[1].sfx, -1);
    // A loop of silent notes keeps it; loop_start above loop_end is no loop.
    header(3, 1, 2, 4);
    start(3, 2);
    for (int i = 0; i < 100; i++) tick_of(2);
    EXPECT_EQ(ms0[2].sfx, 3);
    header(4, 1, 5, 2);
    fill(4, 33, 0, 5);
    start(4, 3);
    for (int i = 0; i < 33; i++) tick_of(3);
    EXPECT_EQ(ms0[3].sfx, -1);
}

TEST_F(ticks_test, AStoppedVoiceFadesOutOverSixtyFourSamples)
{
    header(1, 1);
    note(1, 0, 33, 3, 7);
    start(1, 0);
    tick_of(0);
    orbo_sfx_stop_channel(0);
    osc_state o = ms0[0].osc;
    std::vector<int16_t> raw = osc(o, ORBO_XFADE);
    auto t = tick_of(0);
    for (int i = 0; i < ORBO_TICK; i++) EXPECT_EQ(t[size_t(i)], i < 64 ? raw[size_t(i)] * (64 - i) / 64 : 0) << i;
    EXPECT_EQ(ms0[0].osc.amplitude, 0);
}

TEST_F(ticks_test, PokesTakeEffectAtTheNextTickAndAreReadAsMemoryHoldsThem)
{
    header(1, 32);
    fill(1, 33, 0, 7);
    start(1, 0);
    EXPECT_EQ(at(0, 0).dx, 1307);
    sfx(1).notes[0].pitch = 45;
    EXPECT_EQ(at(0, 1).dx, 2615);
    header(2, 100000, -5, 100000);
    note(2, 0, 33 + 64, 8 + 3, 7 + 8, 8);
    start(2, 1);
    const osc_state& o = at(1, 0);
    EXPECT_EQ(o.raw_pitch, 33);
    EXPECT_EQ(o.raw_waveform, 3);
    EXPECT_EQ(o.raw_volume, 7);
    EXPECT_EQ(synth_speed(sfx(2)), 255);
    EXPECT_EQ(synth_loop_start(sfx(2)), 0);
    EXPECT_EQ(synth_loop_end(sfx(2)), 255);
}

}  // namespace
}  // namespace audiotest
