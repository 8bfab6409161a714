// The render call allocates nothing: every global operator new of this test
// binary counts, and the count must not move while all eight voices play
// with instruments and every channel effect on.
#include "audio_fixture.h"
#include "../support/counting_new.h"

namespace audiotest {
namespace {

struct alloc_test : audio_test {};

TEST_F(alloc_test, NoAllocationInTheRenderCall)
{
    for (int n = 0; n < 8; n++) {  // instruments
        header(n, 1 + n, n & 1 ? 0 : 2, n & 1 ? 0 : 6);
        for (int i = 0; i < 32; i++) note(n, i, 18 + (i * 3 + n) % 20, (i + n) & 7, 3 + (i & 3), i & 7);
    }
    for (int n = 8; n < 12; n++) {
        header(n, 2 + n % 3, 0, 16);
        for (int i = 0; i < 32; i++) note(n, i, 20 + (i * 7) % 30, (i + n) & 7, 4 + (i % 4), (i + n) & 7, true);
    }
    for (int p = 0; p < 64; p++) pattern(p, 8, 9, 10, 11, p % 5 == 4 ? 2 : 0);
    orbo_music_play(0, 0, 0);
    for (int k = 0; k < 4; k++) orbo_sfx_play(8 + k, k, 0, 0);
    masks[0] = 1;
    masks[1] = 2 | 8;
    masks[2] = 4 | 8;
    masks[3] = 8 | 1;
    static int16_t buf[8192];
    orbo_audio_render(buf, 1024);  // warm-up (lazy initialisation of anything)
    long before = orbo_news.load();
    static int* volatile sink = nullptr;
    sink = new int(3);  // the counter counts
    delete sink;
    EXPECT_EQ(orbo_news.load(), before + 1);
    before = orbo_news.load();
    for (int i = 0; i < 50; i++) orbo_audio_render(buf, 1024);
    orbo_audio_render(buf, 8192);
    orbo_mixer_callback(nullptr, reinterpret_cast<uint8_t*>(buf), 2048);
    EXPECT_EQ(orbo_news.load(), before);
    EXPECT_TRUE(orbo_any_sound_is_playing());
}

}  // namespace
}  // namespace audiotest
