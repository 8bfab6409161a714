// Recording allocates on the first frame only: every allocation of this test
// binary goes through the counting operator new below.
#include <atomic>
#include <cstdlib>
#include <new>

#include "capture_test_util.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n)
{
    g_allocations++;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST(CaptureRing, RecordingAllocatesOnlyOnTheFirstFrame)
{
    kiln_bitmap a = capturetest::frame_of(1), b = capturetest::frame_of(2);
    video_clip clip;
    long before = g_allocations;
    ASSERT_TRUE(record_video_frame(clip, a, 1));
    EXPECT_GT(g_allocations - before, 0);

    // 100 frames through a 30-frame ring: filling, rotating, and a reset.
    before = g_allocations;
    for (int k = 0; k < 100; k++) {
        ASSERT_TRUE(record_video_frame(clip, k % 2 ? a : b, 1));
        if (k == 60) reset_video(clip);
    }
    EXPECT_EQ(g_allocations - before, 0);
    EXPECT_EQ(clip.video_clip_index, 29);
}
