// Cost of the number primitives the virtual machine and the API lean on.
#include <benchmark/benchmark.h>

#include <cstring>

#include "engine/math/fixed.h"
#include "engine/math/mathlib.h"

namespace {
void BM_fmul(benchmark::State& st)
{
    fix32 a = 0x12345, acc = 0;
    for (auto _ : st) {
        acc = fix_add(acc, ob_fmul(a, 0x18000));
        a = fix_add(a, 0x777);
    }
    benchmark::DoNotOptimize(acc);
}
BENCHMARK(BM_fmul);

void BM_fdiv(benchmark::State& st)
{
    fix32 a = 0x12345, acc = 0;
    for (auto _ : st) {
        acc = fix_add(acc, ob_fdiv(a, 0x38000));
        a = fix_add(a, 0x777);
    }
    benchmark::DoNotOptimize(acc);
}
BENCHMARK(BM_fdiv);

void BM_fsqrt(benchmark::State& st)
{
    fix32 x = 1, acc = 0;
    for (auto _ : st) {
        acc = fix_add(acc, fsqrt(x));
        x = (x + 0x12345) & 0x3fffffff;
    }
    benchmark::DoNotOptimize(acc);
}
BENCHMARK(BM_fsqrt);

void BM_fpow_fraction(benchmark::State& st)
{
    fix32 acc = 0;
    for (auto _ : st) acc = fix_add(acc, ob_fpow(0x28000, 0x18001));
    benchmark::DoNotOptimize(acc);
}
BENCHMARK(BM_fpow_fraction);

void BM_fsin(benchmark::State& st)
{
    fix32 x = 0, acc = 0;
    for (auto _ : st) {
        acc = fix_add(acc, fsin(x));
        x = fix_add(x, 0x123);
    }
    benchmark::DoNotOptimize(acc);
}
BENCHMARK(BM_fsin);

void BM_ftan2(benchmark::State& st)
{
    fix32 x = 0x10000, acc = 0;
    for (auto _ : st) {
        acc = fix_add(acc, ftan2(x, 0x30000));
        x = fix_add(x, 0x1234);
    }
    benchmark::DoNotOptimize(acc);
}
BENCHMARK(BM_ftan2);

void BM_rnd(benchmark::State& st)
{
    orbo_srand(1);
    fix32 acc = 0;
    for (auto _ : st) acc = fix_add(acc, orbo_rnd(0x640000));
    benchmark::DoNotOptimize(acc);
}
BENCHMARK(BM_rnd);

void BM_str2d_decimal(benchmark::State& st)
{
    const char* t = "12345.678";
    fix32 v = 0;
    for (auto _ : st) benchmark::DoNotOptimize(luaO_str2d(t, strlen(t), &v));
}
BENCHMARK(BM_str2d_decimal);

void BM_str2d_hex(benchmark::State& st)
{
    const char* t = "0x3039.ad91";
    fix32 v = 0;
    for (auto _ : st) benchmark::DoNotOptimize(luaO_str2d(t, strlen(t), &v));
}
BENCHMARK(BM_str2d_hex);

void BM_fixed_to_string(benchmark::State& st)
{
    char buf[ORBO_NUMBER_TEXT + 1];
    fix32 x = 0x12345;
    for (auto _ : st) {
        benchmark::DoNotOptimize(orbo_fixed_to_string(buf, x));
        x = fix_add(x, 0x10001);
    }
}
BENCHMARK(BM_fixed_to_string);
}  // namespace
