// Edge cases of the sequencer and the mixer: pattern lengths, loop back and
// stop flags, fades, the channel choice, sfx(-1) and sfx(-2), the four
// channel effects and the pause state.
#include "audio_fixture.h"

namespace audiotest {
namespace {

constexpr int OFF = 64;  // a disabled channel

struct mixer_test : audio_test {
    void SetUp() override
    {
        audio_test::SetUp();
        header(1, 1);  // 32 ticks of a quiet triangle
        fill(1, 33, 0, 3);
        for (int p = 0; p < 64; p++) pattern(p, OFF, OFF + 1, OFF + 2, OFF + 3);
    }
    // stat(24) after each further pattern of 32 ticks; -1 once the music ended.
    std::vector<int> sequence(int n)
    {
        std::vector<int> seen;
        for (int i = 0; i < n; i++) {
            ticks(32);
            seen.push_back(orbo_music_is_playing() ? orbo_music_pattern() : -1);
        }
        return seen;
    }
    bool music_idle()
    {
        for (int v = 4; v < 8; v++)
            if (ms0[v].sfx >= 0 || ms0[v].is_music) return false;
        return true;
    }
};

TEST_F(mixer_test, PatternLengths)
{
    header(2, 16);
    header(3, 8);
    header(4, 16, 0, 4);
    header(5, 4);
    header(6, 20, 0, 1);
    struct {
        int c0, c1, c2, length;
    } cases[] = {
        {2, 3, OFF, 512},  // channel 0 decides, not the longest
        {4, OFF, 5, 128},  // the only non-looping channel decides
        {4, 6, OFF, 640},  // all looping: the longest
        {OFF, OFF, OFF, 0},
    };
    for (auto c : cases) {
        pattern(0, c.c0, c.c1, c.c2, OFF);
        EXPECT_EQ(music_pattern_length(*cart, 0), c.length) << c.c0 << " " << c.c1 << " " << c.c2;
    }
    pattern(0, 2, 3, OFF, OFF);
    pattern(1, 2, 3, OFF, OFF);
    orbo_music_play(0, 0, 0);
    ticks(511);
    EXPECT_EQ(orbo_music_pattern(), 0);
    ticks(1);
    EXPECT_EQ(orbo_music_pattern(), 1);
    EXPECT_EQ(orbo_music_patterns_played(), 1);
}

TEST_F(mixer_test, LoopBackAndStopFlags)
{
    struct {
        int first, last, start;
        std::vector<std::pair<int, int>> flags;  // pattern, flags
        std::vector<int> seen;
    } cases[] = {
        {0, 5, 0, {{2, 1}, {5, 2}}, {1, 2, 3, 4, 5, 2, 3, 4, 5, 2}},
        {0, 5, 3, {{5, 2}}, {4, 5, 0, 1}},               // no loop start anywhere: back to 0
        {0, 5, 0, {{1, 1}, {3, 3}}, {1, 2, 3, 3, 3}},    // its own loop start: repeats
        {0, 0, 0, {{0, 2}}, {0, 0}},
        {0, 5, 0, {{2, 4 | 2 | 1}}, {1, 2, -1}},         // stop wins over the loop bits
        {62, 63, 62, {}, {63, -1}},                      // past pattern 63
        {10, 10, 10, {}, {-1}},                          // an empty next pattern
    };
    for (auto& c : cases) {
        for (int p = 0; p < 64; p++) pattern(p, p >= c.first && p <= c.last ? 1 : OFF, OFF, OFF, OFF);
        for (auto [p, f] : c.flags) cart->music_flags[p] = f;
        orbo_music_play(c.start, 0, 0);
        EXPECT_EQ(sequence(int(c.seen.size())), c.seen) << "from " << c.start;
        EXPECT_TRUE(c.seen.back() >= 0 || music_idle());
    }
    orbo_music_play(20, 0, 0);  // an empty first pattern does not start
    EXPECT_FALSE(orbo_music_is_playing());
    for (int p = 0; p < 64; p++) pattern(p, 1, OFF, OFF, OFF);
    orbo_music_play(70, 0, 0);
    EXPECT_EQ(orbo_music_pattern(), 63);
    orbo_music_play(-2, 0, 0);
    EXPECT_EQ(orbo_music_pattern(), 0);
}

TEST_F(mixer_test, FadesAndMusicMinusOne)
{
    for (int p = 0; p < 64; p++) pattern(p, 1, OFF, OFF, OFF);
    g_now_ms = 100;
    orbo_music_play(0, 1000, 0);  // from silence over one second
    EXPECT_EQ(at(4, 0).amplitude, 0);
    g_now_ms = 600;
    orbo_update_music_fading();
    EXPECT_EQ(synth_music_fade(), 0x8000);
    EXPECT_EQ(at(4, 1).amplitude, 384);  // (128 x 768 / 256) x 256 / 256
    g_now_ms = 1100;
    orbo_update_music_fading();
    EXPECT_EQ(synth_music_fade(), 0x10000);
    ticks(40);
    g_now_ms = 2000;
    orbo_music_stop(500);  // music(-1, 500)
    g_now_ms = 2250;
    orbo_update_music_fading();
    EXPECT_EQ(synth_music_fade(), 0x8000);
    EXPECT_EQ(orbo_music_pattern(), 1);  // stat(24) stays until the fade ends
    g_now_ms = 2500;
    orbo_update_music_fading();
    EXPECT_FALSE(orbo_music_is_playing());
    EXPECT_TRUE(music_idle());
    // Immediate stops: music(-1), a negative fade, a fade out from level 0.
    for (int fade_in : {0, -100, 1000}) {
        orbo_music_play(0, fade_in, 0);
        orbo_music_stop(fade_in == 1000 ? 500 : -5);
        EXPECT_TRUE(music_idle()) << fade_in;
    }
}

TEST_F(mixer_test, ChannelChoiceAndReplacingAVoice)
{
    auto play_all = [&](std::initializer_list<int> sfx) {
        std::vector<int> got;
        for (int n : sfx) got.push_back(orbo_play_sfx_ex(n, 0, 0, cart.get(), -1));
        return got;
    };
    for (int n = 2; n < 20; n++) {
        header(n, 4);
        fill(n, 30 + n, n & 7, 3);
    }
    for (int p = 0; p < 64; p++) pattern(p, 1, 1, OFF, OFF + 1);  // music on channels 0 and 1
    orbo_music_play(0, 0, 0);
    // Disabled music channels first, then idle sfx voices over music.
    EXPECT_EQ(play_all({2, 3, 4, 5}), (std::vector<int>{2, 3, 0, 1}));
    orbo_stop_all_sounds();
    header(3, 6);
    orbo_music_play(0, 0, 3);  // channels 0 and 1 reserved
    EXPECT_EQ(play_all({2, 3, 4}), (std::vector<int>{2, 3, 2}));  // speed 4 < 6 on channel 3
    orbo_stop_all_sounds();
    // All busy: the smallest speed goes, the higher channel on ties.
    int speeds[4] = {10, 5, 7, 5};
    for (int k = 0; k < 4; k++) {
        header(10 + k, speeds[k]);
        start(10 + k, k);
    }
    EXPECT_EQ(play_all({14}), (std::vector<int>{3}));
    header(14, 9);
    EXPECT_EQ(play_all({15}), (std::vector<int>{1}));
}

TEST_F(mixer_test, SfxMinusOneAndMinusTwo)
{
    header(2, 1, 0, 8);
    fill(2, 33, 0, 5);
    for (int p = 0; p < 64; p++) pattern(p, 1, OFF, OFF, OFF);
    orbo_music_play(0, 0, 0);
    start(2, 1);
    start(2, 2);
    orbo_sfx_stop_channel(2);  // sfx(-1, 2)
    EXPECT_EQ(orbo_channel_sfx(2), -1);
    orbo_sfx_release_loop(1);  // sfx(-2, 1): a released loop no longer keeps the voice
    ticks(33);
    EXPECT_EQ(orbo_channel_sfx(1), -1);
    start(2, 3);
    orbo_sfx_stop_channel(-1);  // the four sfx voices; the music goes on
    EXPECT_EQ(orbo_channel_sfx(3), -1);
    EXPECT_EQ(orbo_channel_sfx(0), 1);
    EXPECT_TRUE(orbo_music_is_playing());
    header(3, 1, 2, 4);  // a loop of silent notes keeps its voice
    start(3, 2);
    ticks(100);
    EXPECT_EQ(orbo_channel_sfx(2), 3);
    orbo_stop_all_sounds();
    EXPECT_FALSE(orbo_any_sound_is_playing());
}

TEST_F(mixer_test, ChannelEffects)
{
    // Levels stay inside the clipper's linear range, echoes too, so the
    // mixed output is the voice's own.
    auto with = [&](int reg, int bits, int samples) {
        orbo_audio_reset();
        kiln_srand(0);
        header(2, 3);
        for (int i = 0; i < 32; i++) {
            bool noise = i % 6 == 5;
            note(2, i, 20 + (i * 5) % 30, noise ? 6 : i & 3, noise ? 2 : 6 - (i % 3));
        }
        for (int32_t& m : masks) m = 0;
        start(2, 0);
        masks[reg] = bits;
        return render(samples);
    };
    const int n = 12 * ORBO_TICK;
    auto a = with(0, 0, n);
    auto slow = with(0, 1, n), echo = with(1, 1, n), crushed = with(2, 1, n), smooth = with(3, 1, n);
    int32_t y = 0;
    for (int i = 0; i < n; i++) {
        int32_t s = a[size_t(i)], earlier = i >= 4 * ORBO_TICK ? echo[size_t(i - 4 * ORBO_TICK)] : 0;
        y = (s + 7 * y) / 8;
        ASSERT_EQ(slow[size_t(i)], a[size_t(i / 2)]) << i;  // every sample twice
        ASSERT_EQ(echo[size_t(i)], (s * 3 + earlier * 2) / 4) << i;  // adds the output of four ticks earlier
        ASSERT_EQ(crushed[size_t(i)], s >= 0 ? (s & 0xf000) : -((-s) & 0xf000)) << i;
        ASSERT_EQ(smooth[size_t(i)], y) << i;
    }
    EXPECT_EQ(with(2, 0xe, n), a);  // other channels' bits
}

TEST_F(mixer_test, PauseStateCountsUpAfterAnUnpause)
{
    int s = 0;
    std::vector<int> seen;
    for (bool menu : {false, true, true, false, false, false, false, false, false}) {
        s = orbo_audio_pause_next(s, true, 0, menu);
        seen.push_back(s);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 1, 2, 3, 4, 5, 0, 0}));
    struct {
        int state;
        bool program;
        int reg;  // 0x5F2F
        bool menu;
        int next;
    } cases[] = {
        {3, true, 2, true, 0},    // 2: plays under the menu
        {1, true, 1, false, 1},   // 1: held paused
        {1, true, 0, false, 2}, {4, true, 7, true, 1}, {-3, true, 0, false, 0},
        {1, false, 1, true, 2},   // no program
        {5, false, 0, false, 0},
    };
    for (auto c : cases) EXPECT_EQ(orbo_audio_pause_next(c.state, c.program, c.reg, c.menu), c.next) << c.state << " " << c.reg;
    // While paused the output is silent and nothing moves.
    start(1, 0);
    kiln_state.audio_pause = 3;
    EXPECT_EQ(render(ORBO_TICK * 4), std::vector<int16_t>(ORBO_TICK * 4, 0));
    EXPECT_EQ(orbo_channel_note(0), 0);
}

}  // namespace
}  // namespace audiotest
