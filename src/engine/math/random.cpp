// The random generator: two 32-bit words stepped by rotate-and-add. The
// state is global to the process and touched only by the main thread.
#include "engine/math/fixed.h"

namespace {
uint32_t m_high = 0x60009755;
uint32_t m_low = 0xdeadbeef;

// One step; the output is the new high word.
uint32_t step()
{
    m_high = orbo_rotl(m_high, 16) + m_low;
    m_low += m_high;
    return m_high;
}
}  // namespace

uint32_t orbo_rotl(uint32_t value, int count)
{
    count &= 31;
    return count == 0 ? value : (value << count) | (value >> (32 - count));
}

void orbo_srand(uint32_t seed)
{
    if (seed == 0) {
        m_high = 0x60009755;
        m_low = 0xdeadbeef;
    } else {
        m_high = seed ^ 0xbead29ba;
        m_low = seed;
    }
    for (int i = 0; i < 32; i++) step();
}

// A bound of 0 gives 0 and leaves the state as it is.
uint32_t orbo_random(uint32_t bound)
{
    if (bound == 0) return 0;
    return step() % bound;
}

orbo_rng_state orbo_rng_get()
{
    return {m_high, m_low};
}

void orbo_rng_set(orbo_rng_state s)
{
    m_high = s.high;
    m_low = s.low;
}
