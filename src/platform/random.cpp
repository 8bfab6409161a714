#include "platform/random.h"

namespace {
uint32_t g_high = 0x60009755;
uint32_t g_low = 0xdeadbeef;

uint32_t rotl16(uint32_t v) { return (v << 16) | (v >> 16); }
}  // namespace

void kiln_srand(uint32_t seed)
{
    if (seed == 0) {
        g_low = 0xdeadbeef;
        g_high = 0x60009755;
    } else {
        g_low = seed;
        g_high = seed ^ 0xbead29ba;
    }
}

uint32_t kiln_random(uint32_t bound)
{
    if (bound == 0) return 0;
    g_high = rotl16(g_high) + g_low;
    g_low += g_high;
    return g_high % bound;
}

kiln_rng_state kiln_rng_get() { return {g_high, g_low}; }

void kiln_rng_set(kiln_rng_state s)
{
    g_high = s.high;
    g_low = s.low;
}
