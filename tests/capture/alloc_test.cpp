// Recording allocates on the first frame only: every allocation of this test
// binary goes through the counting operator new.
#include "capture_test_util.h"
#include "../support/counting_new.h"

TEST(CaptureRing, RecordingAllocatesOnlyOnTheFirstFrame)
{
    kiln_bitmap a = capturetest::frame_of(1), b = capturetest::frame_of(2);
    video_clip clip;
    long before = orbo_news;
    ASSERT_TRUE(record_video_frame(clip, a, 1));
    EXPECT_GT(orbo_news - before, 0);

    // 100 frames through a 30-frame ring: filling, rotating, and a reset.
    before = orbo_news;
    for (int k = 0; k < 100; k++) {
        ASSERT_TRUE(record_video_frame(clip, k % 2 ? a : b, 1));
        if (k == 60) reset_video(clip);
    }
    EXPECT_EQ(orbo_news - before, 0);
    EXPECT_EQ(clip.video_clip_index, 29);
}
