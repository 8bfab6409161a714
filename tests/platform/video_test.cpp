#include "platform/video.h"

#include <gtest/gtest.h>

#include "fake_host.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/log.h"

TEST(DestRect, PixelPerfectScalesByWholeFactorsCentred)
{
    kiln_rect r = kiln_compute_dest_rect({128, 128, 580, 540, true, nullptr});
    EXPECT_EQ(r, (kiln_rect{34, 14, 512, 512}));
    // Narrower than the picture: still scale 1, overhanging the window.
    r = kiln_compute_dest_rect({128, 128, 100, 300, true, nullptr});
    EXPECT_EQ(r, (kiln_rect{-14, 86, 128, 128}));
    r = kiln_compute_dest_rect({128, 128, 1920, 1080, true, nullptr});
    EXPECT_EQ(r, (kiln_rect{448, 28, 1024, 1024}));
}

TEST(DestRect, AspectPreservedAndSpecialCases)
{
    EXPECT_EQ(kiln_compute_dest_rect({128, 128, 1000, 500, false, nullptr}),
              (kiln_rect{250, 0, 500, 500}));
    EXPECT_EQ(kiln_compute_dest_rect({128, 128, 500, 1000, false, nullptr}),
              (kiln_rect{0, 250, 500, 500}));
    EXPECT_EQ(kiln_compute_dest_rect({200, 100, 300, 300, false, nullptr}),
              (kiln_rect{0, 75, 300, 150}));
    EXPECT_EQ(kiln_compute_dest_rect({128, 128, 0, 480, true, nullptr}), (kiln_rect{0, 0, 0, 0}));
    EXPECT_EQ(kiln_compute_dest_rect({128, 128, 640, -1, false, nullptr}), (kiln_rect{0, 0, 0, 0}));
    int fixed[4] = {1, 2, 3, 4};
    EXPECT_EQ(kiln_compute_dest_rect({128, 128, 0, 0, true, fixed}), (kiln_rect{1, 2, 3, 4}));
    int unset[4] = {5, 5, 0, 10};
    EXPECT_EQ(kiln_compute_dest_rect({128, 128, 640, 480, true, unset}),
              (kiln_rect{128, 48, 384, 384}));
}

TEST(Video, ArgbTableAndNearestScaling)
{
    kiln_palette pal;
    pal.rgb[3] = 0x12, pal.rgb[4] = 0x34, pal.rgb[5] = 0x56;
    uint32_t table[256];
    kiln_build_argb_table(pal, table);
    EXPECT_EQ(table[0], 0xFF000000u);
    EXPECT_EQ(table[1], 0xFF123456u);

    // 2x2 source into a 5x4 surface at (1,0) size 4x4: each source pixel 2x2.
    uint32_t src[4] = {1, 2, 3, 4};
    uint32_t dst[5 * 4];
    for (uint32_t& d : dst) d = 99;
    kiln_scale_nearest(src, 2, 2, dst, 5, 4, 5, {1, 0, 4, 4});
    uint32_t want[5 * 4] = {0, 1, 1, 2, 2, 0, 1, 1, 2, 2, 0, 3, 3, 4, 4, 0, 3, 3, 4, 4};
    for (int i = 0; i < 20; i++) EXPECT_EQ(dst[i], want[i]) << i;
    // Partly outside the surface: clipped, never written out of bounds.
    kiln_scale_nearest(src, 2, 2, dst, 5, 4, 5, {-2, -2, 8, 8});
    EXPECT_EQ(dst[0], 1u);
    EXPECT_EQ(dst[19], 4u);
}

TEST(Video, SmoothedFps)
{
    // A steady 20 ms pass: the instant value is 51; the smoothed value climbs
    // by at least 1/16 per pass and never passes it.
    int32_t s = 0;
    for (int i = 0; i < 400; i++) s = kiln_smooth_fps(s, 20);
    EXPECT_EQ(s >> 16, 51);
    EXPECT_EQ(s, 51 << 16);
    // No time passed: instant 1001; (51 * 15 + 1001) / 16 raw, plus the 1/16 step.
    EXPECT_EQ(kiln_smooth_fps(51 << 16, 0), 1766 * 4096 + 4096);
    // A stall over a second counts as one second: instant 2.
    int32_t down = kiln_smooth_fps(2 << 16, 5000);
    EXPECT_EQ(down, 2 << 16);
}

