// Compiles and runs arbitrary program text under an instruction budget and
// a memory cap, with the console's library functions. Every input must end
// in a result or a Lua error: never a crash, a sanitizer report or a hang.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/lua/baselib.h"
#include "engine/lua/lauxlib.h"
#include "engine/lua/lua.h"

namespace {
// Instructions are not the whole cost: a concatenation copies its whole
// result, so a growing string makes the work quadratic in the budget. The
// volume of all allocations is capped too, so that case ends quickly (with
// "not enough memory").
constexpr size_t k_heap_limit = 2 << 20;
constexpr size_t k_volume_limit = 64 << 20;
constexpr int k_hook_every = 100;
constexpr long k_instruction_budget = 200'000;

struct heap {
    size_t used = 0;
    size_t volume = 0;  // bytes ever requested
};

void* capped_alloc(void* ud, void* ptr, size_t osize, size_t nsize)
{
    auto* h = static_cast<heap*>(ud);
    size_t old = ptr ? osize : 0;
    if (nsize == 0) {
        free(ptr);
        h->used -= old;
        return nullptr;
    }
    if (nsize > old && h->used + (nsize - old) > k_heap_limit) return nullptr;
    if (nsize > old && (h->volume += nsize) > k_volume_limit) return nullptr;
    void* p = realloc(ptr, nsize);
    if (p) h->used = h->used - old + nsize;
    return p;
}

long g_executed;

void budget_hook(lua_State* L, lua_Debug*)
{
    g_executed += k_hook_every;
    if (g_executed > k_instruction_budget) luaL_error(L, "instruction budget exhausted");
}

int print(lua_State* L)
{
    int n = lua_gettop(L);
    for (int i = 1; i <= n; i++) lua_tostring(L, i);  // exercise conversions
    return 0;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    heap h;
    lua_State* L = lua_newstate(capped_alloc, &h);
    if (L == nullptr) return 0;
    luaL_openlibs(L);
    orbo_open_baselib(L);
    lua_register(L, "print", print);
    g_executed = 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    if (luaL_loadbuffer(L, text.data(), text.size(), "=fuzz") == LUA_OK) {
        lua_sethook(L, budget_hook, LUA_MASKCOUNT, k_hook_every);
        // Run as the scheduler does: the main thread resumed until it ends.
        int status;
        int slices = 0;
        while ((status = lua_resume(L, nullptr, 0)) == LUA_YIELD && ++slices < 100) {
        }
    }
    lua_close(L);
    return 0;
}
