// Sample-exact ticks worked out by hand from the algorithms, one for each
// family the golden hashes cannot explain. Volume 7 is amplitude 1792: a
// triangle sample is w x 2688 / 2048 toward zero.
#include "audio_fixture.h"

namespace audiotest {
namespace {

struct synth_test : audio_test {};

TEST_F(synth_test, TriangleCrossFadeAndVolumeZeroResettingThePhase)
{
    EXPECT_EQ(get_dx_for_note(33), 1307);  // 880 x 65536 / 22050, halved once
    header(1, 1);
    for (int i = 0; i < 4; i++) note(1, i, 33, 0, 7);  // then volumes 3 and 0 between
    note(1, 1, 33, 0, 3);
    note(1, 2, 33, 0, 0);
    start(1, 0);
    auto t0 = tick_of(0);  // from silence
    EXPECT_EQ(t0[0], 0);
    EXPECT_EQ(t0[1], -231);  // p = 1307: -14840 x 1 / 64
    EXPECT_EQ(t0[64], 1701);  // p = 64 x 1307 & 0xFFFF = 18112, no longer faded
    auto t1 = tick_of(0);  // volume 7 to 3
    EXPECT_EQ(t1[0], 6475);  // all old: p = 42573, w = 4934
    EXPECT_EQ(t1[32], 1740);  // p = 18861, w = 1857: old 2437, new 1044; (2437 + 1044) x 32 / 64
    auto t2 = tick_of(0);  // volume 0: fades out, then silence at phase 0
    EXPECT_NE(t2[1], 0);
    EXPECT_EQ(t2[64], 0);
    EXPECT_EQ(ms0[0].osc.phase, 0);
    auto t3 = tick_of(0);  // starts again at phase 0
    EXPECT_EQ(t3[1], -231);
    EXPECT_EQ(t3[64], 1701);
}

TEST_F(synth_test, ArpeggioCyclesTheGroupOfFour)
{
    for (int i = 0; i < 4; i++) note(1, 4 + i, 10 * (i + 1), 0, 7);
    struct {
        int speed, effect, tick, pitch;
    } cases[] = {
        {16, 6, 83, 10}, {16, 6, 84, 20}, {16, 6, 92, 40},  // 4 ticks a step
        {16, 7, 87, 30}, {16, 7, 88, 40},                   // 8 ticks
        {8, 6, 42, 20}, {8, 6, 46, 40},                     // 2 below speed 9
        {8, 7, 40, 30}, {8, 7, 44, 40},                     // 4 below speed 9
    };
    for (auto c : cases) {
        header(1, c.speed);
        note(1, 5, 20, 0, 7, c.effect);
        start(1, 0, 5);
        EXPECT_EQ(at(0, c.tick).pitch16, c.pitch << 16) << "speed " << c.speed << " effect " << c.effect << " tick " << c.tick;
    }
}

TEST_F(synth_test, SlideFromNoteZero)
{
    header(1, 5);
    note(1, 0, 36, 0, 5, 1);  // note 0: from pitch 24, volume kept
    note(1, 1, 48, 0, 1, 1);
    start(1, 0);
    EXPECT_EQ(at(0, 0).pitch16, 24 << 16);
    // (36 x 65536 + 24 x 65536 x 4) / 5 = 1730150; dx of 26.4 is 1786 / 2.
    EXPECT_EQ(at(0, 1).pitch16, 1730150);
    EXPECT_EQ(ms0[0].osc.dx, 893);
    EXPECT_EQ(ms0[0].osc.amplitude, 1280);
    EXPECT_EQ(at(0, 5).pitch16, 36 << 16);
}

TEST_F(synth_test, InstrumentNoteAtPitchTwentyFourPlaysTheOuterNote)
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
    EXPECT_EQ(o.dx, 1307);
    at(0, 2);  // instrument note 1: 12 semitones up at volume 3
    EXPECT_EQ(ms0[0].osc.dx, 2615);
    EXPECT_EQ(ms0[0].osc.waveform, 5);
    EXPECT_EQ(ms0[0].osc.amplitude, 548);  // 768 x 1280 / 1792
}

TEST_F(synth_test, ReleasingALoopPlaysOnPastItsEnd)
{
    header(1, 1, 0, 2);
    for (int i = 0; i < 4; i++) note(1, i, 30 + i, 0, 5);
    start(1, 0);
    std::vector<int> ticks;
    for (int i = 0; i < 4; i++) {
        tick_of(0);
        ticks.push_back(ms0[0].tick);
    }
    EXPECT_EQ(ticks, (std::vector<int>{1, 0, 1, 0}));  // tick 2 wraps to loop_start x speed
    orbo_sfx_release_loop(0);  // sfx(-2, 0)
    std::vector<int> pitches;
    for (int i = 0; i < 4; i++) pitches.push_back(at(0, i).raw_pitch);
    EXPECT_EQ(pitches, (std::vector<int>{30, 31, 32, 33}));
    tick_of(0);  // note 4: the rest is silent
    EXPECT_EQ(ms0[0].sfx, -1);
}

TEST_F(synth_test, SoftClipperAtItsKnee)
{
    struct {
        int32_t in, out;
    } knee[] = {{24575, 24575}, {24576, 24576}, {24577, 24576}, {24581, 24577}, {-24580, -24576},
                {-24581, -24577}, {32256, 26112}, {65534, 32767}, {-65536, -32768}};
    for (auto k : knee) EXPECT_EQ(mix_clip(k.in), k.out) << k.in;
    header(1, 8);
    fill(1, 33, 3, 7);
    for (int v = 0; v < 4; v++) start(1, v);
    // Four full squares of -16124 each, far past the knee.
    EXPECT_EQ(render(ORBO_TICK)[64], -24882);
}

TEST_F(synth_test, PitchThirtyThreeTriangleMeasures439Point7Hz)
{
    header(1, 255);
    fill(1, 33, 0, 7);
    start(1, 0);
    auto out = render(ORBO_AUDIO_RATE);
    // Upward zero crossings after the first tick, interpolated linearly.
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = ORBO_TICK; i < out.size(); i++)
        if (out[i - 1] < 0 && out[i] >= 0) {
            double at = double(i - 1) + double(-out[i - 1]) / double(out[i] - out[i - 1]);
            if (first < 0) first = at;
            last = at;
            crossings++;
        }
    ASSERT_GT(crossings, 400);
    EXPECT_NEAR((crossings - 1) / ((last - first) / ORBO_AUDIO_RATE), 439.7, 0.5);
}

}  // namespace
}  // namespace audiotest
