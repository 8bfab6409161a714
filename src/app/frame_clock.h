// Host-side pacing of console frames: a signed 16.16 count of frames owed,
// advanced by the host clock. At most four frames are carried, and at most
// one frame runs per host pass.
#pragma once
#include <cstdint>

constexpr int32_t ORBO_FRAME_ONE = 0x10000;
constexpr int32_t ORBO_FRAME_CARRY_MAX = 0x40000;

struct orbo_frame_clock {
    int32_t accumulator = 0;
    uint32_t last = 0;
    bool started = false;
};

// Adds rate x elapsed time; returns true when a frame is owed (the caller
// runs it and then calls orbo_frame_clock_done). With glitch set the count is
// exactly one frame every pass.
bool orbo_frame_clock_advance(orbo_frame_clock& c, uint32_t now_ms, int rate, bool glitch);
void orbo_frame_clock_done(orbo_frame_clock& c);
