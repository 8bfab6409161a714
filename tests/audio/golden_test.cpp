// Golden hashes of rendered sound. Each setup renders console frames of 735
// samples (30 fps) through the mixer and is compared with
// tests/audio/golden_hashes.txt: a 64-bit FNV-1a hash of all samples plus a
// 32-bit hash of every tick (183 samples), so a change reports its first
// differing tick. ORBO_UPDATE_GOLDEN=1 rewrites the hashes.
//
// Coverage: every waveform, every note effect (below and above speed 9),
// instruments with loops and inner effects, music with loop start, loop back,
// stop flags, empty channels, a looping channel, a reserved channel, fades in
// and out, the four channel effects, the channel choice, release, stopping,
// the sound volume and pokes into a playing sfx.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "audio_fixture.h"

namespace audiotest {
namespace {

constexpr int k_frame = 735;

struct golden_test;
struct setup {
    const char* name;
    int frames;
    void (*prepare)(golden_test& t);
    void (*frame)(golden_test& t, int f);  // before each frame's render, may be null
};

struct golden_test : audio_test {};

// --- The setups ------------------------------------------------------------------

void waveforms(golden_test& t)
{
    t.header(1, 6);
    t.header(2, 9);
    for (int i = 0; i < 32; i++) {
        t.note(1, i, 12 + (i * 37) % 40, i & 7, 5 + i % 3);
        t.note(2, i, 40 - (i * 13) % 30, 7 - (i & 7), 3 + i % 5);
    }
    t.start(1, 0);
    t.start(2, 1);
}

void effects(golden_test& t)
{
    t.header(3, 5);
    t.header(4, 11);
    for (int i = 0; i < 32; i++) {
        t.note(3, i, 20 + (i * 11) % 30, (i / 8) & 7, 3 + (i * 5) % 5, i & 7);
        t.note(4, i, 30 + (i * 7) % 25, 4 + (i / 8) % 4, 2 + (i * 3) % 6, (i + 3) & 7);
    }
    t.note(4, 0, 40, 2, 6, 1);  // a slide on note 0
    t.start(3, 0);
    t.start(4, 1);
}

void instruments(golden_test& t)
{
    for (int n = 0; n < 8; n++) {
        t.header(n, 1 + n, n % 2 == 0 ? n / 2 : 0, n % 2 == 0 ? n / 2 + 4 : 0);
        for (int i = 0; i < 32; i++) t.note(n, i, 24 + (i * 5 + n) % 13 - 6, (i + n) & 7, 7 - i % 4, (i + n) & 7);
    }
    t.header(10, 6);
    for (int i = 0; i < 32; i++) t.note(10, i, 20 + (i * 3) % 24, i & 7, 4 + i % 4, (i / 4) & 7, true);
    t.note(10, 9, 26, 1, 0, 0, false);  // a plain note between instrument notes
    t.start(10, 2);
}

void music(golden_test& t)
{
    t.header(20, 2);
    t.header(21, 8, 0, 8);
    t.header(22, 2);
    t.header(23, 2);
    t.header(24, 3);
    for (int i = 0; i < 32; i++) {
        t.note(20, i, 30 + (i * 5) % 12, 0, 5, i % 8 == 7 ? 1 : 0);
        t.note(21, i, 12 + (i % 4) * 2, 3, 4);
        t.note(22, i, 40, 6, i % 4 == 0 ? 6 : 0);
        t.note(23, i, 36 - i % 6, 7, 4, i % 5 == 0 ? 2 : 0);
        t.note(24, i, 50 - i, 1, 6, 5);
    }
    t.pattern(0, 20, 21, 64, 64, 1);
    t.pattern(1, 20, 21, 22, 65);
    t.pattern(2, 23, 64, 22, 21, 2);
    t.pattern(5, 20, 64, 22, 64, 4);
    orbo_music_play(0, 400, 1);
}

void music_frame(golden_test& t, int f)
{
    if (f == 30) orbo_sfx_play(24, -1, 0, 0);  // takes channel 3, whose music channel is disabled
    if (f == 60) orbo_music_stop(600);
    if (f == 82) orbo_music_play(5, 0, 0);
}

void channel_effects(golden_test& t)
{
    for (int n = 30; n < 34; n++) {
        t.header(n, 3 + n % 4, 0, n == 33 ? 12 : 0);
        for (int i = 0; i < 32; i++) t.note(n, i, 18 + (i * 9 + n) % 36, (i + n) & 7, 4 + (i + n) % 4, (i * n) % 8 == 1 ? 1 : 0);
    }
    for (int k = 0; k < 4; k++) t.start(30 + k, k);
    t.masks[0] = 1;
    t.masks[1] = 2 | 8;
    t.masks[2] = 4 | 8;
    t.masks[3] = 8 | 1;
}

void channel_effects_frame(golden_test& t, int f)
{
    if (f == 20)
        for (int32_t& m : t.masks) m = 0;
    if (f == 26)
        for (int32_t& m : t.masks) m = 0xff;  // 15 after the register's mask
}

void sfx_mix(golden_test& t)
{
    int speeds[6] = {7, 3, 5, 3, 4, 2};
    for (int n = 40; n < 46; n++) {
        t.header(n, speeds[n - 40], n == 41 ? 2 : 0, n == 41 ? 6 : 0);
        for (int i = 0; i < 32; i++) t.note(n, i, 24 + (i * 7 + n) % 30, (i * 3 + n) & 7, 3 + (i + n) % 5, (i + n) % 3 == 0 ? 0 : 2);
    }
    for (int n = 40; n < 44; n++) orbo_sfx_play(n, -1, 0, 0);
    cconfig.sound_volume = 200;
}

void sfx_mix_frame(golden_test& t, int f)
{
    t.cart->sfx[40].notes[f % 32].pitch = (f * 11) % 64;  // pokes into a playing sfx
    if (f == 10) {
        orbo_sfx_stop_effect(44);
        orbo_sfx_play(44, -1, 3, 0);  // replaces the smallest speed
    }
    if (f == 20) orbo_sfx_release_loop(1);
    if (f == 25) orbo_sfx_stop_channel(0);
    if (f == 28) orbo_sfx_play(45, 2, 5, 6);
}

const setup k_setups[] = {
    {"waveforms", 48, waveforms, nullptr},
    {"effects", 64, effects, nullptr},
    {"instruments", 48, instruments, nullptr},
    {"music", 100, music, music_frame},
    {"channel_effects", 40, channel_effects, channel_effects_frame},
    {"sfx_mix", 40, sfx_mix, sfx_mix_frame},
};

// --- Hashes and the golden file ---------------------------------------------------

// FNV-1a over the samples' little-endian bytes, 64- or 32-bit.
template <typename H, H basis, H prime>
H fnv(const int16_t* s, size_t n)
{
    H h = basis;
    for (size_t i = 0; i < n; i++)
        for (int b = 0; b < 2; b++) {
            h ^= uint8_t(uint16_t(s[i]) >> (8 * b));
            h *= prime;
        }
    return h;
}
constexpr auto fnv64 = fnv<uint64_t, 1469598103934665603ull, 1099511628211ull>;
constexpr auto fnv32 = fnv<uint32_t, 2166136261u, 16777619u>;

struct golden {
    size_t samples = 0;
    uint64_t hash = 0;
    std::vector<uint32_t> ticks;
};

std::string golden_path() { return std::string(ORBO_SOURCE_DIR) + "/tests/audio/golden_hashes.txt"; }

golden measure(const std::vector<int16_t>& s)
{
    golden g;
    g.samples = s.size();
    g.hash = fnv64(s.data(), s.size());
    for (size_t at = 0; at < s.size(); at += ORBO_TICK)
        g.ticks.push_back(fnv32(s.data() + at, std::min<size_t>(ORBO_TICK, s.size() - at)));
    return g;
}

// Lines "NAME total SAMPLES HASH64" and "NAME ticks HASH32...", in hex.
std::map<std::string, golden> read_golden()
{
    std::map<std::string, golden> all;
    std::ifstream f(golden_path());
    for (std::string line, name, kind, hex; std::getline(f, line);) {
        std::istringstream in(line);
        if (line.empty() || line[0] == '#' || !(in >> name >> kind)) continue;
        golden& g = all[name];
        if (kind == "total" && in >> g.samples >> hex) g.hash = std::strtoull(hex.c_str(), nullptr, 16);
        while (kind == "ticks" && in >> hex) g.ticks.push_back(uint32_t(std::strtoul(hex.c_str(), nullptr, 16)));
    }
    return all;
}

void write_golden(const std::map<std::string, golden>& all)
{
    FILE* f = std::fopen(golden_path().c_str(), "w");
    std::fprintf(f, "# Golden hashes of tests/audio/golden_test.cpp (ORBO_UPDATE_GOLDEN=1 rewrites them).\n"
                    "# NAME total SAMPLES FNV1A64 / NAME ticks FNV1A32 of each tick of 183 samples\n");
    for (const auto& [name, g] : all) {
        std::fprintf(f, "%s total %zu %016" PRIx64 "\n%s ticks", name.c_str(), g.samples, g.hash, name.c_str());
        for (uint32_t h : g.ticks) std::fprintf(f, " %08x", h);
        std::fprintf(f, "\n");
    }
    std::fclose(f);
}

::testing::AssertionResult compare(const std::string& name, const std::vector<int16_t>& got, const golden& want)
{
    golden g = measure(got);
    if (g.samples == want.samples && g.hash == want.hash) return ::testing::AssertionSuccess();
    auto fail = ::testing::AssertionFailure();
    fail << name << ": rendered sound differs from the golden hash (ORBO_UPDATE_GOLDEN=1 rewrites it). ";
    if (want.samples == 0) return fail << "No golden entry.";
    if (g.samples != want.samples) fail << g.samples << " samples, golden " << want.samples << ". ";
    for (size_t t = 0; t < std::min(g.ticks.size(), want.ticks.size()); t++)
        if (g.ticks[t] != want.ticks[t])
            return fail << "First differing tick " << t << " (samples " << t * ORBO_TICK << ".., frame "
                        << t * ORBO_TICK / k_frame << ").";
    return fail << "The ticks agree where both have them.";
}

std::vector<int16_t> run(golden_test& t, const setup& s)
{
    s.prepare(t);
    std::vector<int16_t> out;
    out.reserve(size_t(s.frames) * k_frame);
    for (int f = 0; f < s.frames; f++) {
        g_now_ms = f * 1000 / 30;
        if (s.frame) s.frame(t, f);
        orbo_update_music_fading();
        size_t at = out.size();
        out.resize(at + k_frame);
        orbo_audio_render(out.data() + at, k_frame);
    }
    return out;
}

TEST_F(golden_test, RenderedSoundMatchesTheGoldenHashes)
{
    const char* update = std::getenv("ORBO_UPDATE_GOLDEN");
    const bool rewrite = update && std::string(update) == "1";
    std::map<std::string, golden> all = read_golden();
    for (const setup& s : k_setups) {
        SCOPED_TRACE(s.name);
        TearDown();
        SetUp();
        std::vector<int16_t> got = run(*this, s);
        // Determinism within the process: the same setup renders the same.
        TearDown();
        SetUp();
        ASSERT_EQ(run(*this, s), got) << s.name;
        bool silent = true;
        for (int16_t v : got) silent &= v == 0;
        EXPECT_FALSE(silent) << s.name;
        if (rewrite)
            all[s.name] = measure(got);
        else
            EXPECT_TRUE(compare(s.name, got, all[s.name]));
    }
    if (rewrite) write_golden(all);
}

}  // namespace
}  // namespace audiotest
