// Screenshots read back with LodePNG, file naming and the desktop folder's
// fallback.
#include <lodepng.h>

#include <filesystem>

#include "capture/gif_writer.h"
#include "capture/screenshot.h"
#include "capture_test_util.h"
#include "platform/paths.h"

using namespace capturetest;

TEST(CaptureScreenshot, IndexedPngWithoutIndexZero)
{
    std::string dir = carttest::scratch_dir();
    kiln_bitmap screen = frame_of(0);  // row 0 starts 0, 0, 0
    screen.row(1)[0] = 140;
    std::string first, second;
    ASSERT_EQ(save_png_screenshot(screen, settings_in(dir), &first), ORBO_SHOT_OK);
    ASSERT_EQ(save_png_screenshot(screen, settings_in(dir), &second), ORBO_SHOT_OK);
    EXPECT_EQ(first, dir + "ORBO_000.png");
    EXPECT_EQ(second, dir + "ORBO_001.png");

    std::vector<unsigned char> file, pixels;
    unsigned w = 0, h = 0;
    lodepng::State state;
    state.decoder.color_convert = 0;  // keep the stored indices
    ASSERT_EQ(lodepng::load_file(file, first), 0u);
    ASSERT_EQ(lodepng::decode(pixels, w, h, state, file), 0u);
    EXPECT_EQ(w, 384u);
    EXPECT_EQ(h, 384u);
    const LodePNGColorMode& c = state.info_png.color;
    ASSERT_EQ(c.colortype, LCT_PALETTE);
    ASSERT_EQ(c.palettesize, 256u);
    EXPECT_EQ(c.palette[4 * 140 + 2], uint8_t(140 * 7));
    for (unsigned char p : pixels) ASSERT_NE(p, 0);
    EXPECT_EQ(pixels[0], ORBO_SCREENSHOT_ZERO_INDEX);
    EXPECT_EQ(pixels[3 * 384 + 2], 140);  // source (0, 1) covers 3x3 pixels
    EXPECT_EQ(pixels[5 * 384 + 3 * 9 + 2], 9 + 1);
}

// A desktop folder that cannot be created falls back to the root folder.
TEST(CaptureFiles, DesktopFolderFallsBackToTheRoot)
{
    std::string dir = carttest::scratch_dir(), old_root = kiln_root_folder();
    kiln_set_root_folder(dir + "root/");
    std::filesystem::create_directories(dir + "root");
    carttest::write_file(dir + "plain", "x");
    capture_settings s = settings_in(dir + "plain/Desktop");
    s.base_name = get_output_file_name_base("Moon/Lander");
    std::string path;
    EXPECT_EQ(save_gif(video_clip{}, s, &path), ORBO_GIF_OK);
    kiln_set_root_folder(old_root);
    EXPECT_EQ(path, dir + "root/Moon_Lander_0.gif");
    EXPECT_TRUE(std::filesystem::exists(path));
}
