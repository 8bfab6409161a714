// Capture: recording one frame into the ring, and writing a 240-frame GIF at
// scale 2 (goal under 0.5 s) of a game-like scene and of pure noise (the
// worst case for the compressor). The file goes to the temporary folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "capture/gif_writer.h"
#include "capture/video_clip.h"
#include "platform/log.h"

namespace {

constexpr int k_frames = 240;

// Frame k of a scrolling striped backdrop with 24 moving 8x8 blocks.
void scene_frame(int k, uint8_t* px)
{
    for (int y = 0; y < ORBO_CLIP_H; y++)
        for (int x = 0; x < ORBO_CLIP_W; x++) px[y * ORBO_CLIP_W + x] = uint8_t(((x + k) / 16 + y / 32) % 4 + 1);
    for (int s = 0; s < 24; s++) {
        int sx = (s * 37 + k * (1 + s % 3)) % 120, sy = (s * 53 + k) % 120;
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++) px[(sy + y) * ORBO_CLIP_W + sx + x] = uint8_t(5 + (s + x * y) % 11);
    }
}

void noise_frame(std::mt19937& rng, uint8_t* px)
{
    for (int i = 0; i < ORBO_CLIP_FRAME_BYTES; i++) px[i] = uint8_t(rng() & 15);
}

std::vector<uint8_t> make_frames(bool noise)
{
    std::vector<uint8_t> all(size_t(k_frames) * ORBO_CLIP_FRAME_BYTES);
    std::mt19937 rng(1);
    for (int k = 0; k < k_frames; k++) {
        uint8_t* px = all.data() + size_t(k) * ORBO_CLIP_FRAME_BYTES;
        noise ? noise_frame(rng, px) : scene_frame(k, px);
    }
    return all;
}

void BM_record_video_frame(benchmark::State& state)
{
    kiln_bitmap frame = *kiln_create_bitmap(ORBO_CLIP_W, ORBO_CLIP_H, 8);
    scene_frame(0, frame.pixels.data());
    video_clip clip;
    for (int i = 0; i < 3600; i++) record_video_frame(clip, frame, 120);  // full ring: every call rotates
    for (auto _ : state) benchmark::DoNotOptimize(record_video_frame(clip, frame, 120));
}
BENCHMARK(BM_record_video_frame);

void BM_write_gif_240_scale2(benchmark::State& state)
{
    kiln_log_set_stdout(false);
    std::vector<uint8_t> all = make_frames(state.range(0) != 0);
    std::vector<const uint8_t*> frames;
    for (int k = 0; k < k_frames; k++) frames.push_back(all.data() + size_t(k) * ORBO_CLIP_FRAME_BYTES);
    std::string path = "/tmp/orbo_capture_bench_" + std::to_string(getpid()) + ".gif";
    kiln_palette pal;
    for (int i = 0; i < 768; i++) pal.rgb[i] = uint8_t(i * 5);
    for (auto _ : state)
        if (orbo_write_gif(path, frames, &pal, 2) != ORBO_GIF_OK) state.SkipWithError("write failed");
    FILE* f = fopen(path.c_str(), "rb");
    if (f) {
        fseek(f, 0, SEEK_END);
        state.counters["file_bytes"] =
            benchmark::Counter(double(ftell(f)), benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
        fclose(f);
    }
    unlink(path.c_str());
}
BENCHMARK(BM_write_gif_240_scale2)->ArgName("noise")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
