// Sprites, stretched sprites, the map, sheet access and text.
#include <cstring>
#include <random>

#include "cart/rom.h"
#include "hw_fixture.h"

using namespace hwtest;
using Sprites = console_test;

namespace {
uint8_t sheet(const orbo_cart& cart, int x, int y) { return cart.gfx->row(y)[x]; }
}  // namespace

TEST_F(Sprites, SprSizesInEighthsAndFlips)
{
    fill_sprite(1);
    fill_sprite(2);
    orbo_spr(c, 5, 1, 0, 0, fx(1.5), fx(1), false, false);
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 13; x++) EXPECT_EQ(px(x, y), x < 12 && y < 8 ? sheet(*cart, 8 + x, y) : 0) << x << "," << y;
    EXPECT_EQ(charged(), 12 * 8);
    orbo_cls(c, 0, 0);
    charged();
    orbo_spr(c, 4, 1, 0, 0, fx(2), 0, false, false);  // h missing counts as 0
    EXPECT_EQ(ink(), 0);
    EXPECT_EQ(orbo_cpu_charges, 0);
    orbo_spr(c, 3, 256, 0, 0, 0, 0, false, false);
    orbo_spr(c, 3, -1, 0, 0, 0, 0, false, false);
    EXPECT_EQ(ink(), 0);
    orbo_spr(c, 7, 1, 20, 30, fx(1), fx(1), true, true);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) ASSERT_EQ(px(20 + x, 30 + y), sheet(*cart, 8 + 7 - x, 7 - y));
    orbo_spr(c, 6, 1, 40, 30, fx(1), fx(1), true, true);  // flip_y needs the seventh argument
    EXPECT_EQ(px(40, 30), sheet(*cart, 15, 0));
    charged();
    orbo_spr(c, 3, 1, -4, 124, 0, 0, false, false);
    EXPECT_EQ(charged(), 4 * 4);  // the clipped area
}

TEST_F(Sprites, SpritePixelsBeyondTheSheetAreColourZeroAndTransparencyIsThePalette)
{
    fill_sprite(15);
    orbo_cls(c, 1, 5);
    orbo_spr(c, 5, 15, 0, 0, fx(2), fx(1), false, false);
    EXPECT_EQ(px(7, 0), sheet(*cart, 127, 0));
    EXPECT_EQ(px(8, 0), 0);  // beyond the sheet's right edge
    EXPECT_EQ(px(15, 7), 0);
    int v = sheet(*cart, 120, 0);
    orbo_cls(c, 1, 5);
    orbo_palt(c, 2, v, true);
    orbo_spr(c, 3, 15, 0, 0, 0, 0, false, false);
    EXPECT_EQ(px(0, 0), 5);  // transparent through the draw palette
    orbo_pal(c, 2, v, 2, 0);  // a swap keeps the transparency for sprites
    orbo_spr(c, 3, 15, 0, 0, 0, 0, false, false);
    EXPECT_EQ(px(0, 0), 5);
    orbo_palt(c, 2, v, false);
    orbo_spr(c, 3, 15, 0, 0, 0, 0, false, false);
    EXPECT_EQ(px(0, 0), 2);
    orbo_cls(c, 1, 5);
    poke(0x5F00 + sheet(*cart, 121, 0), 0x23);  // any entry of 16 or more is transparent
    orbo_spr(c, 3, 15, 0, 0, 0, 0, false, false);
    EXPECT_EQ(px(1, 0), 5);
}

TEST_F(Sprites, SsprMirrorsANegativeWidthAndStretches)
{
    fill_sprite(1);
    orbo_sspr(c, 8, 8, 0, 8, 8, 10, 10, -16, 16, false, false);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 10; x++) {
            int k = x + 6;  // the left edge is at x = -6
            ASSERT_EQ(px(x, 10 + y), sheet(*cart, 8 + 7 - k / 2, y / 2)) << x << "," << y;
        }
    EXPECT_EQ(px(10, 10), 0);
    EXPECT_EQ(charged(), 10 * 16);
    orbo_cls(c, 0, 0);
    charged();
    orbo_sspr(c, 6, 8, 0, 8, 8, 50, 50, 0, 0, false, false);  // same size: a plain sprite
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) ASSERT_EQ(px(50 + x, 50 + y), sheet(*cart, 8 + x, y));
    EXPECT_EQ(charged(), 64);
    orbo_sspr(c, 7, 8, 0, 8, 8, 0, 0, 4, 0, false, false);  // dh missing reads 0: nothing
    orbo_sspr(c, 6, 8, 0, 0, 8, 0, 0, 0, 0, false, false);
    orbo_sspr(c, 6, 8, 0, 8, 129, 0, 0, 0, 0, false, false);
    EXPECT_EQ(orbo_cpu_charges, 0);
    orbo_sspr(c, 8, 8, 0, 8, 8, 0, 0, 4, 4, false, false);  // shrink: every other pixel
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) ASSERT_EQ(px(x, y), sheet(*cart, 8 + 2 * x + 1, 2 * y + 1));
    orbo_cls(c, 0, 0);
    orbo_sspr(c, 8, 8, 0, 8, 8, -20, -20, 40, 40, false, false);  // starts left of and above the clip
    int64_t xstep = (8 << 16) / 40;
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 20; x++) {
            int sx = int((xstep / 2 + (x + 20) * xstep) >> 16), sy = int((xstep / 2 + (y + 20) * xstep) >> 16);
            ASSERT_EQ(px(x, y), sheet(*cart, 8 + sx, sy));
        }
}

