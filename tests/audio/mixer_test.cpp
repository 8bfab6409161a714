// The mixer: the soft clipper, the channel choice and the sfx calls, the
// four channel effects, volume, pause, block sizes, the counted lock, the
// WAV writer and the pitch of a rendered note.
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include "audio_fixture.h"

namespace audiotest {
namespace {

struct mixer_test : audio_test {
    // sfx n: a square of volume 7 on voice v.
    void square_on(int n, int v)
    {
        header(n, 8);
        fill(n, 33, 3, 7);
        start(n, v);
    }
};

TEST_F(mixer_test, SoftClipperAtItsKneeAndOnFullSquares)
{
    struct {
        int32_t in, out;
    } knee[] = {{24575, 24575}, {24576, 24576}, {24577, 24576}, {24581, 24577}, {-24575, -24575},
                {-24580, -24576}, {-24581, -24577}, {32256, 26112}, {65534, 32767}, {-65536, -32768}};
    for (auto k : knee) EXPECT_EQ(mix_clip(k.in), k.out) << k.in;
    square_on(1, 0);
    square_on(1, 1);
    EXPECT_EQ(render(ORBO_TICK)[64], -16124);  // two full squares: unclipped
    orbo_audio_reset();
    for (int v = 0; v < 4; v++) square_on(1, v);
    // clip(-16124 - 16124) = -26110, then clip(-26110 + 0) with silent music.
    EXPECT_EQ(render(ORBO_TICK)[64], -24882);
}

struct choice_test : mixer_test {
    void SetUp() override
    {
        mixer_test::SetUp();
        for (int n = 1; n < 20; n++) {
            header(n, 4);
            fill(n, 30 + n, n & 7, 3);
        }
        for (int p = 0; p < 64; p++) pattern(p, 1, 1, 64, 65);  // music on channels 0 and 1
    }
    std::vector<int> play_all(std::initializer_list<int> sfx)
    {
        std::vector<int> got;
        for (int n : sfx) got.push_back(orbo_play_sfx_ex(n, 0, 0, cart.get(), -1));
        return got;
    }
};

TEST_F(choice_test, ChannelChoice)
{
    EXPECT_EQ(play_all({2, 3, 4, 5}), (std::vector<int>{0, 1, 2, 3}));  // all idle
    orbo_stop_all_sounds();
    orbo_music_play(0, 0, 0);
    // Disabled music channels first, then idle sfx voices over music.
    EXPECT_EQ(play_all({2, 3, 4, 5}), (std::vector<int>{2, 3, 0, 1}));
    orbo_stop_all_sounds();
    header(3, 6);
    orbo_music_play(0, 0, 3);  // channels 0 and 1 reserved
    EXPECT_EQ(play_all({2, 3, 4}), (std::vector<int>{2, 3, 2}));  // speed 4 < 6 on channel 3
    EXPECT_EQ(orbo_channel_sfx(0), 1);
    orbo_stop_all_sounds();
    for (int p = 0; p < 64; p++) pattern(p, 1, 1, 1, 1);
    orbo_music_play(0, 0, 15);
    for (int k = 0; k < 4; k++) start(2 + k, k);
    EXPECT_EQ(play_all({9}), (std::vector<int>{-1}));  // all reserved and busy
}

TEST_F(choice_test, AllBusyReplacesTheSmallestSpeedHigherChannelOnTies)
{
    int speeds[4] = {10, 5, 7, 5};
    for (int k = 0; k < 4; k++) {
        header(10 + k, speeds[k]);
        start(10 + k, k);
    }
    EXPECT_EQ(play_all({14}), (std::vector<int>{3}));
    header(14, 9);
    EXPECT_EQ(play_all({15}), (std::vector<int>{1}));
}

TEST_F(choice_test, SfxSeams)
{
    for (int i = 0; i < 2; i++) {  // sfx(3) twice: restarts, plays once
        orbo_sfx_stop_effect(3);
        orbo_sfx_play(3, -1, 0, 0);
        ticks(2);
    }
    EXPECT_TRUE(orbo_sfx_is_playing(&cart->sfx[3]));
    EXPECT_EQ(orbo_sfx_playing_note(&cart->sfx[3]), 0);
    EXPECT_EQ(orbo_voice_sfx(0), &cart->sfx[3]);
    EXPECT_EQ(orbo_voice_sfx(1), nullptr);
    orbo_sfx_play(5, 4, 0, 0);  // sfx(5, 4): no such channel
    orbo_sfx_play(5, -3, 0, 0);
    EXPECT_EQ(orbo_voice_sfx(1), nullptr);
    orbo_sfx_play(70, -1, 40, -5);  // sfx 63 at offset 31
    EXPECT_EQ(orbo_channel_sfx(1), 63);
    EXPECT_EQ(orbo_channel_note(1), 31);
    orbo_sfx_play(-9, 2, 0, 0);  // sfx 0
    EXPECT_EQ(orbo_channel_sfx(2), 0);

    orbo_music_play(0, 0, 0);
    orbo_sfx_stop_channel(2);  // sfx(-1, 2)
    EXPECT_EQ(orbo_channel_sfx(2), -1);
    orbo_sfx_stop_channel(-1);  // the four sfx voices; the music goes on
    EXPECT_EQ(orbo_channel_sfx(0), 1);
    EXPECT_TRUE(orbo_music_is_playing());
    orbo_sfx_stop_effect(64);
    EXPECT_EQ(orbo_channel_sfx(0), 1);
    orbo_stop_all_sounds();
    EXPECT_FALSE(orbo_any_sound_is_playing());
}

TEST_F(choice_test, OffsetsAndLengthsOfAnySize)
{
    EXPECT_EQ(orbo_play_sfx_ex(2, 1000, 0, cart.get(), 6), 6);  // any voice 0..7
    EXPECT_EQ(orbo_sfx_playing_note(&cart->sfx[2]), 31);
    EXPECT_EQ(orbo_play_sfx_ex(2, 0, 0, cart.get(), 8), -1);
    EXPECT_EQ(orbo_play_sfx_ex(64, 0, 0, cart.get(), 6), -1);  // no sfx: clears voice 6
    EXPECT_FALSE(orbo_any_sound_is_playing());
    orbo_play_sfx_ex(2, -1000, INT32_MAX, cart.get(), 0);
    orbo_play_sfx_ex(3, 0, 2, cart.get(), 1);
    ticks(8);
    EXPECT_EQ(orbo_channel_sfx(0), 2);
    EXPECT_EQ(orbo_channel_sfx(1), -1);  // two notes of speed 4
}

// --- Channel effects ------------------------------------------------------------------

struct effects_test : mixer_test {
    // Levels stay inside the clipper's linear range (echoes too), so the
    // mixed output is the voice's own.
    void restart()
    {
        orbo_audio_reset();
        kiln_srand(0);
        header(1, 3);
        for (int i = 0; i < 32; i++) {
            bool noise = i % 6 == 5;
            note(1, i, 20 + (i * 5) % 30, noise ? 6 : i & 3, noise ? 2 : 6 - (i % 3));
        }
        for (int32_t& m : masks) m = 0;
        start(1, 0);
    }
    std::vector<int16_t> with(int reg, int bits, int samples)
    {
        restart();
        masks[reg] = bits;
        return render(samples);
    }
};

TEST_F(effects_test, SlowPlaysEverySampleTwiceWhateverTheBlockSizes)
{
    auto a = with(0, 0, 7000);
    restart();
    masks[0] = 1;
    std::vector<int16_t> b;
    for (int size : {3998, 1, 7, 735, 1024, 183, 4096, 2000}) {
        auto part = render(size);
        b.insert(b.end(), part.begin(), part.end());
    }
    for (size_t i = 0; i < b.size(); i++) ASSERT_EQ(b[i], a[i / 2]) << i;
    masks[0] = 0xfe;  // the register keeps 4 bits: channel 0 no longer slow
    auto c = render(10);
    EXPECT_EQ(c[0], a[b.size() / 2]);
}

TEST_F(effects_test, EchoAddsTheOutputOfFourTicksEarlier)
{
    const int n = 12;
    auto a = with(1, 0, n * ORBO_TICK);
    auto b = with(1, 1, n * ORBO_TICK);
    for (int i = 0; i < n * ORBO_TICK; i++) {
        int32_t earlier = i >= 4 * ORBO_TICK ? b[size_t(i - 4 * ORBO_TICK)] : 0;
        ASSERT_EQ(b[size_t(i)], (a[size_t(i)] * 3 + earlier * 2) / 4) << "tick " << i / ORBO_TICK << " sample " << i % ORBO_TICK;
    }
}

TEST_F(effects_test, CrushAndLowPass)
{
    auto a = with(2, 0, 3000);
    auto crushed = with(2, 1, 3000);
    auto smooth = with(3, 1, 3000);
    int32_t y = 0;
    for (size_t i = 0; i < 3000; i++) {
        int32_t s = a[i];
        ASSERT_EQ(crushed[i], s >= 0 ? (s & 0xf000) : -((-s) & 0xf000)) << i;
        y = (s + 7 * y) / 8;
        ASSERT_EQ(smooth[i], y) << i;
    }
    EXPECT_EQ(with(2, 0xe, 3000), a);  // other channels' bits
    // The music voice of a channel follows the channel's bits.
    restart();
    orbo_stop_all_sounds();
    ticks(1);
    header(2, 1);
    fill(2, 40, 2, 7);
    pattern(0, 2, 64, 64, 64);
    orbo_music_play(0, 0, 0);
    masks[2] = 1;
    for (int16_t s : render(2000)) ASSERT_EQ(s & 0xfff, 0);
}

TEST_F(effects_test, SoundVolumeAndPause)
{
    auto a = with(0, 0, 2000);
    cconfig.sound_volume = 128;
    auto b = with(0, 0, 2000);
    for (size_t i = 0; i < 2000; i++) ASSERT_EQ(b[i], a[i] * 128 >> 8);
    cconfig.sound_volume = 5000;  // clamped to 256
    EXPECT_EQ(with(0, 0, 2000), a);
    cconfig.sound_volume = 0;  // silent, but the voices go on
    EXPECT_EQ(with(0, 0, 2000), std::vector<int16_t>(2000, 0));
    EXPECT_EQ(orbo_channel_note(0), 2000 / ORBO_TICK / 3);
    cconfig.sound_volume = 256;

    restart();
    render(100);
    for (int state = 1; state <= 6; state++) {  // paused: silence, nothing moves
        kiln_state.audio_pause = state % 6;
        orbo_audio_set_platform_pause(state == 6);
        EXPECT_EQ(render(ORBO_TICK * 4), std::vector<int16_t>(ORBO_TICK * 4, 0));
    }
    orbo_audio_set_platform_pause(false);
    auto rest = render(1900);
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), a.begin() + 100));
}

