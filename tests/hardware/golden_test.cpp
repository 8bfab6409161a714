// Whole-screen golden images of each primitive with the camera, the clip,
// palette swaps, transparency, fill patterns and text.
#include <cstdlib>
#include <string>

#include "hw_fixture.h"

using namespace hwtest;
using Golden = console_test;

namespace {
// A sheet with recognisable sprites: sprite 1 a framed cross, 2 a ring with a
// transparent (0) centre, 3 a gradient, and every other sprite a stripe.
void paint_sheet(orbo_cart& cart)
{
    for (int n = 0; n < 256; n++)
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++) {
                int v;
                switch (n) {
                case 1: v = x == 0 || y == 0 || x == 7 || y == 7 ? 7 : x == y || x == 7 - y ? 8 : 1; break;
                case 2: v = (x - 3.5) * (x - 3.5) + (y - 3.5) * (y - 3.5) < 6 ? 0 : 12; break;
                case 3: v = (x + y) % 16; break;
                default: v = (n + y) % 15 + 1; break;
                }
                cart.gfx->row((n >> 4) * 8 + y)[(n & 15) * 8 + x] = uint8_t(v);
            }
}
}  // namespace

TEST_F(Golden, LinesRectsAndCirclesWithCameraAndClip)
{
    orbo_cls(c, 1, 1);
    for (int i = 0; i < 16; i++) orbo_line(c, 5, 0, i * 8, 127, 127 - i * 8, fx(i));
    orbo_rect(c, 5, 4, 4, 60, 40, fx(7));
    orbo_rectfill(c, 5, 70, 8, 120, 30, fx(9));
    orbo_camera(c, 2, -10, -10);
    orbo_circ(c, 4, 30, 70, 20, fx(10));
    orbo_circfill(c, 4, 90, 70, 20, fx(11));
    orbo_camera(c, 0, 0, 0);
    orbo_clip(c, 4, 20, 95, 88, 25);
    orbo_circfill(c, 4, 64, 110, 40, fx(8));
    orbo_line(c, 5, 0, 90, 127, 127, fx(7));
    orbo_rect(c, 5, 10, 100, 117, 126, fx(12));
    EXPECT_GOLDEN(*c->screen, "primitives");
}

TEST_F(Golden, FillPatternsAndPaletteSwaps)
{
    orbo_cls(c, 1, 0);
    const int32_t patterns[] = {0x5a5a, 0x0f0f, 0x8421, 0xcc33, 0x0001, 0x7ffe};
    for (int i = 0; i < 6; i++) {
        orbo_fillp(c, 1, fx(patterns[i]));
        orbo_rectfill(c, 5, 4 + (i % 3) * 41, 4 + (i / 3) * 30, 40 + (i % 3) * 41, 30 + (i / 3) * 30, fx(0x1c + i));
    }
    orbo_fillp(c, 1, fx(0x5a5a) | 0x8000);  // transparent set bits over stripes
    for (int y = 66; y < 100; y += 4) orbo_rectfill(c, 5, 0, y, 127, y + 1, fx(7));
    orbo_circfill(c, 4, 32, 82, 14, fx(0x28));
    orbo_fillp(c, 1, fx(0xa5a5));
    orbo_circ(c, 4, 96, 82, 14, fx(0x3b));
    orbo_fillp(c, 0, 0);
    orbo_pal(c, 2, 9, 14, 0);  // primitives drawing 9 draw 14
    orbo_rectfill(c, 5, 4, 104, 60, 124, fx(9));
    orbo_pal(c, 0, 0, 0, 0);
    orbo_rectfill(c, 5, 66, 104, 123, 124, fx(9));
    EXPECT_GOLDEN(*c->screen, "fill_patterns");
}

