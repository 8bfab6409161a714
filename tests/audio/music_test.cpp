// The music sequencer: pattern lengths, pattern ends with the loop and stop
// flags, song start, fades, the music stat values and music against sfx.
#include "audio_fixture.h"

namespace audiotest {
namespace {

constexpr int OFF = 64;  // a disabled channel

struct music_test : audio_test {
    void SetUp() override
    {
        audio_test::SetUp();
        header(1, 1);  // 32 ticks of a quiet triangle
        fill(1, 33, 0, 3);
        for (int p = 0; p < 64; p++) pattern(p, OFF, OFF + 1, OFF + 2, OFF + 3);
    }
    // Patterns a..b play sfx 1 on channel 0, flags as given.
    void song(int a, int b, std::initializer_list<std::pair<int, int>> flags = {})
    {
        for (int p = a; p <= b; p++) pattern(p, 1, OFF, OFF, OFF);
        for (auto [p, f] : flags) cart->music_flags[p] = f;
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

TEST_F(music_test, PatternLengths)
{
    header(1, 16);
    header(2, 8);
    pattern(0, 1, 2, OFF, OFF);  // channel 0 decides, not the longest
    pattern(1, 1, 2, OFF, OFF);
    EXPECT_EQ(music_pattern_length(*cart, 0), 512);
    header(3, 16, 0, 4);
    header(4, 4);
    pattern(2, 3, OFF, 4, OFF);  // the only non-looping channel decides
    EXPECT_EQ(music_pattern_length(*cart, 2), 128);
    header(5, 20, 0, 1);
    pattern(3, 3, 5, OFF, OFF);  // all looping: the longest
    EXPECT_EQ(music_pattern_length(*cart, 3), 640);
    EXPECT_EQ(music_pattern_length(*cart, 4), 0);

    orbo_music_play(0, 0, 0);
    ticks(511);
    EXPECT_EQ(orbo_music_pattern(), 0);
    EXPECT_EQ(orbo_music_patterns_played(), 0);
    ticks(1);
    EXPECT_EQ(orbo_music_pattern(), 1);
    EXPECT_EQ(orbo_music_patterns_played(), 1);
    EXPECT_EQ(orbo_music_ticks(), 0);
}

TEST_F(music_test, LoopBack)
{
    song(0, 5, {{2, 1}, {5, 2}});
    orbo_music_play(0, 0, 0);
    EXPECT_EQ(sequence(10), (std::vector<int>{1, 2, 3, 4, 5, 2, 3, 4, 5, 2}));
    EXPECT_EQ(orbo_music_patterns_played(), 10);
    song(0, 5, {{2, 0}, {5, 2}});  // no loop start anywhere: back to 0
    orbo_music_play(3, 0, 0);
    EXPECT_EQ(orbo_music_patterns_played(), 0);
    EXPECT_EQ(sequence(4), (std::vector<int>{4, 5, 0, 1}));
    song(0, 5, {{1, 1}, {3, 3}, {5, 0}});  // its own loop start: repeats
    orbo_music_play(0, 0, 0);
    EXPECT_EQ(sequence(5), (std::vector<int>{1, 2, 3, 3, 3}));
    song(0, 0, {{0, 2}});
    orbo_music_play(0, 0, 0);
    EXPECT_EQ(sequence(2), (std::vector<int>{0, 0}));
}

TEST_F(music_test, SongEnds)
{
    song(0, 5, {{2, 4 | 2 | 1}});  // stop wins over the loop bits
    orbo_music_play(0, 0, 0);
    EXPECT_EQ(sequence(3), (std::vector<int>{1, 2, -1}));
    EXPECT_EQ(orbo_music_pattern(), 0);
    EXPECT_EQ(orbo_music_patterns_played(), 0);
    EXPECT_TRUE(music_idle());
    song(62, 63);
    orbo_music_play(62, 0, 0);  // past pattern 63
    EXPECT_EQ(sequence(2), (std::vector<int>{63, -1}));
    song(10, 10);
    orbo_music_play(10, 0, 0);  // an empty next pattern
    EXPECT_EQ(sequence(1), (std::vector<int>{-1}));
    EXPECT_TRUE(music_idle());
    orbo_music_play(20, 0, 0);  // an empty first pattern does not start
    EXPECT_FALSE(orbo_music_is_playing());
    song(0, 63);
    orbo_music_play(70, 0, 0);  // music(70)
    EXPECT_EQ(orbo_music_pattern(), 63);
    orbo_music_play(-2, 0, 0);  // music(-2)
    EXPECT_EQ(orbo_music_pattern(), 0);
}

TEST_F(music_test, AHalfRateChannelLagsBehindAStopFlag)
{
    song(0, 0, {{0, 4}});
    cart->music[0][1] = 1;
    masks[0] = 1;  // channel 0 at half rate
    orbo_music_play(0, 0, 0);
    ticks(32);  // channel 1 met the stop flag; channel 0 is half way
    EXPECT_TRUE(orbo_music_is_playing());
    EXPECT_EQ(orbo_music_pattern(), 0);
    ticks(40);
    EXPECT_FALSE(orbo_music_is_playing());
}

TEST_F(music_test, StatValuesLookAtTheSfxVoiceFirst)
{
    header(2, 2);
    fill(2, 40, 1, 4);
    pattern(0, 1, 2, OFF, OFF);
    orbo_music_play(0, 0, 0);
    ticks(10);
    EXPECT_EQ(orbo_music_ticks(), 10);
    EXPECT_EQ(orbo_channel_sfx(0), 1);
    EXPECT_EQ(orbo_channel_note(0), 10);
    EXPECT_EQ(orbo_channel_note(1), 5);
    EXPECT_EQ(orbo_channel_sfx(2), -1);  // a disabled music channel
    EXPECT_EQ(orbo_channel_note(3), -1);
    header(3, 2);
    orbo_sfx_play(3, 1, 4, 0);
    EXPECT_EQ(orbo_channel_sfx(1), 3);
    EXPECT_EQ(orbo_channel_note(1), 4);
    orbo_sfx_play(2, 3, 0, 0);  // the same sfx as the music's channel 1
    EXPECT_EQ(orbo_channel_note(3), 0);  // its own note, not channel 1's
    EXPECT_EQ(orbo_channel_sfx(-1), -1);
    EXPECT_EQ(orbo_channel_sfx(4), -1);
}

TEST_F(music_test, FadeInAndOut)
{
    song(0, 63);
    g_now_ms = 100;
    orbo_music_play(0, 1000, 0);  // from silence over one second
    EXPECT_EQ(synth_music_fade(), 0);
    EXPECT_EQ(at(4, 0).amplitude, 0);
    g_now_ms = 600;
    orbo_update_music_fading();
    EXPECT_EQ(synth_music_fade(), 0x8000);
    EXPECT_EQ(at(4, 1).amplitude, 384);  // (128 x 768 / 256) x 256 / 256
    g_now_ms = 1100;
    orbo_update_music_fading();
    EXPECT_EQ(synth_music_fade(), 0x10000);
    orbo_music_play(3, 1000, 0);  // already at the target level: nothing to fade
    EXPECT_EQ(synth_music_fade(), 0x10000);

    ticks(40);
    g_now_ms = 2000;
    orbo_music_stop(500);  // music(-1, 500)
    g_now_ms = 2250;
    orbo_update_music_fading();
    EXPECT_EQ(synth_music_fade(), 0x8000);
    EXPECT_EQ(orbo_music_pattern(), 4);  // stat(24) stays until the fade ends
    g_now_ms = 2500;
    orbo_update_music_fading();
    EXPECT_EQ(synth_music_fade(), 0);
    EXPECT_FALSE(orbo_music_is_playing());
    EXPECT_TRUE(music_idle());
}

TEST_F(music_test, ImmediateStops)
{
    song(0, 63);
    orbo_music_play(0, 0, 0);
    orbo_music_stop(0);
    EXPECT_TRUE(music_idle());
    orbo_music_play(0, -100, 0);  // a negative fade is none
    EXPECT_EQ(synth_music_fade(), 0x10000);
    orbo_music_stop(-5);
    EXPECT_TRUE(music_idle());
    orbo_music_play(0, 1000, 0);  // at level 0
    orbo_music_stop(500);
    EXPECT_TRUE(music_idle());
    orbo_music_play(0, 0, 0);
    orbo_cart_ptr other = orbo_create_cart();
    orbo_stop_song(other.get());
    EXPECT_TRUE(orbo_music_is_playing());
    orbo_stop_song(cart.get());
    EXPECT_FALSE(orbo_music_is_playing());
}

TEST_F(music_test, AnSfxSilencesTheMusicOnItsChannelWhichKeepsItsPlace)
{
    header(2, 1);
    fill(2, 45, 3, 5);
    pattern(0, OFF, OFF, 1, OFF);
    orbo_music_play(0, 0, 0);
    ticks(3);
    orbo_sfx_play(2, 2, 0, 8);
    for (int t = 0; t < 3; t++) {
        auto out = render(ORBO_TICK);
        for (int i = 0; i < ORBO_TICK; i++) ASSERT_EQ(out[size_t(i)], ms0[2].out[i]);  // the sfx alone
    }
    EXPECT_EQ(orbo_music_ticks(), 6);  // the music went on
    orbo_sfx_stop_channel(2);
    auto out = render(ORBO_TICK);
    EXPECT_NE(out, std::vector<int16_t>(ORBO_TICK, 0));
}

TEST_F(music_test, StoppingItsSfxStopsAMusicVoiceForTheRestOfTheSong)
{
    header(2, 1);
    fill(2, 40, 0, 3);
    song(0, 3);
    for (int p = 0; p <= 3; p++) cart->music[p][1] = 2;
    orbo_music_play(0, 0, 0);
    ticks(5);
    orbo_sfx_stop_effect(1);  // what sfx(1) does first
    ticks(27 + 32);
    EXPECT_EQ(orbo_music_pattern(), 2);
    EXPECT_EQ(orbo_channel_sfx(0), -1);
    EXPECT_EQ(orbo_channel_sfx(1), 2);
}

TEST_F(music_test, FreeingARecordStopsItsVoicesAndDetachesIt)
{
    orbo_cart_ptr other = orbo_create_cart();
    other->sfx[1] = cart->sfx[1];
    other->music[0][0] = 1;
    orbo_play_song(other.get(), 0, 0);
    orbo_play_sfx_ex(1, 0, 0, other.get(), 0);
    other.reset();
    EXPECT_FALSE(orbo_any_sound_is_playing());
    EXPECT_EQ(orbo_audio_cart(), cart.get());
    ticks(3);
    orbo_cart_ptr live = orbo_create_cart();
    orbo_audio_attach(live.get(), masks);
    live.reset();
    EXPECT_EQ(orbo_audio_cart(), nullptr);
    orbo_sfx_play(1, -1, 0, 0);  // nothing attached: nothing plays
    orbo_music_play(0, 0, 0);
    EXPECT_FALSE(orbo_any_sound_is_playing());
}

TEST_F(music_test, RandomPatternMemoryAndEveryFlagWhilePlaying)
{
    for (int p = 0; p < 64; p++) pattern(p, (p * 7) % 3 ? p : OFF, (p * 5) % 4 ? 1 : OFF, p % 5 ? OFF : 1, OFF, p & 7);
    uint32_t x = 12345;
    for (int frame = 0; frame < 400; frame++) {
        if (frame % 40 == 0) orbo_music_play(frame / 7, 0, frame & 15);
        if (frame > 200)
            for (int i = 0; i < 16; i++) {
                x = x * 1103515245u + 12345u;
                int p = (x >> 8) & 63;
                cart->music[p][(x >> 16) & 3] = int32_t(x >> 3);  // any value, negative too
                cart->music_flags[p] = int32_t(x);
                cart->sfx[(x >> 20) & 63].speed = int32_t(x >> 1) - 5;
            }
        render(735);
        ASSERT_GE(orbo_music_pattern(), 0);
        ASSERT_LE(orbo_music_pattern(), 63);
    }
}

}  // namespace
}  // namespace audiotest
