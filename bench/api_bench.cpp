// A frame's worth of drawing through the script bindings: the same work as
// the primitive-level frame (200 sprites, a full-screen map, 100 filled
// circles, 50 lines of text) called from a compiled script, so the figure
// includes the engine's calls and every binding's argument conversion.
#include <benchmark/benchmark.h>

#include "engine/lua/lauxlib.h"
#include "hardware/api/api.h"
#include "bench_scene.h"

namespace {
const char* k_frame = R"(
cls(1)
for i = 0, 199 do spr(i, (i * 37) % 128, (i * 53) % 128) end
map(0, 0, 0, 0)
for i = 0, 99 do circfill((i * 29) % 128, (i * 41) % 128, 8, i % 16) end
for i = 0, 49 do print("the quick brown fox 0123456789", 0, (i * 6) % 120, 7) end
)";

struct script_scene : scene {
    lua_State* L = nullptr;
    script_scene()
    {
        // The bindings draw on the live machine: point it at this scene.
        orbo_recreate_live_machine();
        orbo_machine* live = orbo_live_machine();
        live->cart = cart.get();
        live->font = font.get();
        L = lua_newstate(orbo_lua_alloc, &live->heap);
        add_c_functions(L);
        luaL_loadstring(L, k_frame);  // stays at stack slot 1
    }
    ~script_scene()
    {
        lua_close(L);
        orbo_recreate_live_machine();
    }
};

void BM_api_frame(benchmark::State& st)
{
    script_scene s;
    for (auto _ : st) {
        lua_pushvalue(s.L, 1);
        if (lua_pcall(s.L, 0, 0, 0) != LUA_OK) {
            st.SkipWithError(lua_tostring(s.L, -1));
            break;
        }
    }
    benchmark::DoNotOptimize(s.con->screen->pixels.data());
}
BENCHMARK(BM_api_frame)->Name("api_frame_script")->Unit(benchmark::kMicrosecond);
}  // namespace
