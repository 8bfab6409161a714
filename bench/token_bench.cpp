// Token counting and preprocessing on a 65536-character program of typical
// game code: the corpus programs concatenated and cut to size.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/pre/pre.h"
#include "engine/token/token.h"

namespace {

std::string typical_program()
{
    std::vector<std::filesystem::path> files;
    for (auto& e : std::filesystem::directory_iterator(std::string(ORBO_SOURCE_DIR) + "/tests/engine/corpus"))
        if (e.path().extension() == ".lua") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::string all;
    while (all.size() < 65536) {
        for (auto& f : files) {
            std::ifstream in(f, std::ios::binary);
            std::stringstream ss;
            ss << in.rdbuf();
            all += ss.str() + "\n";
        }
    }
    all.resize(65536);
    return all;
}

const std::string& program()
{
    static const std::string p = typical_program();
    return p;
}

void BM_count_tokens(benchmark::State& state)
{
    const std::string& p = program();
    int n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(n = count_tokens(p.c_str()));
    state.counters["tokens"] = n;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.size()));
}
BENCHMARK(BM_count_tokens)->Unit(benchmark::kMicrosecond);

void BM_orbo_preprocess(benchmark::State& state)
{
    const std::string& p = program();
    std::string out;
    for (auto _ : state) {
        orbo_preprocess(p.c_str(), out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["out_bytes"] = double(out.size());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.size()));
}
BENCHMARK(BM_orbo_preprocess)->Unit(benchmark::kMicrosecond);

// The worst single line the line buffer admits: compound assignments only.
void BM_orbo_preprocess_compound_line(benchmark::State& state)
{
    std::string p;
    while (p.size() < 65536) p += "a+=1 ";
    std::string out;
    for (auto _ : state) {
        orbo_preprocess(p.c_str(), out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_orbo_preprocess_compound_line)->Unit(benchmark::kMillisecond);

}  // namespace
