// The frame ring and the GIFs made from it, read back by giflib's decoder
// and by ImageMagick.
#include <cstdio>

#include "capture/gif_writer.h"
#include "capture_test_util.h"

using namespace capturetest;

// 20 seconds of play with gif_len 8: the 239 most recent frames, in order,
// and a second save writes the same frames under the next number.
TEST(CaptureGif, TwentySecondsKeepTheMostRecentFrames)
{
    std::string dir = carttest::scratch_dir();
    video_clip clip;
    for (int k = 0; k < 600; k++) ASSERT_TRUE(record_video_frame(clip, frame_of(k), 8));
    EXPECT_EQ(clip.capacity(), 240);
    EXPECT_EQ(clip.video_clip_index, 239);

    std::string first, second;
    ASSERT_EQ(save_gif(clip, settings_in(dir), &first), ORBO_GIF_OK);
    ASSERT_EQ(save_gif(clip, settings_in(dir), &second), ORBO_GIF_OK);
    EXPECT_EQ(first, dir + "ORBO_0.gif");
    EXPECT_EQ(second, dir + "ORBO_1.gif");
    EXPECT_EQ(carttest::read_file(first), carttest::read_file(second));

    bool ok = false;
    gif_ptr g = read_gif(first, &ok);
    ASSERT_TRUE(g && ok);
    ASSERT_TRUE(g->SColorMap);
    ASSERT_EQ(g->SColorMap->ColorCount, 16);
    EXPECT_EQ(g->SColorMap->Colors[9].Green, 255 - 9);
    ASSERT_EQ(g->ImageCount, 239);
    for (int i = 0; i < g->ImageCount; i++) {
        const SavedImage& img = g->SavedImages[i];
        ASSERT_EQ(frame_number(img, 2), 361 + i) << "image " << i;
        // Row 5 of the frame at scale 2: the diagonal pattern, each pixel twice.
        EXPECT_EQ(img.RasterBits[10 * 256 + 2 * 7 + 1], (7 + 5) & 15);
    }

    // An independent decoder agrees: 239 frames of 3/100 s, 256 pixels square.
    std::string frames;
    if (FILE* p = popen(("identify -format '%T %w %h\\n' '" + first + "' 2>/dev/null").c_str(), "r")) {
        for (int ch; (ch = fgetc(p)) != EOF;) frames += char(ch);
        pclose(p);
    }
    if (frames.empty()) GTEST_SKIP() << "ImageMagick identify is not available";
    std::string expected;
    for (int i = 0; i < 239; i++) expected += "3 256 256\n";
    EXPECT_EQ(frames, expected);
}

TEST(CaptureGif, ResetLeavesAnEmptyGif)
{
    std::string dir = carttest::scratch_dir();
    video_clip clip;
    for (int k = 0; k < 50; k++) record_video_frame(clip, frame_of(k), 1);
    reset_video(clip);
    std::string empty;
    ASSERT_EQ(save_gif(clip, settings_in(dir), &empty), ORBO_GIF_OK);
    gif_ptr g = read_gif(empty);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->ImageCount, 0);
}

// One extended-palette pixel in one frame makes every frame use 256 colours.
TEST(CaptureGif, ExtendedColourGivesFullColourMap)
{
    std::string dir = carttest::scratch_dir();
    video_clip clip;
    kiln_bitmap f = frame_of(3);
    record_video_frame(clip, frame_of(2), 8);
    f.row(127)[127] = 133;
    record_video_frame(clip, f, 8);
    record_video_frame(clip, frame_of(4), 8);
    capture_settings s = settings_in(dir);
    s.gif_scale = 1;
    std::string path;
    ASSERT_EQ(save_gif(clip, s, &path), ORBO_GIF_OK);
    gif_ptr g = read_gif(path);
    ASSERT_TRUE(g);
    ASSERT_EQ(g->SColorMap->ColorCount, 256);
    EXPECT_EQ(g->SColorMap->Colors[133].Blue, uint8_t(133 * 7));
    ASSERT_EQ(g->ImageCount, 3);
    EXPECT_EQ(g->SWidth, 128);
    EXPECT_EQ(g->SavedImages[1].RasterBits[128 * 128 - 1], 133);
    EXPECT_EQ(frame_number(g->SavedImages[2], 1), 4);
}
