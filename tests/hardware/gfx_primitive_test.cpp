// Pixels, lines, rectangles and circles: the worked pixel examples, the
// pattern and palette rules, and the CPU charge of each call.
#include <set>
#include <utility>
#include <tuple>

#include "hw_fixture.h"

using namespace hwtest;
using Gfx = console_test;
using pixels = std::set<std::pair<int, int>>;

namespace {
pixels lit(const kiln_bitmap& s)
{
    pixels out;
    for (int y = 0; y < s.h; y++)
        for (int x = 0; x < s.w; x++)
            if (s.row(y)[x]) out.insert({x, y});
    return out;
}
}  // namespace

TEST_F(Gfx, PsetAndPgetFollowCameraClipAndTwoNibbleValues)
{
    orbo_pset(c, 3, -1, 0, fx(7));  // pset(-0.5, 0, 7): x converts to -1
    EXPECT_EQ(ink(), 0);
    EXPECT_EQ(c->pen, 7);
    orbo_pset(c, 3, 0, 0, fx(0x21));
    EXPECT_EQ(px(0, 0), 0x21);
    EXPECT_EQ(orbo_pget(c, 2, 0, 0), 33);
    EXPECT_EQ(orbo_pget(c, 1, 0, 0), 0);
    orbo_pset(c, 2, 5, 6, 0);  // no colour: the pen (0x21)
    EXPECT_EQ(px(5, 6), 0x21);
    orbo_pset(c, 1, 9, 9, fx(3));  // needs two arguments
    EXPECT_EQ(px(9, 9), 0);
    orbo_camera(c, 2, 10, 20);
    orbo_pset(c, 3, 15, 25, fx(9));
    EXPECT_EQ(px(5, 5), 9);
    EXPECT_EQ(orbo_pget(c, 2, 15, 25), 9);
    orbo_camera(c, 0, 0, 0);
    orbo_clip(c, 4, 10, 10, 5, 5);
    EXPECT_EQ(orbo_pget(c, 2, 0, 0), 0);  // outside the clip rectangle
    orbo_pset(c, 3, 9, 10, fx(4));
    EXPECT_EQ(px(9, 10), 0);
    orbo_pal(c, 2, 4, 12, 0);
    orbo_pset(c, 3, 10, 10, fx(0x54));  // both nibbles through the draw palette
    EXPECT_EQ(px(10, 10), 0x5c);
    EXPECT_EQ(charged(), 16);  // only clip charges
}

// The short worked lines (both directions, one pixel) run in the cartridge
// suite; here their charges and lines with far ends.
TEST_F(Gfx, LineChargesAndFarEnds)
{
    orbo_line(c, 5, 0, 0, 3, 1, fx(7));
    EXPECT_EQ(charged(), 3 / 2 + 1);
    orbo_cls(c, 0, 0);
    charged();
    orbo_line(c, 5, 5, 5, 5, 5, fx(7));
    EXPECT_EQ(charged(), 1);
    // Wholly outside: nothing drawn, the minimum charge.
    orbo_line(c, 5, -10, -10, -1, 200, fx(7));
    EXPECT_EQ(ink(), 1);
    EXPECT_EQ(charged(), 1);
    // A long diagonal through the screen walks only its visible part.
    orbo_cls(c, 0, 0);
    charged();
    orbo_line(c, 5, -1000, -1000, 1000, 1000, fx(7));
    EXPECT_EQ(ink(), 128);
    for (int i = 0; i < 128; i++) EXPECT_EQ(px(i, i), 7);
    int64_t cost = charged();
    EXPECT_GE(cost, 64);
    EXPECT_LE(cost, 66);
    // So long that the y step truncates to 0: y never moves from its start.
    orbo_cls(c, 0, 0);
    orbo_line(c, 5, -131000, 5, 131000, 6, fx(7));
    EXPECT_EQ(ink(), 128);
    for (int x = 0; x < 128; x++) EXPECT_EQ(px(x, 5), 7);
    orbo_line(c, 5, -131000, -1, 131000, 0, fx(7));  // starts above the clip and stays there
    EXPECT_EQ(ink(), 128);
    orbo_line(c, 5, 5, -131000, 6, 131000, fx(7));  // the same with x: column 5 only
    EXPECT_EQ(ink(), 255);
    for (int y = 0; y < 128; y++) EXPECT_EQ(px(5, y), 7);
}