TEST_F(Golden, SpritesStretchedSpritesAndTransparency)
{
    paint_sheet(*cart);
    orbo_cls(c, 1, 5);
    orbo_spr(c, 3, 1, 4, 4, 0, 0, false, false);
    orbo_spr(c, 3, 2, 16, 4, 0, 0, false, false);  // colour 0 transparent: the centre shows 5
    orbo_spr(c, 5, 1, 28, 4, fx(2), fx(2), false, false);
    orbo_spr(c, 7, 3, 48, 4, fx(1), fx(1), true, false);
    orbo_spr(c, 7, 3, 60, 4, fx(1), fx(1), false, true);
    orbo_spr(c, 5, 3, 72, 4, fx(1.5), fx(0.5), false, false);
    orbo_palt(c, 2, 12, true);  // the ring disappears, the centre is drawn as 0
    orbo_palt(c, 2, 0, false);
    orbo_spr(c, 3, 2, 90, 4, 0, 0, false, false);
    orbo_palt(c, 0, 0, false);
    orbo_pal(c, 2, 7, 10, 0);  // the frame of sprite 1 drawn in 10
    orbo_spr(c, 3, 1, 104, 4, 0, 0, false, false);
    orbo_pal(c, 0, 0, 0, 0);
    orbo_sspr(c, 8, 8, 0, 8, 8, 4, 30, 32, 32, false, false);
    orbo_sspr(c, 8, 16, 0, 8, 8, 40, 30, -32, 16, false, false);
    orbo_sspr(c, 10, 0, 0, 32, 8, 44, 50, 80, 20, false, true);
    orbo_camera(c, 2, 20, -70);
    orbo_clip(c, 4, 0, 70, 64, 58);
    orbo_sspr(c, 8, 8, 0, 8, 8, 0, 0, 56, 56, false, false);
    orbo_spr(c, 5, 0, 60, 10, fx(4), fx(4), false, false);
    EXPECT_GOLDEN(*c->screen, "sprites");
}

TEST_F(Golden, MapWithLayersCameraAndClip)
{
    paint_sheet(*cart);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 128; x++) orbo_mset(c, x, y, (x + y) % 5 == 0 ? 0 : 1 + (x * 3 + y) % 3);
    orbo_fset(c, 2, 2, 1, false);
    orbo_cls(c, 1, 0);
    orbo_camera(c, 2, 3, 5);
    orbo_map(c, 4, 0, 0, 0, 0, 0, 0, 0);
    orbo_camera(c, 0, 0, 0);
    orbo_clip(c, 4, 64, 64, 60, 60);
    orbo_rectfill(c, 5, 0, 0, 127, 127, fx(0));
    orbo_map(c, 7, 2, 40, 60, 60, 10, 10, 1);  // only sprite 2 carries flag bit 0
    EXPECT_GOLDEN(*c->screen, "map");
}

TEST_F(Golden, TextColoursCameraAndScrolling)
{
    ASSERT_TRUE(c->font) << "build the data_pod target";
    orbo_cls(c, 1, 1);
    orbo_print(c, 1, "hello, world!", 0, 0, 0);
    orbo_print(c, 2, "pen colour 6", 0, 0, 0);
    orbo_print(c, 4, "at 40,20 in 10", 40, 20, fx(10));
    orbo_print(c, 4, "two\nlines", 8, 40, fx(0x9c));
    orbo_camera(c, 2, -20, -10);
    orbo_print(c, 4, "camera -20,-10", 0, 50, fx(11));
    orbo_camera(c, 0, 0, 0);
    orbo_pal(c, 2, 8, 12, 0);
    orbo_print(c, 4, "pal 8->12", 0, 70, fx(8));
    orbo_pal(c, 0, 0, 0, 0);
    orbo_clip(c, 4, 0, 0, 50, 128);
    orbo_print(c, 4, "clipped at fifty pixels", 0, 80, fx(7));
    orbo_clip(c, 0, 0, 0, 0, 0);
    orbo_cursor(c, 2, 0, 110);
    for (int i = 0; i < 5; i++) orbo_print(c, 1, i % 2 ? "scroll" : "line", 0, 0, 0);
    EXPECT_GOLDEN(*c->screen, "text");
}

TEST(GoldenHelper, AMismatchOrAMissingImageFails)
{
    const char* update = std::getenv("ORBO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") GTEST_SKIP() << "would overwrite a golden image";
    kiln_bitmap_ptr blank = kiln_create_bitmap(128, 128, 8);
    ::testing::AssertionResult r = hwtest::matches_golden(*blank, "primitives");
    EXPECT_FALSE(r);
    EXPECT_NE(std::string(r.message()).find("pixels differ"), std::string::npos) << r.message();
    EXPECT_FALSE(hwtest::matches_golden(*blank, "no_such_image"));
}