TEST_F(Sprites, MapDrawsCellsPrunedToTheClipWithLayers)
{
    fill_sprite(1);
    fill_sprite(2);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 128; x++) orbo_mset(c, x, y, 1);
    orbo_map(c, 4, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(charged(), 128 * 128);
    EXPECT_EQ(px(127, 127), sheet(*cart, 15, 7));
    // Shifted by 4: 17 columns and 17 rows of cells reach the screen.
    orbo_cls(c, 0, 0);
    charged();
    orbo_camera(c, 2, 4, 4);
    orbo_map(c, 4, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(charged(), 128 * 128);
    EXPECT_EQ(px(127, 127), sheet(*cart, 8 + 3, 3));
    EXPECT_EQ(ink(), 128 * 128);
    orbo_camera(c, 0, 0, 0);
    // Cells holding 0 are never drawn; a far-left origin skips whole columns.
    orbo_cls(c, 1, 9);
    charged();
    orbo_mset(c, 12, 0, 2);
    orbo_mset(c, 13, 0, 0);
    orbo_map(c, 6, 0, 0, -100, 0, 128, 1, 0);  // cell 12 lands at x = -4
    EXPECT_EQ(px(0, 0), sheet(*cart, 16 + 4, 0));
    EXPECT_EQ(px(4, 0), 9);
    EXPECT_EQ(px(12, 0), sheet(*cart, 8, 0));
    EXPECT_EQ(charged(), 4 * 8 + 14 * 64 + 4 * 8);  // cells 12-28 but 13; the last half clipped
    // Layers: a cell is drawn when its sprite's flags meet the layer.
    orbo_cls(c, 0, 0);
    orbo_fset(c, 2, 1, 0x06, false);
    orbo_map(c, 7, 0, 0, 0, 0, 2, 2, 1);
    EXPECT_EQ(ink(), 0);
    orbo_map(c, 7, 0, 0, 0, 0, 2, 2, 4);
    EXPECT_EQ(ink(), 256);
    charged();
    orbo_map(c, 5, 0, 0, 0, 0, 2, 0, 0);  // cel_h missing: nothing, no charge
    orbo_map(c, 6, 0, 0, 0, 0, 0, 5, 0);
    EXPECT_EQ(orbo_cpu_charges, 0);
    orbo_map(c, 6, 0, 0, 0, 0, 0 - 1, 5, 0);
    EXPECT_EQ(orbo_cpu_charges, 0);
}

TEST_F(Sprites, PrintDrawsTextAdvancesTheCursorAndScrolls)
{
    ASSERT_TRUE(c->font) << "build the data_pod target";
    orbo_print(c, 1, "hi", 0, 0, 0);
    EXPECT_EQ(c->cursor_y, 6);
    EXPECT_EQ(charged(), 8 * 2 + 2);
    EXPECT_GT(ink(), 0);
    for (int y = 5; y < 128; y++)
        for (int x = 0; x < 128; x++) ASSERT_EQ(px(x, y), 0);
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 128; x++)
            if (px(x, y)) {
                ASSERT_EQ(px(x, y), 6);  // the pen colour
            }
    orbo_print(c, 1, "a\nb\nc", 0, 0, 0);
    EXPECT_EQ(c->cursor_y, 6 + 18);
    orbo_print(c, 4, "x", 50, 60, fx(0x2c));  // with a position: no advance
    EXPECT_EQ(c->cursor_y, 60);
    EXPECT_EQ(c->cursor_x, 50);
    EXPECT_EQ(c->pen, 0x2c);
    orbo_print(c, 0, "x", 0, 0, 0);
    EXPECT_EQ(c->cursor_y, 60);

    // At y 120 the line does not fit: the screen scrolls by 6 (the golden
    // text image shows the rows moved) and the cursor stays.
    orbo_cursor(c, 2, 0, 120);
    charged();
    orbo_print(c, 1, "hi", 0, 0, 0);
    EXPECT_EQ(c->cursor_y, 120);
    EXPECT_EQ(charged(), 0x10000 + 18);
}

