// The allocator of every script-engine state. It charges each block a size
// set by the kind of object it holds (not its real size), keeps the running
// total, and enforces a soft limit (memory pressure: the program is asked
// to yield so the scheduler can collect) and a hard ceiling (null).
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/lua/lpool.h"

struct orbo_heap {
    int64_t used = 0;         // charged bytes of live blocks
    int64_t host = 0;         // bytes taken from the host (blocks and headers)
    int64_t base = 0;         // 16 x the program's token count
    bool compiling = false;   // plain buffers are free while the source compiles
    bool memory_pressure = false;
    bool allocation_failed = false;
    // Asks the engine to yield soon; may be left null.
    void (*soft_yield)(orbo_heap* heap) = nullptr;
    orbo_pool pool;           // small blocks, kept across the states of one machine
};

constexpr int64_t ORBO_HEAP_SOFT = 0x200000;   // 2 MiB
constexpr int64_t ORBO_HEAP_HARD = 0x8000000;  // 128 MiB
// The ceiling also bounds the host memory behind the heap: a request that
// grows a block is refused when the bytes the heap would then take from the
// host (charged sizes are only part of the real ones) pass the hard ceiling
// by more than this margin (room for the program's own compiled code,
// which is charged nothing), whatever was charged before it.
constexpr int64_t ORBO_HEAP_HOST_MARGIN = 0x1000000;  // 16 MiB

// The lua_Alloc contract; ud is the orbo_heap. For a new block (ptr null)
// osize is the kind of object: 4 string, 5 table, 6 closure, 7-19 userdata,
// threads, prototypes, upvalues and the rest, 0 plain buffers.
void* orbo_lua_alloc(void* ud, void* ptr, size_t osize, size_t nsize);

// The charge recorded for a live block.
int64_t orbo_lua_block_charge(const void* ptr);
