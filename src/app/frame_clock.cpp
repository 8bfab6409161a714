#include "app/frame_clock.h"

bool orbo_frame_clock_advance(orbo_frame_clock& c, uint32_t now, int rate, bool glitch)
{
    if (!c.started) {
        c.last = now;
        c.started = true;
    }
    // Unsigned difference: survives the wrap of the millisecond clock.
    int64_t elapsed = int64_t(uint32_t(now - c.last));
    int64_t add = int64_t(rate) * (elapsed * 65536 / 1000);
    c.last = now;
    int64_t acc = int64_t(c.accumulator) + add;
    if (glitch) {
        c.accumulator = ORBO_FRAME_ONE;
        return true;
    }
    if (acc < 0) {
        c.accumulator = 0;
        return false;
    }
    if (acc > ORBO_FRAME_CARRY_MAX) acc = ORBO_FRAME_CARRY_MAX;
    c.accumulator = int32_t(acc);
    return c.accumulator >= ORBO_FRAME_ONE;
}

void orbo_frame_clock_done(orbo_frame_clock& c) { c.accumulator -= ORBO_FRAME_ONE; }
