// Invariants: a block of the region belongs to size class c (16 * (c + 1)
// bytes) for its whole life; a free block's first word links the next free
// block of its class; region + carved is the start of never-used memory.
#include "engine/lua/lpool.h"

#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define ORBO_POOL_OFF 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORBO_POOL_OFF 1
#endif
#endif

namespace {
inline size_t class_size(int c) { return size_t(c + 1) << 4; }

bool reserve(orbo_pool* pool)
{
#ifdef ORBO_POOL_OFF
    pool->unavailable = true;
    return false;
#else
    // A large request: the host maps it lazily, so untouched pages cost nothing.
    pool->region = static_cast<char*>(std::malloc(ORBO_POOL_REGION));
    pool->unavailable = pool->region == nullptr;
    return !pool->unavailable;
#endif
}

void* pool_alloc(orbo_pool* pool, size_t n)
{
    if (n <= ORBO_POOL_MAX_BLOCK) {
        int c = orbo_pool_class(n);
        if (void* b = orbo_pool_pop(pool, c)) return b;
        if (pool->region != nullptr || (!pool->unavailable && reserve(pool))) {
            size_t size = class_size(c);
            if (ORBO_POOL_REGION - pool->carved >= size) {
                void* p = pool->region + pool->carved;
                pool->carved += size;
                return p;
            }
        }
    }
    return std::malloc(n);
}

void pool_free(orbo_pool* pool, void* p, size_t n)
{
    if (orbo_pool_owns(pool, p)) {
        orbo_pool_push(pool, orbo_pool_class(n), p);
        return;
    }
    std::free(p);
}
}  // namespace

orbo_pool::~orbo_pool() { std::free(region); }

void* orbo_pool_realloc_slow(orbo_pool* pool, void* ptr, size_t osize, size_t nsize)
{
    if (nsize == 0) {
        if (ptr != nullptr) pool_free(pool, ptr, osize);
        return nullptr;
    }
    if (ptr == nullptr) return pool_alloc(pool, nsize);
    if (!orbo_pool_owns(pool, ptr)) {
        if (nsize > ORBO_POOL_MAX_BLOCK) return std::realloc(ptr, nsize);
    } else if (nsize <= ORBO_POOL_MAX_BLOCK && orbo_pool_class(nsize) == orbo_pool_class(osize)) {
        return ptr;
    }
    void* moved = pool_alloc(pool, nsize);
    if (moved == nullptr) return nullptr;
    std::memcpy(moved, ptr, osize < nsize ? osize : nsize);
    pool_free(pool, ptr, osize);
    return moved;
}
