// Memory discipline of the compiler: every block goes through the state's
// allocation function, new objects announce their kind, everything is
// released by lua_close, and running out of memory at any point gives the
// "not enough memory" error without leaks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "engine/lua/lcompile.h"
#include "engine/lua/lobject.h"

namespace {
struct counting_alloc {
    long live_bytes = 0;
    long allocations = 0;
    long fail_after = -1;  // refuse the allocation with this index
    std::map<size_t, int> kinds;  // osize of new blocks
};

void* counting(void* ud, void* ptr, size_t osize, size_t nsize)
{
    counting_alloc* a = static_cast<counting_alloc*>(ud);
    if (nsize == 0) {
        if (ptr) a->live_bytes -= long(osize);
        free(ptr);
        return nullptr;
    }
    if (a->fail_after >= 0 && a->allocations >= a->fail_after) return nullptr;
    a->allocations++;
    if (!ptr) a->kinds[osize]++;
    void* p = realloc(ptr, nsize);
    if (p) a->live_bytes += long(nsize) - (ptr ? long(osize) : 0);
    return p;
}

const char* k_program =
    "local t = {1, 2, 3, x = 'a long string constant that is not interned at all'}\n"
    "local function f(a, ...) local b = {...} return function() return a, b end end\n"
    "for i = 1, 10 do t[i] = f(i) end\n"
    "goto done\n::done::\nreturn t";
}  // namespace

TEST(CompilerMemory, AllocationsCarryKindsAndAreAllReleased)
{
    counting_alloc a;
    lua_State* L = lua_newstate(counting, &a);
    ASSERT_NE(L, nullptr);
    Proto* f = nullptr;
    ASSERT_EQ(orbo_compile(L, k_program, strlen(k_program), "=t", &f), LUA_OK);
    EXPECT_EQ(f->sizep, 1);
    lua_close(L);
    EXPECT_EQ(a.live_bytes, 0);
    EXPECT_EQ(a.kinds[LUA_TTHREAD], 1);        // the state itself
    EXPECT_GT(a.kinds[LUA_TSTRING], 20);       // names, constants, reserved words
    EXPECT_EQ(a.kinds[LUA_TNUMBER + 0], 0);    // numbers are never allocated
    EXPECT_EQ(a.kinds[9 /* LUA_TPROTO */], 3);  // main and two nested functions
}

TEST(CompilerMemory, RunningOutOfMemoryAnywhereIsAnError)
{
    int failures = 0;
    for (long n = 0;; n++) {
        counting_alloc a;
        a.fail_after = n;
        lua_State* L = lua_newstate(counting, &a);
        if (L == nullptr) {
            EXPECT_EQ(a.live_bytes, 0) << n;
            continue;
        }
        Proto* f = nullptr;
        int status = orbo_compile(L, k_program, strlen(k_program), "=t", &f);
        if (status == LUA_ERRMEM) {
            EXPECT_STREQ(orbo_error_text(L), "not enough memory");
            failures++;
        } else if (status != LUA_OK) {
            // Forming a syntax message can itself run out; any error is
            // acceptable as long as nothing leaks.
            EXPECT_TRUE(status == LUA_ERRRUN || status == LUA_ERRSYNTAX) << status;
        }
        lua_close(L);
        EXPECT_EQ(a.live_bytes, 0) << n;
        if (status == LUA_OK) break;
        ASSERT_LT(n, 100000);
    }
    EXPECT_GT(failures, 10);
}