TEST_F(Gfx, LineClipSkipsLandOnTheSamePixelsAsAFullWalk)
{
    // Every line from a ring of far ends to a near point: the clipped walk
    // must light exactly the pixels of the same line inside the clip.
    const int ends[][2] = {{-50, -7}, {200, 30}, {64, -300}, {-3, 140}, {130, 130}, {-129, 5}, {77, 1000}};
    for (auto& e : ends) {
        for (int cx0 : {0, 20}) {
            kiln_bitmap big;
            big.w = big.h = 2048;
            big.pixels.assign(size_t(2048) * 2048, 0);
            orbo_reset_clip(&big);
            draw_line(&big, e[0] + 1024, e[1] + 1024, 40 + 1024, 50 + 1024, 1, 0);
            orbo_cls(c, 0, 0);
            orbo_clip(c, 4, cx0, cx0, 100 - cx0, 100 - cx0);
            orbo_line(c, 5, e[0], e[1], 40, 50, fx(1));
            for (int y = 0; y < 128; y++)
                for (int x = 0; x < 128; x++) {
                    bool inside = x >= cx0 && x < 100 && y >= cx0 && y < 100;
                    int want = inside ? big.row(y + 1024)[x + 1024] : 0;
                    ASSERT_EQ(px(x, y), want) << e[0] << "," << e[1] << " at " << x << "," << y;
                }
        }
    }
}

TEST_F(Gfx, FillPatternWithRectfillAndSinglePixels)
{
    orbo_fillp(c, 1, fx(1));
    orbo_rectfill(c, 5, 0, 0, 3, 3, fx(0x21));
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) EXPECT_EQ(px(x, y), x == 3 && y == 3 ? 2 : 1) << x << "," << y;
    orbo_cls(c, 1, 9);
    orbo_fillp(c, 1, fx(1.5));
    EXPECT_EQ(c->fill_pattern, 0x10001u);
    orbo_rectfill(c, 5, 0, 0, 3, 3, fx(0x21));
    EXPECT_EQ(px(3, 3), 9);
    EXPECT_EQ(px(2, 3), 1);
    // Single pixels: a clear bit writes the whole value, a set bit value >> 4.
    orbo_fillp(c, 1, fx(0x8000 - 65536));  // bit 15: the top-left of each cell
    EXPECT_EQ(c->fill_pattern, 0x8000u);
    orbo_pset(c, 3, 4, 4, fx(0x21));
    orbo_pset(c, 3, 5, 4, fx(0x21));
    EXPECT_EQ(px(4, 4), 2);
    EXPECT_EQ(px(5, 4), 0x21);
    orbo_fillp(c, 0, 0);
    EXPECT_EQ(c->fill_pattern, 0u);
}

TEST_F(Gfx, ColourArgumentMayCarryAPatternUnderTheModeByte)
{
    int32_t raw = fx(0x1000 + 0x100 + 0x12) | 0x5a5a;
    orbo_color(c, 1, raw);
    EXPECT_EQ(c->pen, 0x12);
    EXPECT_EQ(c->fill_pattern, 0u);  // 0x5F34 is 0
    poke(0x5F34, 1);
    orbo_color(c, 1, raw);
    EXPECT_EQ(c->fill_pattern, 0x15a5au);
    orbo_color(c, 1, fx(0x0107) | 0x1234);  // bit 12 clear: no pattern change
    EXPECT_EQ(c->fill_pattern, 0x15a5au);
    EXPECT_EQ(c->pen, 7);
    orbo_color(c, 0, 0);
    EXPECT_EQ(c->pen, 0);
}

TEST_F(Gfx, RectPixelsAndCharges)
{
    orbo_rect(c, 5, 13, 12, 10, 10, fx(8));  // corners in any order
    pixels want;
    for (int x = 10; x <= 13; x++) want.insert({x, 10}), want.insert({x, 12});
    want.insert({10, 11});
    want.insert({13, 11});
    EXPECT_EQ(lit(*c->screen), want);
    // w = 3, h = 1: two horizontal edges of (3 + 3) / 4 and two vertical of 1 / 2.
    EXPECT_EQ(charged(), 2 * 1 + 2 * 0);
    orbo_rect(c, 5, 0, 0, 127, 127, fx(8));
    EXPECT_EQ(charged(), 2 * ((127 + 3) / 4) + 2 * (126 / 2));
    orbo_rect(c, 5, -5, 20, 200, 60, fx(8));  // left and right edges clipped away
    EXPECT_EQ(charged(), 2 * ((127 + 3) / 4));
    orbo_rect(c, 5, 130, 0, 140, 10, fx(8));  // wholly outside: no charge at all
    EXPECT_EQ(orbo_cpu_charges, 0);
    orbo_cls(c, 0, 0);
    charged();
    orbo_rectfill(c, 5, 20, 30, 10, 10, fx(3));  // corners in any order
    EXPECT_EQ(ink(), 11 * 21);
    EXPECT_EQ(charged(), (11 * 21) >> 4);
    orbo_rectfill(c, 5, -100, -100, 300, 300, fx(3));
    EXPECT_EQ(charged(), (128 * 128) >> 4);
    orbo_rectfill(c, 5, 200, 200, 300, 300, fx(3));
    EXPECT_EQ(charged(), 0);
}

