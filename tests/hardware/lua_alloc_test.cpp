// The script heap allocator: charges by object kind, resizes, the soft limit
// and the hard ceiling, and the alignment of the blocks handed out.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "hardware/lua_alloc.h"

namespace {
void* alloc_new(orbo_heap& h, int kind, size_t n) { return orbo_lua_alloc(&h, nullptr, size_t(kind), n); }
void release(orbo_heap& h, void* p, size_t n) { orbo_lua_alloc(&h, p, n, 0); }
}  // namespace

TEST(LuaAlloc, NewBlocksAreChargedByKind)
{
    orbo_heap h;
    struct {
        int kind;
        size_t size;
        int64_t charge;
    } cases[] = {
        {4, 40, 32},  {5, 56, 28},  {6, 40, 20},  {1, 10, 5},   {3, 10, 5},  {0, 100, 50},
        {7, 100, 32}, {8, 200, 32}, {9, 120, 32}, {19, 16, 32}, {2, 64, 0},  {20, 64, 0},
        {38, 64, 0},  {4, 5, 0},
    };
    int64_t total = 0;
    for (auto& k : cases) {
        void* p = alloc_new(h, k.kind, k.size);
        ASSERT_TRUE(p);
        EXPECT_EQ(orbo_lua_block_charge(p), k.charge) << "kind " << k.kind;
        total += k.charge;
        EXPECT_EQ(h.used, total);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(std::max_align_t), 0u);
        std::memset(p, 0xab, k.size);  // the whole requested size is usable
        release(h, p, k.size);
        total -= k.charge;
        EXPECT_EQ(h.used, total);
    }
    h.compiling = true;
    void* p = alloc_new(h, 0, 100);
    EXPECT_EQ(orbo_lua_block_charge(p), 0);
    void* t = alloc_new(h, 5, 100);
    EXPECT_EQ(orbo_lua_block_charge(t), 50);  // only plain buffers are free while compiling
    release(h, p, 100);
    release(h, t, 100);
    EXPECT_EQ(h.used, 0);
    EXPECT_EQ(orbo_lua_alloc(&h, nullptr, 0, 0), nullptr);
}

TEST(LuaAlloc, ResizeKeepsTheChargeRuleAndTheContents)
{
    orbo_heap h;
    void* half = alloc_new(h, 5, 64);  // charge 32 = osize / 2: stays half
    std::memset(half, 7, 64);
    half = orbo_lua_alloc(&h, half, 64, 256);
    EXPECT_EQ(orbo_lua_block_charge(half), 128);
    EXPECT_EQ(static_cast<unsigned char*>(half)[63], 7);
    void* free_block = alloc_new(h, 2, 64);  // charge 0 stays 0
    free_block = orbo_lua_alloc(&h, free_block, 64, 1000);
    EXPECT_EQ(orbo_lua_block_charge(free_block), 0);
    void* str = alloc_new(h, 4, 64);  // charge 56, neither 0 nor half: the full new size
    str = orbo_lua_alloc(&h, str, 64, 30);
    EXPECT_EQ(orbo_lua_block_charge(str), 30);
    EXPECT_EQ(h.used, 158);
    release(h, half, 256);
    release(h, free_block, 1000);
    release(h, str, 30);
    EXPECT_EQ(h.used, 0);
}

TEST(LuaAlloc, SoftLimitFlagsPressureAndHardCeilingRefusesGrowth)
{
    static int yields = 0;
    orbo_heap h;
    h.soft_yield = [](orbo_heap*) { yields++; };
    h.base = 1000;
    h.used = 1000 + ORBO_HEAP_SOFT;  // exactly at the limit: nothing yet
    void* p = alloc_new(h, 2, 16);
    EXPECT_FALSE(h.memory_pressure);
    EXPECT_EQ(yields, 0);
    h.used++;
    void* q = alloc_new(h, 2, 16);
    EXPECT_TRUE(q);
    EXPECT_TRUE(h.memory_pressure);
    EXPECT_EQ(yields, 1);
    h.used = 1000 + ORBO_HEAP_HARD + 1;
    EXPECT_EQ(alloc_new(h, 5, 16), nullptr);
    EXPECT_TRUE(h.allocation_failed);
    EXPECT_EQ(orbo_lua_alloc(&h, p, 16, 32), nullptr);  // growth refused, p still valid
    void* shrunk = orbo_lua_alloc(&h, q, 16, 8);        // a shrink may not fail
    EXPECT_TRUE(shrunk);
    h.used = 0;
    release(h, p, 16);
    release(h, shrunk, 8);
}
