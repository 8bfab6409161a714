// Per-pass costs of the display path: console screen through the display
// palette and a screen mode, conversion to ARGB, and the software scaler.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/display.h"
#include "platform/video.h"

static void BM_ConvertScreen(benchmark::State& state)
{
    kiln_bitmap_ptr src = kiln_create_bitmap(128, 128, 8);
    kiln_bitmap_ptr dst = kiln_create_bitmap(128, 128, 8);
    for (size_t i = 0; i < src->pixels.size(); i++) src->pixels[i] = uint8_t(i * 7);
    uint8_t table[16];
    uint8_t unlock[4] = {};
    for (auto _ : state) {
        for (int i = 0; i < 16; i++) table[i] = uint8_t(15 - i);
        orbo_convert_screen(*src, *dst, table, unlock, int(state.range(0)), true);
        benchmark::DoNotOptimize(dst->pixels.data());
    }
}
BENCHMARK(BM_ConvertScreen)->Arg(0)->Arg(3)->Arg(7);

static void BM_ArgbConversion(benchmark::State& state)
{
    kiln_palette pal;
    std::vector<uint8_t> page(128 * 128, 3);
    std::vector<uint32_t> out(page.size());
    for (auto _ : state) {
        uint32_t table[256];
        kiln_build_argb_table(pal, table);
        for (size_t i = 0; i < page.size(); i++) out[i] = table[page[i]];
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ArgbConversion);

static void BM_SoftwareScale(benchmark::State& state)
{
    std::vector<uint32_t> src(128 * 128, 0xFF123456u);
    int w = int(state.range(0)), h = w * 3 / 4;
    std::vector<uint32_t> dst(size_t(w) * h);
    kiln_rect r = kiln_compute_dest_rect({128, 128, w, h, true, nullptr});
    for (auto _ : state) {
        kiln_scale_nearest(src.data(), 128, 128, dst.data(), w, h, w, r);
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_SoftwareScale)->Arg(640)->Arg(1920);