// Radius 0 pixels and negative radii run in the cartridge suite.
TEST_F(Gfx, CirclesAndTheirCharges)
{
    orbo_circ(c, 4, 64, 64, 3, fx(7));
    EXPECT_EQ(lit(*c->screen), (pixels{{61, 63}, {61, 64}, {61, 65}, {62, 62}, {62, 66}, {63, 61}, {64, 61}, {65, 61},
                                       {63, 67}, {64, 67}, {65, 67}, {66, 62}, {66, 66}, {67, 63}, {67, 64}, {67, 65}}));
    EXPECT_EQ(charged(), (67 - 61) * 2 + 2);
    orbo_circ(c, 4, 64, 64, 0, fx(7));
    EXPECT_EQ(charged(), 0 * 2 + 2);
    orbo_circfill(c, 4, 64, 64, 0, fx(7));
    EXPECT_EQ(charged(), 0);
    orbo_circ(c, 2, 10, 10, 0, 0);  // radius defaults to 4
    EXPECT_EQ(px(14, 10), 7);
    EXPECT_EQ(charged(), (14 - 6) * 2 + 2);
    orbo_circ(c, 4, 10, 10, -1, fx(9));
    orbo_circ(c, 4, 300, 300, 5, fx(9));
    EXPECT_EQ(orbo_cpu_charges, 0);
    orbo_cls(c, 0, 0);
    charged();
    orbo_circfill(c, 4, 64, 64, 10, fx(2));
    EXPECT_EQ(charged(), 20 + ((21 * 21) >> 4));
    for (int d = -10; d <= 10; d++) {
        EXPECT_EQ(px(64 + d, 64), 2);
        EXPECT_EQ(px(64, 64 + d), 2);
    }
    EXPECT_EQ(px(64 + 8, 64 + 8), 0);
    orbo_circfill(c, 4, 0, 0, 10, fx(2));
    EXPECT_EQ(charged(), 20 + ((11 * 11) >> 4));
}

TEST_F(Gfx, ClsResetsCursorAndClipButNotPaletteCameraOrPattern)
{
    orbo_clip(c, 4, 10, 20, 30, 40);
    EXPECT_EQ(c->screen->clip_x1, 40);
    EXPECT_EQ(c->screen->clip_y1, 60);
    orbo_cursor(c, 2, 5, 6);
    orbo_camera(c, 2, 3, 4);
    orbo_pal(c, 2, 1, 2, 0);
    orbo_fillp(c, 1, fx(5));
    charged();
    orbo_cls(c, 1, 0x13);
    EXPECT_EQ(charged(), 1024);
    EXPECT_EQ(px(0, 0), 0x13);  // no palette, no pattern
    EXPECT_EQ((std::tuple{px(127, 127), c->cursor_x, c->cursor_y, c->screen->clip_x0, c->clip[3], c->camera_x,
                          c->draw_pal[1], c->fill_pattern}),
              (std::tuple{0x13, 0, 0, 0, 128, 3, 2, 5u}));
    orbo_clip(c, 0, 0, 0, 0, 0);
    EXPECT_EQ(c->screen->clip_x1, 128);
}

TEST_F(Gfx, SmallCirclesAreMidpointPlusShapes)
{
    orbo_circ(c, 4, 10, 10, 1, fx(7));
    EXPECT_EQ(lit(*c->screen), (pixels{{9, 10}, {11, 10}, {10, 9}, {10, 11}}));
    orbo_cls(c, 0, 0);
    orbo_circfill(c, 4, 10, 10, 1, fx(7));
    EXPECT_EQ(lit(*c->screen), (pixels{{9, 10}, {10, 10}, {11, 10}, {10, 9}, {10, 11}}));
    orbo_cls(c, 0, 0);
    orbo_circfill(c, 2, 64, 64, 0, 0);  // the default radius is 4
    EXPECT_EQ(px(60, 64), 7);  // in the pen colour the last call set
    EXPECT_EQ((std::tuple{px(64, 60), px(61, 61), px(60, 60), px(60, 63)}),
              (std::tuple{7, 7, 0, 7}));
    EXPECT_EQ(px(63, 60), 7);  // the top row is the span of +-1
    EXPECT_EQ(px(62, 60), 0);
}

TEST_F(Gfx, OnlyBitSixteenOfThePatternRegisterMakesSetBitsTransparent)
{
    poke(0x5F31, 0xff);
    poke(0x5F32, 0xff);  // every pixel's bit set
    poke(0x5F33, 2);     // register bit 17 only
    orbo_rectfill(c, 5, 0, 0, 3, 0, fx(0x21));
    EXPECT_EQ(px(0, 0), 2);  // the secondary colour, not skipped
    orbo_cls(c, 0, 0);
    poke(0x5F33, 3);
    orbo_rectfill(c, 5, 0, 0, 3, 0, fx(0x21));
    orbo_pset(c, 3, 5, 5, fx(0x21));
    EXPECT_EQ(ink(), 0);
}
