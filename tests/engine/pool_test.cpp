// The small-block pool under the engine's allocators: contents survive every
// resize (within a size class, across classes, into and out of host blocks),
// freed blocks are reused by their own class only, and a used-up region
// hands requests to the host without losing any block.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/lua/lpool.h"

namespace {
void fill(void* p, size_t n, int seed)
{
    for (size_t i = 0; i < n; i++) static_cast<unsigned char*>(p)[i] = static_cast<unsigned char>(seed + i * 7);
}
bool holds(const void* p, size_t n, int seed)
{
    for (size_t i = 0; i < n; i++)
        if (static_cast<const unsigned char*>(p)[i] != static_cast<unsigned char>(seed + i * 7)) return false;
    return true;
}
}  // namespace

TEST(Pool, ResizesKeepContentsAcrossClassesAndHostBlocks)
{
    orbo_pool pool;
    // 1 -> 16 (same class), -> 17 (next class), -> 512 (last class), -> 513
    // and 4000 (host), -> 100 (back to a class), -> 1: the common prefix stays.
    const size_t sizes[] = {1, 16, 17, 200, 512, 513, 4000, 100, 1};
    void* p = orbo_pool_realloc(&pool, nullptr, 0, sizes[0]);
    fill(p, sizes[0], 3);
    for (size_t s = 1; s < std::size(sizes); s++) {
        size_t keep = std::min(sizes[s - 1], sizes[s]);
        p = orbo_pool_realloc(&pool, p, sizes[s - 1], sizes[s]);
        ASSERT_NE(p, nullptr);
        ASSERT_TRUE(holds(p, keep, 3)) << "after resizing to " << sizes[s];
        fill(p, sizes[s], 3);
    }
    EXPECT_EQ(orbo_pool_realloc(&pool, p, 1, 0), nullptr);
    EXPECT_EQ(orbo_pool_realloc(&pool, nullptr, 0, 0), nullptr);
}

TEST(Pool, FreedBlocksAreReusedByTheirClassAndLiveBlocksNeverOverlap)
{
    orbo_pool pool;
    struct block { unsigned char* p; size_t n; int seed; };
    std::vector<block> live;
    uint32_t r = 12345;
    auto rnd = [&] { return r = r * 1103515245u + 12345u, r >> 8; };
    for (int step = 0; step < 20000; step++) {
        if (live.empty() || rnd() % 3 != 0) {
            size_t n = 1 + rnd() % 700;
            auto* p = static_cast<unsigned char*>(orbo_pool_realloc(&pool, nullptr, 0, n));
            ASSERT_NE(p, nullptr);
            fill(p, n, step);
            live.push_back({p, n, step});
        } else {
            size_t at = rnd() % live.size();
            ASSERT_TRUE(holds(live[at].p, live[at].n, live[at].seed));
            orbo_pool_realloc(&pool, live[at].p, live[at].n, 0);
            live[at] = live.back();
            live.pop_back();
        }
    }
    for (const block& b : live) EXPECT_TRUE(holds(b.p, b.n, b.seed));
    for (const block& b : live) orbo_pool_realloc(&pool, b.p, b.n, 0);
#if !defined(__SANITIZE_ADDRESS__)
    // A freed block comes back for the next request of its class only.
    void* a = orbo_pool_realloc(&pool, nullptr, 0, 40);
    orbo_pool_realloc(&pool, a, 40, 0);
    void* other = orbo_pool_realloc(&pool, nullptr, 0, 80);
    EXPECT_NE(other, a);
    EXPECT_EQ(orbo_pool_realloc(&pool, nullptr, 0, 33), a);
#endif
}

TEST(Pool, AUsedUpRegionFallsBackToTheHost)
{
    orbo_pool pool;
    std::vector<void*> blocks;
    const size_t n = ORBO_POOL_MAX_BLOCK;
    // One block more than the region holds, each still readable.
    for (size_t i = 0; i <= ORBO_POOL_REGION / n; i++) {
        void* p = orbo_pool_realloc(&pool, nullptr, 0, n);
        ASSERT_NE(p, nullptr);
        std::memset(p, int(i & 0xff), 8);
        blocks.push_back(p);
    }
    for (size_t i = 0; i < blocks.size(); i++) {
        ASSERT_EQ(static_cast<unsigned char*>(blocks[i])[7], i & 0xff);
        orbo_pool_realloc(&pool, blocks[i], n, 0);
    }
}