TEST_F(Sprites, PrintWrapsAtTheClipEdgeOnlyWhileStopping)
{
    ASSERT_TRUE(c->font);
    const char* text = "a long line that runs past the right edge";
    orbo_print(c, 4, text, 0, 0, fx(7));
    int rows_normal = 0;
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++) rows_normal = px(x, y) ? y : rows_normal;
    EXPECT_LT(rows_normal, 6);
    orbo_cls(c, 0, 0);
    c->stopping = true;
    orbo_print(c, 4, text, 0, 0, fx(7));
    int rows_wrapped = 0;
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++) rows_wrapped = px(x, y) ? y : rows_wrapped;
    EXPECT_GE(rows_wrapped, 6);
}

TEST_F(Sprites, HostileArgumentsStayInsideTheClipSheetAndMap)
{
    for (int n = 0; n < 256; n++) fill_sprite(n);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 128; x++) orbo_mset(c, x, y, (x * 7 + y) & 255);
    orbo_cart_ptr before = orbo_copy_cart(*cart);
    std::mt19937 rng(1234);
    const int values[] = {0, 1, -1, 7, 127, 128, -128, 32767, -32768, 65535, 1 << 20, -(1 << 20), INT32_MAX, INT32_MIN};
    auto any = [&]() { return rng() % 3 ? values[rng() % 14] : int(rng()); };
    for (int round = 0; round < 4000; round++) {
        orbo_clip(c, 4, 10, 20, 40, 50);
        if (round % 7 == 0) orbo_camera(c, 2, any(), any());
        if (round % 11 == 0) orbo_fillp(c, 1, any());
        int a = any(), b = any(), d = any(), e = any(), f = any();
        switch (rng() % 11) {
        case 0: orbo_pset(c, 3, a, b, d); break;
        case 1: orbo_line(c, 5, a, b, d, e, f); break;
        case 2: orbo_rect(c, 5, a, b, d, e, f); break;
        case 3: orbo_rectfill(c, 5, a, b, d, e, f); break;
        case 4: orbo_circ(c, 4, a, b, d % 3000, f); break;
        case 5: orbo_circfill(c, 4, a, b, d % 3000, f); break;
        case 6: orbo_spr(c, 7, a & 511, b, d, e, f, true, rng() & 1); break;
        case 7: orbo_sspr(c, 10, a, b, d, e, f, a, b, d, rng() & 1, rng() & 1); break;
        case 8: orbo_map(c, 7, a, b, d, e, f, a, b); break;
        case 9: orbo_print(c, 4, "hello\nthere", a, b, d); break;
        case 10: orbo_pget(c, 2, a, b); break;
        }
    }
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++)
            if (!(x >= 10 && x < 50 && y >= 20 && y < 70)) {
                ASSERT_EQ(px(x, y), 0) << x << "," << y;
            }
    EXPECT_EQ(cart->gfx->pixels, before->gfx->pixels);
    EXPECT_EQ(cart->map->pixels, before->map->pixels);
    EXPECT_EQ(0, std::memcmp(cart->flags, before->flags, sizeof cart->flags));
}

TEST_F(Sprites, OffScreenAndClippedChargesOfSpritesAndMap)
{
    fill_sprite(1);
    orbo_mset(c, 0, 0, 1);
    orbo_spr(c, 3, 1, 200, 0, 0, 0, false, false);
    EXPECT_EQ(orbo_cpu_charges, 1);  // a charge of 0: the engine's minimum of 1 is its own
    EXPECT_EQ(charged(), 0);
    orbo_spr(c, 3, 1, 0, 0, 0, 0, false, false);
    orbo_clip(c, 4, 2, 3, 4, 2);
    charged();
    orbo_spr(c, 3, 1, 0, 0, 0, 0, false, false);
    EXPECT_EQ(charged(), 4 * 2);
    orbo_sspr(c, 8, 8, 0, 8, 8, 0, 0, 16, 16, false, false);
    EXPECT_EQ(charged(), 4 * 2);
    orbo_map(c, 6, 0, 0, 0, 0, 1, 1, 0);
    EXPECT_EQ(charged(), 4 * 2);
    orbo_clip(c, 0, 0, 0, 0, 0);
    charged();
    orbo_sspr(c, 8, 8, 0, 8, 8, -100, 0, 16, 16, false, false);
    orbo_map(c, 6, 0, 0, 0, 200, 1, 1, 0);
    EXPECT_EQ(charged(), 0);
    orbo_camera(c, 2, 4, 0);  // the camera moves the charged area too
    orbo_spr(c, 3, 1, 0, 0, 0, 0, false, false);
    EXPECT_EQ(charged(), 4 * 8);
}
