// Cartridge storage: PNG cartridge load and save, and code compression of a
// full-size program.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cart/cart.h"
#include "cart/cart_png.h"
#include "cart/cart_text.h"
#include "cart/compress.h"

namespace {

// A program of exactly n characters made of the game programs of the test corpus.
std::string program_text(size_t n)
{
    std::string corpus;
    for (const auto& e : std::filesystem::recursive_directory_iterator(std::string(ORBO_SOURCE_DIR) + "/tests"))
        if (e.path().extension() == ".lua") {
            std::ifstream f(e.path());
            std::stringstream ss;
            ss << f.rdbuf();
            corpus += ss.str();
        }
    if (corpus.empty()) corpus = "function _draw() cls() print(\"hello\",10,10,7) end\n";
    std::string text;
    while (text.size() < n) text += corpus;
    text.resize(n);
    return text;
}

orbo_cart_ptr bench_cart()
{
    orbo_cart_ptr cart = orbo_load_cart((std::string(ORBO_SOURCE_DIR) + "/tests/cart/carts/full.ob").c_str());
    cart->code = program_text(20000);
    return cart;
}

void BM_CompressMini64K(benchmark::State& state)
{
    std::string text = program_text(65536);
    size_t out = 0;
    for (auto _ : state) {
        std::vector<uint8_t> c = compress_mini(text);
        out = c.size();
        benchmark::DoNotOptimize(c.data());
    }
    state.counters["bytes_out"] = double(out);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_CompressMini64K)->Unit(benchmark::kMillisecond);

void BM_SavePngCart(benchmark::State& state)
{
    orbo_cart_ptr cart = bench_cart();
    std::vector<unsigned char> png;
    for (auto _ : state) {
        if (orbo_cart_png_bytes(cart.get(), &png) != 0) state.SkipWithError("save failed");
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["png_bytes"] = double(png.size());
}
BENCHMARK(BM_SavePngCart)->Unit(benchmark::kMillisecond);

void BM_LoadPngCart(benchmark::State& state)
{
    orbo_cart_ptr cart = bench_cart();
    std::vector<unsigned char> png;
    if (orbo_cart_png_bytes(cart.get(), &png) != 0) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state) {
        orbo_cart_ptr back = load_orbo_cart_png_from_memory(png.data(), png.size(), nullptr, true);
        benchmark::DoNotOptimize(back.get());
    }
}
BENCHMARK(BM_LoadPngCart)->Unit(benchmark::kMillisecond);

}  // namespace
