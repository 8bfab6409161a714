// Small blocks for the allocator of one engine state. Script programs make
// and drop small objects (tables, nodes, closures, strings, upvalues) at a
// high rate; the host's general allocator spends more time on them than the
// virtual machine spends using them.
//
// Blocks up to ORBO_POOL_MAX_BLOCK bytes come from per-size free lists
// (sizes rounded up to 16) carved from one region reserved on first use;
// the region's pages are only touched as blocks are carved, and the region
// never grows: once it is used up, or for larger blocks, the host's
// allocator serves the request. A block returns to the free list of its
// size, so the region's memory is reused by the state but only given back
// to the host when the pool is destroyed. Not thread-safe: one pool per
// state. Under the address sanitizer the pool serves nothing, so that
// every block stays a host block the sanitizer can watch.
#pragma once
#include <cstddef>

constexpr size_t ORBO_POOL_MAX_BLOCK = 512;
constexpr size_t ORBO_POOL_REGION = size_t(16) << 20;  // 16 MiB of address space

struct orbo_pool {
    static constexpr int classes = int(ORBO_POOL_MAX_BLOCK / 16);
    void* free_list[classes] = {};
    char* region = nullptr;  // ORBO_POOL_REGION bytes, or null before first use
    size_t carved = 0;       // bytes of the region handed out at least once
    bool unavailable = false;

    orbo_pool() = default;
    orbo_pool(const orbo_pool&) = delete;
    orbo_pool& operator=(const orbo_pool&) = delete;
    ~orbo_pool();
};

// lua_Alloc semantics over the pool: nsize 0 frees ptr (osize is its size),
// a null ptr allocates, otherwise the block is resized (moved when its size
// class changes). osize must be the size the block was allocated with.
// Returns null when the host refuses (the old block then stays valid).
// The common cases (a new block from a free list, a block back to its
// list) are inline; everything else is orbo_pool_realloc_slow.
void* orbo_pool_realloc_slow(orbo_pool* pool, void* ptr, size_t osize, size_t nsize);

// Size class of a block of n bytes, 1 <= n <= ORBO_POOL_MAX_BLOCK.
inline int orbo_pool_class(size_t n) { return int((n - 1) >> 4); }
inline bool orbo_pool_owns(const orbo_pool* pool, const void* p)
{
    const char* c = static_cast<const char*>(p);
    return pool->region != nullptr && c >= pool->region && c < pool->region + ORBO_POOL_REGION;
}

// A free block of class c, or null.
inline void* orbo_pool_pop(orbo_pool* pool, int c)
{
    void* b = pool->free_list[c];
    if (b != nullptr) pool->free_list[c] = *static_cast<void**>(b);
    return b;
}
inline void orbo_pool_push(orbo_pool* pool, int c, void* b)
{
    *static_cast<void**>(b) = pool->free_list[c];
    pool->free_list[c] = b;
}

inline void* orbo_pool_realloc(orbo_pool* pool, void* ptr, size_t osize, size_t nsize)
{
    if (ptr == nullptr) {
        if (nsize - 1 < ORBO_POOL_MAX_BLOCK)
            if (void* b = orbo_pool_pop(pool, orbo_pool_class(nsize))) return b;
    } else if (nsize == 0 && orbo_pool_owns(pool, ptr)) {
        orbo_pool_push(pool, orbo_pool_class(osize), ptr);
        return nullptr;
    }
    return orbo_pool_realloc_slow(pool, ptr, osize, nsize);
}
