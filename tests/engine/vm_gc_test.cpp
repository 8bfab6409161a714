// The collector: full collections free garbage, a stopped collector keeps
// it, weak tables lose dead entries, finalizers run once, and an allocator
// at its limit gets an emergency collection before "not enough memory".
#include <cstdlib>

#include "engine/lua/internal.h"
#include "vm_fixture.h"

namespace {
// Allocator with a byte limit, counting live bytes like a console heap.
struct capped_heap {
    size_t limit;
    size_t used = 0;
    int failures = 0;
};

void* capped_alloc(void* ud, void* ptr, size_t osize, size_t nsize)
{
    auto* h = static_cast<capped_heap*>(ud);
    size_t old = ptr ? osize : 0;
    if (nsize == 0) {
        free(ptr);
        h->used -= old;
        return nullptr;
    }
    if (nsize > old && h->used + (nsize - old) > h->limit) {
        h->failures++;
        return nullptr;
    }
    void* p = realloc(ptr, nsize);
    if (p) h->used = h->used - old + nsize;
    return p;
}
}  // namespace

TEST(VmGc, FullCollectionFreesGarbageAndStopKeepsIt)
{
    vm_state s;
    lua_gc(s.L, LUA_GCCOLLECT, 0);
    int base = lua_gc(s.L, LUA_GCCOUNT, 0);
    lua_gc(s.L, LUA_GCSTOP, 0);
    EXPECT_EQ(lua_gc(s.L, LUA_GCISRUNNING, 0), 0);
    ASSERT_EQ(s.run("for i = 1, 2000 do local t = {i, i, i, tostr} local s = 'k' .. i end"), "");
    int grown = lua_gc(s.L, LUA_GCCOUNT, 0);
    EXPECT_GT(grown, base + 100);  // nothing collected while stopped
    lua_gc(s.L, LUA_GCRESTART, 0);
    lua_gc(s.L, LUA_GCCOLLECT, 0);
    EXPECT_LT(lua_gc(s.L, LUA_GCCOUNT, 0), base + 8);
}

TEST(VmGc, WeakTablesLoseDeadEntries)
{
    vm_state s;
    ASSERT_EQ(s.run("keep = {} "
                    "wv = setmetatable({}, {__mode = 'v'}) wv[1] = {} wv[2] = keep wv.s = 'text' "
                    "wk = setmetatable({}, {__mode = 'k'}) wk[{}] = 1 wk[keep] = 2 "
                    // an ephemeron chain: the value refers to its own key
                    "local k2 = {} wk[{}] = k2 "
                    "wkv = setmetatable({}, {__mode = 'kv'}) wkv[keep] = {} wkv[1] = keep"),
              "");
    lua_gc(s.L, LUA_GCCOLLECT, 0);
    ASSERT_EQ(s.run("local n = 0 for k, v in pairs(wk) do n = n + 1 end nwk = n "
                    "n = 0 for k, v in pairs(wkv) do n = n + 1 end nwkv = n "
                    "v1 = wv[1] == nil and 1 or 0 v2 = wv[2] == keep and 1 or 0 vs = wv.s == 'text' and 1 or 0"),
              "");
    EXPECT_EQ(s.number("nwk"), fix_from_int(1));
    EXPECT_EQ(s.number("nwkv"), fix_from_int(1));
    EXPECT_EQ(s.number("v1"), FIX_ONE);
    EXPECT_EQ(s.number("v2"), FIX_ONE);
    EXPECT_EQ(s.number("vs"), FIX_ONE);
}

TEST(VmGc, FinalizersRunOnceAndMayResurrect)
{
    vm_state s;
    ASSERT_EQ(s.run("count = 0 saved = nil "
                    "local mt = {__gc = function(o) count = count + 1 saved = o end} "
                    "setmetatable({name = 'x'}, mt)"),
              "");
    lua_gc(s.L, LUA_GCCOLLECT, 0);
    EXPECT_EQ(s.number("count"), FIX_ONE);
    ASSERT_EQ(s.run("name = saved.name saved = nil"), "");
    lua_gc(s.L, LUA_GCCOLLECT, 0);
    lua_gc(s.L, LUA_GCCOLLECT, 0);
    EXPECT_EQ(s.number("count"), FIX_ONE);  // a resurrected object is finalized only once
    EXPECT_EQ(s.out, "");
    ASSERT_EQ(s.run("setmetatable({}, {__gc = function() print('closing') end})"), "");
}

