// Every block carries a header of alignof(max_align_t) bytes in front of the
// pointer handed out, holding the block's charge, so that the pointers stay
// aligned as malloc aligns them. Invariant: heap->used is the sum of the
// charges of live blocks.
#include "hardware/lua_alloc.h"


namespace {
constexpr size_t k_header = alignof(std::max_align_t);
static_assert(k_header >= 2 * sizeof(int64_t));

int64_t& charge_of(void* block) { return *static_cast<int64_t*>(block); }
// The real size of the block as handed out (without the header).
int64_t& size_of(void* block) { return static_cast<int64_t*>(block)[1]; }
void* block_of(void* ptr) { return static_cast<char*>(ptr) - k_header; }
void* user_of(void* block) { return static_cast<char*>(block) + k_header; }

int64_t new_block_charge(const orbo_heap* h, size_t kind, size_t nsize)
{
    int64_t n = int64_t(nsize);
    switch (kind) {
    case 4: return n > 8 ? n - 8 : 0;  // a string's header is never under 8 bytes
    case 1: case 3: case 5: case 6: return n / 2;
    case 0: return h->compiling ? 0 : n / 2;
    default: return kind >= 7 && kind <= 19 ? 32 : 0;
    }
}

int64_t resize_charge(int64_t old_charge, size_t osize, size_t nsize)
{
    if (old_charge == 0) return 0;
    if (old_charge == int64_t(osize / 2)) return int64_t(nsize / 2);
    return int64_t(nsize);
}
}  // namespace

int64_t orbo_lua_block_charge(const void* ptr) { return charge_of(block_of(const_cast<void*>(ptr))); }

void* orbo_lua_alloc(void* ud, void* ptr, size_t osize, size_t nsize)
{
    orbo_heap* h = static_cast<orbo_heap*>(ud);
    if (nsize == 0) {
        if (!ptr) return nullptr;
        void* block = block_of(ptr);
        h->used -= charge_of(block);
        h->host -= size_of(block) + int64_t(k_header);
        orbo_pool_realloc(&h->pool, block, size_t(size_of(block)) + k_header, 0);
        return nullptr;
    }
    if (h->used - h->base > ORBO_HEAP_SOFT) {
        h->memory_pressure = true;
        if (h->soft_yield) h->soft_yield(h);
    }
    // The engine may not see a shrink fail, so the ceiling refuses growth only.
    bool grows = !ptr || nsize > osize;
    if (grows && h->used - h->base > ORBO_HEAP_HARD) {
        h->allocation_failed = true;
        return nullptr;
    }
    // A single request is measured by what it takes from the host, not by
    // what was charged before it: one huge string or buffer cannot pass.
    int64_t old_size = ptr ? size_of(block_of(ptr)) : 0;
    if (grows && (nsize > size_t(ORBO_HEAP_HARD) + size_t(ORBO_HEAP_HOST_MARGIN) ||
                  h->host + int64_t(nsize) - old_size + int64_t(ptr ? 0 : k_header) >
                      ORBO_HEAP_HARD + ORBO_HEAP_HOST_MARGIN)) {
        h->allocation_failed = true;
        return nullptr;
    }
    if (nsize > SIZE_MAX - k_header) return nullptr;
    if (ptr) {
        void* old = block_of(ptr);
        int64_t charge = resize_charge(charge_of(old), osize, nsize);
        void* block = orbo_pool_realloc(&h->pool, old, size_t(size_of(old)) + k_header, nsize + k_header);
        if (!block) return nullptr;  // the old block and its charge stay
        h->used += charge - charge_of(block);
        h->host += int64_t(nsize) - size_of(block);
        charge_of(block) = charge;
        size_of(block) = int64_t(nsize);
        return user_of(block);
    }
    void* block = orbo_pool_realloc(&h->pool, nullptr, 0, nsize + k_header);
    if (!block) return nullptr;
    int64_t charge = new_block_charge(h, osize, nsize);
    charge_of(block) = charge;
    size_of(block) = int64_t(nsize);
    h->used += charge;
    h->host += int64_t(nsize) + int64_t(k_header);
    return user_of(block);
}
