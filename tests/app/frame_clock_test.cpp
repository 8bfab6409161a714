#include "app/frame_clock.h"

#include <gtest/gtest.h>

TEST(FrameClock, FiftyMillisecondsAtThirtyAddsOneAndAHalf)
{
    orbo_frame_clock c;
    EXPECT_FALSE(orbo_frame_clock_advance(c, 1000, 30, false));  // first pass only starts the clock
    EXPECT_TRUE(orbo_frame_clock_advance(c, 1050, 30, false));
    EXPECT_EQ(c.accumulator, 30 * (50 * 65536 / 1000));  // 98280, about 1.5 frames
    orbo_frame_clock_done(c);
    EXPECT_EQ(c.accumulator, 98280 - 0x10000);  // half a frame carried
    EXPECT_FALSE(orbo_frame_clock_advance(c, 1050, 30, false));
}

TEST(FrameClock, SixtyFramesGlitchAndClockWrap)
{
    orbo_frame_clock c;
    orbo_frame_clock_advance(c, 0, 60, false);
    int frames = 0;
    for (uint32_t t = 1; t <= 1000; t++) {
        if (orbo_frame_clock_advance(c, t, 60, false)) {
            orbo_frame_clock_done(c);
            frames++;
        }
    }
    EXPECT_GE(frames, 59);
    EXPECT_LE(frames, 60);
    // Glitch test: exactly one frame every pass, whatever the clock says.
    EXPECT_TRUE(orbo_frame_clock_advance(c, 1000, 30, true));
    EXPECT_EQ(c.accumulator, 0x10000);
    // The 32-bit millisecond clock wraps: 20 ms across the wrap is 20 ms.
    orbo_frame_clock w;
    orbo_frame_clock_advance(w, 0xFFFFFFF0u, 30, false);
    orbo_frame_clock_advance(w, 4, 30, false);
    EXPECT_EQ(w.accumulator, 30 * (20 * 65536 / 1000));
}