TEST(VmGc, FinalizerErrorsAreReported)
{
    vm_state s;
    ASSERT_EQ(s.run("setmetatable({}, {__gc = function() local x = nil; return x.y end})"), "");
    lua_pushcfunction(s.L, [](lua_State* L) {
        lua_gc(L, LUA_GCCOLLECT, 0);
        return 0;
    });
    ASSERT_EQ(lua_pcall(s.L, 0, 0, 0), LUA_ERRGCMM);
    EXPECT_STREQ(lua_tostring(s.L, -1), "error in __gc metamethod (attempt to index local 'x' (a nil value))");
    lua_pop(s.L, 1);
}

TEST(VmGc, OpenUpvaluesOfDeadCoroutinesSurvive)
{
    vm_state s;
    ASSERT_EQ(s.run("local co = cocreate(function() local v = {7} get = function() return v[1] end yield() end) "
                    "coresume(co) co = nil"),
              "");
    lua_gc(s.L, LUA_GCCOLLECT, 0);
    lua_gc(s.L, LUA_GCCOLLECT, 0);
    ASSERT_EQ(s.run("seven = get()"), "");
    EXPECT_EQ(s.number("seven"), fix_from_int(7));
}

TEST(VmGc, EmergencyCollectionThenNotEnoughMemory)
{
    capped_heap heap{512 * 1024};
    vm_state s(capped_alloc, &heap);
    lua_gc(s.L, LUA_GCSTOP, 0);  // only emergency collections can free memory
    // Garbage that only an emergency collection can reclaim.
    EXPECT_EQ(s.run("for i = 1, 4000 do local t = {1, 2, 3, 4, 5, 6, 7, 8} end done = 1"), "");
    EXPECT_GT(heap.failures, 0);
    EXPECT_EQ(s.number("done"), FIX_ONE);
    // Live data past the limit.
    EXPECT_EQ(s.run("keep = {} for i = 1, 30000 do keep[i] = {i} end"), "not enough memory");
    EXPECT_EQ(s.run("keep = nil s = 'a' for i = 1, 40 do s = s .. s end"), "not enough memory");
    EXPECT_EQ(s.run("x = 1"), "");  // the state is still usable
}

TEST(VmGc, StacksShrinkAfterDeepRecursion)
{
    vm_state s;
    ASSERT_EQ(s.run("local function f(n) if n == 0 then return 0 end return 1 + f(n - 1) end depth = f(20000)"), "");
    EXPECT_EQ(s.number("depth"), fix_from_int(20000));
    int grown = s.L->stacksize;
    lua_gc(s.L, LUA_GCCOLLECT, 0);
    EXPECT_GT(grown, 40000);
    EXPECT_LT(s.L->stacksize, 1000);
    EXPECT_EQ(s.run("x = 1"), "");
}

TEST(VmGc, ReusedClosuresNeverOutliveACollection)
{
    // A function expression whose upvalues are the same each time gives the
    // same closure; different upvalues give a new one. The reuse cache is
    // dropped by a collection, so a closure freed by it is never handed out.
    vm_state s;
    ASSERT_EQ(s.run("function mk() return function() return 1 end end "
                    "function mk2(x) return function() return x end end "
                    "local a, b = mk(), mk() same = a == b "
                    "local c, d = mk2(1), mk2(2) differ = c ~= d and c() + d()"),
              "");
    lua_getglobal(s.L, "same");
    EXPECT_TRUE(lua_toboolean(s.L, -1));
    lua_pop(s.L, 1);
    EXPECT_EQ(s.number("differ"), fix_from_int(3));
    for (int round = 0; round < 3; round++) {
        lua_gc(s.L, LUA_GCCOLLECT, 0);  // the closures above are garbage now
        ASSERT_EQ(s.run("local f = mk() g = f() local h = mk() same = f == h"), "");
        EXPECT_EQ(s.number("g"), FIX_ONE);
    }
}