TEST(PauseState, CountsUpAfterAnUnpause)
{
    int s = 0;
    std::vector<int> seen;
    for (bool menu : {false, true, true, false, false, false, false, false, false}) {
        s = orbo_audio_pause_next(s, true, 0, menu);
        seen.push_back(s);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 1, 2, 3, 4, 5, 0, 0}));
    EXPECT_EQ(orbo_audio_pause_next(3, true, 2, true), 0);  // 0x5F2F = 2: plays under the menu
    EXPECT_EQ(orbo_audio_pause_next(1, true, 1, false), 1);  // 0x5F2F = 1: held paused
    EXPECT_EQ(orbo_audio_pause_next(1, true, 0, false), 2);
    EXPECT_EQ(orbo_audio_pause_next(4, true, 7, true), 1);
    EXPECT_EQ(orbo_audio_pause_next(-3, true, 0, false), 0);
    EXPECT_EQ(orbo_audio_pause_next(1, false, 1, true), 2);  // no program
    EXPECT_EQ(orbo_audio_pause_next(5, false, 0, false), 0);
    kiln_state.audio_pause = 3;
    orbo_audio_update_pause_state(false, 0, false);
    EXPECT_EQ(kiln_state.audio_pause.load(), 4);
    kiln_state.audio_pause = 0;
}

