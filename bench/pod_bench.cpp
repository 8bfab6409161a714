// Pod reading and text drawing: the data file is read once at start, and
// text is drawn on every console print.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/font.h"
#include "platform/pod.h"

namespace {
kiln_pod_ptr sample(int items)
{
    kiln_pod_ptr pod = kiln_create_pod("bench");
    for (int i = 0; i < items; i++) {
        kiln_bitmap_ptr bm = kiln_create_bitmap(128, 128, 8);
        for (size_t k = 0; k < bm->pixels.size(); k++) bm->pixels[k] = uint8_t((k / 7 + i) & 15);
        kiln_pod_add_bitmap(pod.get(), std::move(bm));
    }
    return pod;
}

void BM_PodRead(benchmark::State& state)
{
    std::vector<uint8_t> bytes;
    kiln_write_pod(sample(16).get(), state.range(0) != 0, &bytes);
    for (auto _ : state) {
        kiln_pod_ptr pod = kiln_load_pod_memory(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(pod.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 16 * 128 * 128);
}
BENCHMARK(BM_PodRead)->Arg(0)->Arg(1);

void BM_DrawConsoleLine(benchmark::State& state)
{
    kiln_font font;
    font.first = 32;
    font.last = 127;
    for (int c = 32; c <= 127; c++) {
        kiln_bitmap_ptr g = kiln_create_bitmap(3, 5, 8);
        for (size_t k = 0; k < g->pixels.size(); k++) g->pixels[k] = uint8_t((k + size_t(c)) % 3 == 0);
        font.glyphs.push_back(std::move(g));
    }
    font.height = 5;
    kiln_bitmap_ptr screen = kiln_create_bitmap(128, 128, 8);
    std::string line(32, 'x');
    for (size_t i = 0; i < line.size(); i++) line[i] = char(33 + i * 3);
    for (auto _ : state) benchmark::DoNotOptimize(kiln_draw_text_ex(screen.get(), line.c_str(), &font, 0, 60, 17, 7));
    state.SetItemsProcessed(int64_t(state.iterations()) * 32);
}
BENCHMARK(BM_DrawConsoleLine);
}  // namespace
