// The framework random generator: two 32-bit words stepped by
// rotate-and-add. Noise of the synthesiser draws from it in the audio thread;
// the framework seeds it with 0 at start, before the device runs. It is
// separate from the console generator of the script engine (orbo_random).
#pragma once
#include <cstdint>

// Seed 0: low = 0xDEADBEEF, high = 0x60009755; any other seed s: low = s,
// high = s XOR 0xBEAD29BA. No steps are discarded.
void kiln_srand(uint32_t seed);
// One step (high = rotl(high, 16) + low, then low += high) and the new high
// word mod bound; 0 without stepping when bound is 0.
uint32_t kiln_random(uint32_t bound);

struct kiln_rng_state {
    uint32_t high, low;
};
kiln_rng_state kiln_rng_get();
void kiln_rng_set(kiln_rng_state s);
