// A frame's worth of drawing: full-screen cls and rectfill, 200 sprites, a
// full-screen map, 100 filled circles, 50 lines of text and a copy of the
// screen through memory. The goal for all of it together is under 0.5 ms.
#include <benchmark/benchmark.h>

#include "hardware/draw_state.h"
#include "hardware/gfx.h"
#include "hardware/mem.h"
#include "bench_scene.h"

namespace {
constexpr int32_t I(int v) { return v << 16; }

void frame_cls(orbo_machine* c) { orbo_cls(c, 1, 1); }
void frame_rectfill(orbo_machine* c) { orbo_rectfill(c, 5, 0, 0, 127, 127, I(9)); }
void frame_spr(orbo_machine* c)
{
    for (int i = 0; i < 200; i++) orbo_spr(c, 3, i & 255, (i * 37) % 128, (i * 53) % 128, 0, 0, false, false);
}
void frame_map(orbo_machine* c) { orbo_map(c, 4, 0, 0, 0, 0, 0, 0, 0); }
void frame_circfill(orbo_machine* c)
{
    for (int i = 0; i < 100; i++) orbo_circfill(c, 4, (i * 29) % 128, (i * 41) % 128, 8, I(i & 15));
}
void frame_print(orbo_machine* c)
{
    for (int i = 0; i < 50; i++) orbo_print(c, 4, "the quick brown fox 0123456789", 0, (i * 6) % 120, I(7));
}
void frame_memcpy(orbo_machine* c) { orbo_memcpy(c, c->cart, 0x4300, 0x6000, 0x1b00); orbo_memcpy(c, c->cart, 0x6000, 0x4300, 0x1b00); }

template <void (*F)(orbo_machine*)>
void BM_gfx(benchmark::State& st)
{
    scene s;
    for (auto _ : st) F(s.con.get());
    benchmark::DoNotOptimize(s.con->screen->pixels.data());
}
BENCHMARK(BM_gfx<frame_cls>)->Name("gfx_cls");
BENCHMARK(BM_gfx<frame_rectfill>)->Name("gfx_rectfill_full");
BENCHMARK(BM_gfx<frame_spr>)->Name("gfx_spr_200");
BENCHMARK(BM_gfx<frame_map>)->Name("gfx_map_full");
BENCHMARK(BM_gfx<frame_circfill>)->Name("gfx_circfill_100");
BENCHMARK(BM_gfx<frame_print>)->Name("gfx_print_50");
BENCHMARK(BM_gfx<frame_memcpy>)->Name("gfx_memcpy_screen");

void all(orbo_machine* c)
{
    frame_cls(c);
    frame_rectfill(c);
    frame_spr(c);
    frame_map(c);
    frame_circfill(c);
    frame_print(c);
    frame_memcpy(c);
}
BENCHMARK(BM_gfx<all>)->Name("gfx_frame_all");
}  // namespace
