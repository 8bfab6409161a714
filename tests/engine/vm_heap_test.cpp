// Heap figures and collector timing, against figures recorded from the
// engine before its virtual machine core was redesigned: the blocks the
// engine asks its allocator for (kind and size of every live block decide
// what the console charges, so live bytes and live blocks per kind are
// compared), the engine's own count of allocated bytes (which paces the
// collector), and the moments at which finalizers run, weak entries vanish
// and cached closures are dropped. A change of value representation, table
// layout or call frames must leave every figure as it was. (The console
// charges every thread block alike, so the size of the state's own block,
// k8, which holds the virtual machine's lookup memos, is recorded, though
// its size changes no charge.)
// tests/engine/vm_heap/NAME.lua is the program; NAME.txt its recorded output.
// ORBO_UPDATE_GOLDEN=1 writes NAME.txt instead of comparing.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "vm_fixture.h"

namespace {
// Live bytes and blocks by the kind the engine gives a new block (a type
// tag, 0 for plain vectors); a resized block keeps its kind.
constexpr int k_kinds = 16;
struct heap_run {
    long long bytes[k_kinds] = {};
    long long blocks[k_kinds] = {};
    std::string* out = nullptr;  // the print buffer of the state
};

void* counting_alloc(void* ud, void* ptr, size_t osize, size_t nsize)
{
    auto* run = static_cast<heap_run*>(ud);
    // Each block starts with its kind, ahead of the engine's bytes.
    constexpr size_t header = alignof(std::max_align_t);
    if (ptr == nullptr) {
        if (nsize == 0) return nullptr;
        size_t kind = osize < k_kinds ? osize : k_kinds - 1;
        char* b = static_cast<char*>(malloc(nsize + header));
        if (!b) return nullptr;
        *reinterpret_cast<size_t*>(b) = kind;
        run->bytes[kind] += (long long)nsize;
        run->blocks[kind]++;
        return b + header;
    }
    char* b = static_cast<char*>(ptr) - header;
    size_t kind = *reinterpret_cast<size_t*>(b);
    run->bytes[kind] -= (long long)osize;
    if (nsize == 0) {
        run->blocks[kind]--;
        free(b);
        return nullptr;
    }
    char* nb = static_cast<char*>(realloc(b, nsize + header));
    if (!nb) {
        run->bytes[kind] += (long long)osize;
        return nullptr;
    }
    run->bytes[kind] += (long long)nsize;
    return nb + header;
}

std::string live_figures(const heap_run& run)
{
    std::ostringstream s;
    for (int k = 0; k < k_kinds; k++)
        if (run.blocks[k] != 0 || run.bytes[k] != 0) s << " k" << k << "=" << run.bytes[k] << "/" << run.blocks[k];
    return s.str();
}

heap_run* self_of(lua_State* L) { return static_cast<heap_run*>(lua_touserdata(L, lua_upvalueindex(1))); }

// heap(label): appends "label engine=N kK=BYTES/BLOCKS...".
int l_heap(lua_State* L)
{
    heap_run* self = self_of(L);
    std::ostringstream s;
    s << luaL_optstring(L, 1, "") << " engine=" << (lua_gc(L, LUA_GCCOUNT, 0) * 1024 + lua_gc(L, LUA_GCCOUNTB, 0))
      << live_figures(*self) << '\n';
    *self->out += s.str();
    return 0;
}

// collect(): a full collection, as the scheduler runs between slices.
int l_collect(lua_State* L)
{
    lua_gc(L, LUA_GCCOLLECT, 0);
    return 0;
}

// gcstop() / gcrestart(): the collector as the scheduler leaves it while a
// program runs (stopped), or running by itself (as orbotool lua runs it).
int l_gcstop(lua_State* L)
{
    lua_gc(L, LUA_GCSTOP, 0);
    return 0;
}
int l_gcrestart(lua_State* L)
{
    lua_gc(L, LUA_GCRESTART, 0);
    return 0;
}

std::string read_file(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs the program in vm; returns its printed lines and figures.
std::string run_in(vm_state& vm, heap_run& run, const std::string& text, const std::string& name)
{
    lua_State* L = vm.L;
    run.out = &vm.out;
    const luaL_Reg funcs[] = {{"heap", l_heap}, {"collect", l_collect},
                              {"gcstop", l_gcstop}, {"gcrestart", l_gcrestart}, {nullptr, nullptr}};
    lua_pushglobaltable(L);
    lua_pushlightuserdata(L, &run);
    luaL_setfuncs(L, funcs, 1);
    lua_pop(L, 1);
    int status = luaL_loadbuffer(L, text.data(), text.size(), ("@" + name).c_str());
    if (status == LUA_OK) status = lua_pcall(L, 0, 0, 0);
    if (status != LUA_OK) vm.out += std::string("error: ") + (lua_tostring(L, -1) ? lua_tostring(L, -1) : "?") + "\n";
    return vm.out;
}

std::string run_program(const std::string& name)
{
    std::string text = read_file(std::string(ORBO_SOURCE_DIR) + "/tests/engine/vm_heap/" + name + ".lua");
    heap_run run;
    std::string out;
    {
        vm_state vm(counting_alloc, &run);
        out = run_in(vm, run, text, name);
    }
    return out + "closed" + live_figures(run) + "\n";
}

void check(const std::string& name)
{
    std::string got = run_program(name);
    std::string golden = std::string(ORBO_SOURCE_DIR) + "/tests/engine/vm_heap/" + name + ".txt";
    const char* update = getenv("ORBO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(golden, std::ios::binary) << got;
        return;
    }
    EXPECT_EQ(read_file(golden), got);
}
}  // namespace

TEST(VmHeap, TablesChargeAsBefore) { check("tables"); }
TEST(VmHeap, StringsChargeAsBefore) { check("strings"); }
TEST(VmHeap, FunctionsAndThreadsChargeAsBefore) { check("functions"); }
TEST(VmHeap, CollectorRunsWhenItRanBefore) { check("collector"); }