TEST(Video, FpsStripDrawsDigits)
{
    uint32_t strip[128 * 8];
    kiln_draw_fps_strip(strip, 7);
    int white = 0;
    for (uint32_t p : strip) white += p == 0xFFFFFFFFu;
    EXPECT_GT(white, 20);
    EXPECT_EQ(strip[0], 0xFF000000u);
    // Three digits and " fps" stay inside 36 pixels.
    for (int y = 0; y < 8; y++)
        for (int x = 36; x < 128; x++) EXPECT_EQ(strip[y * 128 + x], 0xFF000000u);
}

TEST(Video, SetScreenChoosesPixelPerfectAndWindowMode)
{
    fake_host host;
    host.is_headless = false;
    kiln_host_set(&host);
    kiln_log_set_stdout(false);
    kiln_config_default();
    kiln_video_init();
    kiln_screen_mode = 1;
    kiln_set_window_size(0, 0);
    ASSERT_EQ(kiln_set_screen(128, 128, 8, 0x100), 0);
    EXPECT_EQ(cconfig.pixel_perfect, 1);
    EXPECT_EQ(kiln_screen_mode, 1);  // no file: fullscreen
    EXPECT_EQ(host.windows_opened, 1);
    EXPECT_EQ(host.win_w, 1920);  // fullscreen pixel-perfect takes the desktop size
    EXPECT_EQ(cconfig.window_w, 640);
    ASSERT_TRUE(kiln_back_page);
    EXPECT_EQ(kiln_back_page->w, 128);

    cconfig.windowed = 1;
    kiln_set_screen(128, 128, 8, 0x100);
    EXPECT_EQ(kiln_screen_mode, 0);
    EXPECT_EQ(host.win_w, 640);
    kiln_toggle_fullscreen();
    EXPECT_EQ(kiln_get_windowed(), 0);
    EXPECT_EQ(host.windows_opened, 3);

    // No renderer: the software path is kept (and saved).
    host.open_result = 1;
    kiln_set_screen(128, 128, 8, 4);
    EXPECT_EQ(cconfig.software_blit, 1);

    // Headless: no window calls at all.
    cconfig.headless = 1;
    int before = host.windows_opened;
    kiln_set_screen(128, 128, 8, 8);
    kiln_toggle_fullscreen();
    kiln_blit_back_page();
    EXPECT_EQ(host.windows_opened, before);
    EXPECT_EQ(host.presents, 0);
    kiln_host_set(nullptr);
    kiln_log_set_stdout(true);
}

TEST(Video, UnchangedPicturesAreNotPresentedAgain)
{
    fake_host host;
    host.is_headless = false;
    kiln_host_set(&host);
    kiln_log_set_stdout(false);
    kiln_config_default();
    kiln_video_init();
    cconfig.windowed = 1;
    kiln_set_window_size(640, 480);
    ASSERT_EQ(kiln_set_screen(128, 128, 8, 0x100), 0);
    kiln_blit_back_page();
    kiln_blit_back_page();
    EXPECT_EQ(host.presents, 1);
    kiln_back_page->row(5)[5] = 7;  // a changed pixel
    kiln_blit_back_page();
    EXPECT_EQ(host.presents, 2);
    host.refresh = true;  // contents lost (exposed)
    kiln_blit_back_page();
    kiln_blit_back_page();
    EXPECT_EQ(host.presents, 3);
    host.win_w = 800;  // a new size moves the picture
    kiln_blit_back_page();
    EXPECT_EQ(host.presents, 4);
    kiln_toggle_fullscreen();  // a new window
    kiln_blit_back_page();
    EXPECT_EQ(host.presents, 5);
    cconfig.show_fps = 1;  // the counter is redrawn every pass
    kiln_blit_back_page();
    kiln_blit_back_page();
    EXPECT_EQ(host.presents, 7);
    kiln_host_set(nullptr);
    kiln_log_set_stdout(true);
}
