// In-process compile throughput on the compiler corpus (parse and code
// generation, no process start-up).
#include <benchmark/benchmark.h>

#include <dirent.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/lua/lcompile.h"

namespace {
std::vector<std::string> load_corpus()
{
    std::vector<std::string> texts;
    std::string dir = std::string(ORBO_SOURCE_DIR) + "/tests/engine/compiler_corpus";
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name.size() < 4 || name.compare(name.size() - 4, 4, ".lua") != 0) continue;
            std::ifstream in(dir + "/" + name, std::ios::binary);
            std::stringstream ss;
            ss << in.rdbuf();
            texts.push_back(ss.str());
        }
        closedir(d);
    }
    return texts;
}

void BM_CompileCorpus(benchmark::State& state)
{
    std::vector<std::string> texts = load_corpus();
    size_t bytes = 0;
    for (auto _ : state) {
        lua_State* L = lua_newstate(orbo_default_alloc, nullptr);
        for (const std::string& t : texts) {
            Proto* f = nullptr;
            int status = orbo_compile(L, t.data(), t.size(), "=bench", &f);
            benchmark::DoNotOptimize(status);
            bytes += t.size();
        }
        lua_close(L);
    }
    state.SetBytesProcessed(int64_t(bytes));
}
BENCHMARK(BM_CompileCorpus);
}  // namespace