TEST_F(effects_test, BlockSizesAndTheCallback)
{
    EXPECT_EQ(orbo_audio_device_samples(0), 0);  // no device
    EXPECT_EQ(orbo_audio_device_samples(1), 1024);
    EXPECT_EQ(orbo_audio_device_samples(1000000), 1024);
    EXPECT_EQ(orbo_audio_device_samples(-4), 1024);
    EXPECT_EQ(orbo_audio_device_samples(512), 512);
    EXPECT_EQ(orbo_audio_device_samples(8192), 8192);
    auto a = with(0, 0, 20000);
    restart();
    std::vector<int16_t> b;
    for (int size : {0, 1, 183, 4097, 5000}) {
        auto part = render(size);
        b.insert(b.end(), part.begin(), part.end());
    }
    orbo_audio_render(nullptr, 100);
    std::vector<uint8_t> bytes(2001, 0xee);  // SDL's signature: bytes
    orbo_mixer_callback(nullptr, bytes.data(), 2001);
    for (int i = 0; i < 1000; i++) b.push_back(int16_t(bytes[size_t(2 * i)] | bytes[size_t(2 * i + 1)] << 8));
    EXPECT_EQ(bytes[2000], 0);
    auto rest = render(20000 - int(b.size()));
    b.insert(b.end(), rest.begin(), rest.end());
    EXPECT_EQ(a, b);
    EXPECT_EQ(render(1000000).size(), 1000000u);
}

