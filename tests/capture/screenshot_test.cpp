// Screenshots read back with LodePNG, file naming, the desktop folder and
// its fallbacks, and failure without a crash.
#include <lodepng.h>

#include <filesystem>

#include "capture/gif_writer.h"
#include "capture/screenshot.h"
#include "capture_test_util.h"
#include "platform/paths.h"

using namespace capturetest;

namespace {

struct png_image {
    unsigned w = 0, h = 0;
    std::vector<unsigned char> pixels;  // palette indices as stored
    LodePNGColorType colortype = LCT_GREY;
    std::vector<unsigned char> palette;  // RGBA entries
};

bool read_indexed_png(const std::string& path, png_image* out)
{
    std::vector<unsigned char> file;
    if (lodepng::load_file(file, path) != 0) return false;
    lodepng::State state;
    state.decoder.color_convert = 0;  // keep the stored indices
    if (lodepng::decode(out->pixels, out->w, out->h, state, file) != 0) return false;
    const LodePNGColorMode& c = state.info_png.color;
    out->colortype = c.colortype;
    out->palette.assign(c.palette, c.palette + 4 * c.palettesize);
    return true;
}

}  // namespace

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

    png_image png;
    ASSERT_TRUE(read_indexed_png(first, &png));
    EXPECT_EQ(png.w, 384u);
    EXPECT_EQ(png.h, 384u);
    ASSERT_EQ(png.colortype, LCT_PALETTE);
    ASSERT_EQ(png.palette.size(), 4 * 256u);
    EXPECT_EQ(png.palette[4 * 140 + 2], uint8_t(140 * 7));
    for (unsigned char p : png.pixels) ASSERT_NE(p, 0);
    EXPECT_EQ(png.pixels[0], ORBO_SCREENSHOT_ZERO_INDEX);
    EXPECT_EQ(png.pixels[3 * 384 + 2], 140);  // source (0, 1) covers 3x3 pixels
    EXPECT_EQ(png.pixels[5 * 384 + 3 * 9 + 2], 9 + 1);

    capture_settings tiny = settings_in(dir);
    tiny.screenshot_scale = 0;
    std::string third;
    ASSERT_EQ(save_png_screenshot(screen, tiny, &third), ORBO_SHOT_OK);
    ASSERT_TRUE(read_indexed_png(third, &png));
    EXPECT_EQ(png.w, 128u);
    EXPECT_EQ(save_png_screenshot(*kiln_create_bitmap(128, 128, 32), tiny), ORBO_SHOT_BAD_BITMAP);
}

TEST(CaptureFiles, BaseNameAndDesktopFolder)
{
    EXPECT_EQ(get_output_file_name_base(""), "ORBO");
    EXPECT_EQ(get_output_file_name_base("Moon Lander"), "Moon Lander");
    EXPECT_EQ(get_output_file_name_base("../up/\x01x"), ".._up__x");
    EXPECT_EQ(get_output_file_name_base(std::string(300, 'a')).size(), 200u);

    // A missing desktop folder is created; one that cannot be falls back
    // to the root folder.
    std::string dir = carttest::scratch_dir();
    EXPECT_EQ(capture_output_folder(dir + "Desktop"), dir + "Desktop/");
    EXPECT_TRUE(std::filesystem::is_directory(dir + "Desktop"));
    std::string old_root = kiln_root_folder();
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

// A desktop folder that exists but takes no files: failure codes, no crash,
// nothing left behind.
TEST(CaptureFiles, UnwritableDesktopFails)
{
    capture_settings s = settings_in("/proc/");
    video_clip clip;
    record_video_frame(clip, frame_of(1), 8);
    EXPECT_NE(save_gif(clip, s), ORBO_GIF_OK);
    EXPECT_NE(save_png_screenshot(frame_of(1), s), ORBO_SHOT_OK);
    EXPECT_FALSE(std::filesystem::exists("/proc/ORBO_0.gif"));
    EXPECT_FALSE(std::filesystem::exists("/proc/ORBO_000.png"));
}