TEST_F(mixer_test, TheLockCountsPerThread)
{
    orbo_lock_audio();
    orbo_lock_audio();
    orbo_unlock_audio();
    auto other_can_lock = [] {
        bool got = false;
        std::thread t([&] {
            got = orbo_try_lock_audio();
            if (got) orbo_unlock_audio();
        });
        t.join();
        return got;
    };
    EXPECT_FALSE(other_can_lock());  // still held once
    {
        orbo_audio_lock nested;  // a locked function may call another
        render(10);              // and render on the same thread
    }
    EXPECT_FALSE(other_can_lock());
    orbo_unlock_audio();
    EXPECT_TRUE(other_can_lock());
    orbo_unlock_audio();  // not held: ignored
    EXPECT_TRUE(other_can_lock());
}

TEST(Wav, HeaderSamplesAndFile)
{
    const int16_t s[3] = {1, -2, 32767};
    auto b = orbo_wav_bytes(s, 3);
    ASSERT_EQ(b.size(), 50u);
    auto u32 = [&](size_t at) { return uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24); };
    auto u16 = [&](size_t at) { return unsigned(b[at] | b[at + 1] << 8); };
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), 42u);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u32(16), 16u);
    EXPECT_EQ(u16(20), 1u);  // PCM
    EXPECT_EQ(u16(22), 1u);  // mono
    EXPECT_EQ(u32(24), 22050u);
    EXPECT_EQ(u32(28), 44100u);
    EXPECT_EQ(u16(32), 2u);
    EXPECT_EQ(u16(34), 16u);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(u32(40), 6u);
    EXPECT_EQ(u16(44), 1u);
    EXPECT_EQ(u16(46), 0xfffeu);
    EXPECT_EQ(u16(48), 0x7fffu);
    std::string path = std::string(ORBO_BINARY_DIR) + "/test_audio_out.wav";
    ASSERT_TRUE(orbo_write_wav(path.c_str(), std::vector<int16_t>(735, 100)));
    std::ifstream f(path, std::ios::binary);
    EXPECT_EQ(std::vector<char>(std::istreambuf_iterator<char>(f), {}).size(), 44u + 1470u);
    std::remove(path.c_str());
    EXPECT_FALSE(orbo_write_wav("/nonexistent-dir/x.wav", s, 3));
}

TEST_F(mixer_test, PitchThirtyThreeTriangleMeasures440Hz)
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
