#include "platform/font.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {
// A test font for characters 32..128: 'A' a solid 3x5 block of ink 9,
// 'i' 1x5, 'T' 3x7 (taller than the rest), 128 a 7x5 block, 'X' missing,
// every other character a blank 3x5.
kiln_font_ptr test_font()
{
    kiln_font f;
    f.first = 32;
    f.last = 128;
    f.spacing = 1;
    for (int c = f.first; c <= f.last; c++) {
        int w = 3, h = 5, ink = 0;
        if (c == 'A') ink = 9;
        if (c == 'i') w = 1, ink = 9;
        if (c == 'T') h = 7, ink = 9;
        if (c == 128) w = 7, ink = 9;
        kiln_bitmap_ptr g;
        if (c != 'X') {
            g = kiln_create_bitmap(w, h, 8);
            std::fill(g->pixels.begin(), g->pixels.end(), uint8_t(ink));
        }
        f.glyphs.push_back(std::move(g));
    }
    // Through the pod form, so loading is exercised too.
    kiln_pod_ptr pod = kiln_font_to_pod(&f);
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(kiln_write_pod(pod.get(), true, &bytes));
    kiln_pod_ptr back = kiln_load_pod_memory(bytes.data(), bytes.size());
    return kiln_load_font(back.get());
}

kiln_bitmap_ptr canvas(int w = 32, int h = 32)
{
    kiln_bitmap_ptr bm = kiln_create_bitmap(w, h, 8);
    return bm;
}

// The canvas as rows of '.' and '#', to compare layouts at a glance.
std::string picture(const kiln_bitmap& bm, int w, int h)
{
    std::string s;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) s += bm.row(y)[x] ? '#' : '.';
        s += '\n';
    }
    return s;
}

int ink_count(const kiln_bitmap& bm)
{
    int n = 0;
    for (uint8_t p : bm.pixels) n += p != 0;
    return n;
}
}  // namespace

TEST(Font, LoadsFromItsPodAndRejectsAPodWithoutHeader)
{
    kiln_font_ptr f = test_font();
    ASSERT_TRUE(f);
    EXPECT_EQ((std::tuple{f->first, f->last, f->height, kiln_font_glyph(f.get(), 'X'), kiln_font_glyph(f.get(), 31),
                          kiln_font_glyph(f.get(), 129)}),
              (std::tuple{32, 128, 7, nullptr, nullptr, nullptr}));
    ASSERT_TRUE(kiln_font_glyph(f.get(), 128));
    EXPECT_EQ(kiln_font_glyph(f.get(), 128)->w, 7);

    kiln_pod_ptr no_header = kiln_create_pod("x");
    kiln_pod_add_bitmap(no_header.get(), kiln_create_bitmap(3, 5, 8));
    EXPECT_FALSE(kiln_load_font(no_header.get()));
    EXPECT_FALSE(kiln_load_font(nullptr));
    kiln_pod_ptr backwards = kiln_create_pod("x");
    kiln_pod_add_bytes(backwards.get(), "font", "\x50\x40\x01", 3);
    EXPECT_FALSE(kiln_load_font(backwards.get()));
}

TEST(Font, PenAdvancesByGlyphWidthPlusSpacing)
{
    kiln_font_ptr f = test_font();
    kiln_bitmap_ptr bm = canvas();
    EXPECT_EQ(kiln_draw_text_ex(bm.get(), "Ai\x80" "A", f.get(), 1, 2, 1, 7), 2);
    EXPECT_EQ(picture(*bm, 19, 8),
              "...................\n"
              "...................\n"
              ".###.#.#######.###.\n"
              ".###.#.#######.###.\n"
              ".###.#.#######.###.\n"
              ".###.#.#######.###.\n"
              ".###.#.#######.###.\n"
              "...................\n");
    EXPECT_EQ(bm->row(2)[1], 7);  // flag 1 writes the value
    EXPECT_EQ(kiln_text_width("Ai\x80" "A", f.get()), 17);
    EXPECT_EQ(kiln_text_width("A\nAA", f.get()), 7);
}

TEST(Font, GlyphPixelsAreCopiedWithoutTheValueFlag)
{
    kiln_font_ptr f = test_font();
    kiln_bitmap_ptr bm = canvas();
    kiln_draw_text_ex(bm.get(), "A", f.get(), 0, 0, 0, 3);
    EXPECT_EQ(bm->row(0)[0], 9);
    kiln_bitmap_ptr wide = kiln_create_bitmap(8, 8, 32);
    kiln_draw_text_ex(wide.get(), "A", f.get(), 0, 0, 1, int(0xff102030));
    EXPECT_EQ(wide->row32(4)[2], 0xff102030u);
    EXPECT_EQ(wide->row32(5)[2], 0u);
}

TEST(Font, NewlinesMoveDownByTheTallestGlyphOfTheLinePlusOne)
{
    kiln_font_ptr f = test_font();
    kiln_bitmap_ptr bm = canvas();
    EXPECT_EQ(kiln_draw_text_ex(bm.get(), "A\nA", f.get(), 4, 0, 1, 1), 6);
    EXPECT_EQ(bm->row(6)[4], 1);
    EXPECT_EQ(bm->row(5)[4], 0);
    // A line holding a 7-high glyph advances by 8.
    EXPECT_EQ(kiln_draw_text_ex(nullptr, "AT\nA", f.get(), 0, 0, 1, 1), 8);
    // A line holding no glyph advances by the font's tallest glyph + 1.
    EXPECT_EQ(kiln_draw_text_ex(nullptr, "\n\nA", f.get(), 0, 3, 1, 1), 3 + 8 + 8);
    EXPECT_EQ(kiln_draw_text_ex(nullptr, "A\n", f.get(), 0, 0, 1, 1), 6);
    // The next line starts at the starting x.
    kiln_bitmap_ptr b2 = canvas();
    kiln_draw_text_ex(b2.get(), "AA\nA", f.get(), 5, 0, 1, 1);
    EXPECT_EQ(b2->row(6)[5], 1);
    EXPECT_EQ(b2->row(6)[9], 0);
}

TEST(Font, CharactersOutsideTheFontAndTheEndMark)
{
    kiln_font_ptr f = test_font();
    kiln_bitmap_ptr a = canvas(), b = canvas();
    kiln_draw_text_ex(a.get(), "\x01X\xc8" "A", f.get(), 0, 0, 1, 1);  // 1, 'X', 200 skipped
    kiln_draw_text_ex(b.get(), "A", f.get(), 0, 0, 1, 1);
    EXPECT_EQ(a->pixels, b->pixels);
    kiln_bitmap_ptr c = canvas();
    EXPECT_EQ(kiln_draw_text_ex(c.get(), "A\x7f\nAAAA", f.get(), 0, 0, 1, 1), 0);
    EXPECT_EQ(c->pixels, b->pixels);
    EXPECT_EQ(kiln_draw_text_ex(c.get(), "", f.get(), 3, 4, 1, 1), 4);
    EXPECT_EQ(kiln_draw_text_ex(c.get(), nullptr, f.get(), 3, 4, 1, 1), 4);
    EXPECT_EQ(kiln_draw_text_ex(c.get(), "A", nullptr, 3, 4, 1, 1), 4);
}

TEST(Font, DrawingIsClippedAtEveryEdge)
{
    kiln_font_ptr f = test_font();
    const std::string text = "\x80\x80\n\x80\x80";  // a 15x11 area of ink, one-pixel gaps
    for (int ox = -9; ox <= 12; ox++) {
        for (int oy = -9; oy <= 12; oy++) {
            kiln_bitmap_ptr ref = canvas(20, 20);
            kiln_draw_text_ex(ref.get(), text.c_str(), f.get(), ox + 4, oy + 4, 1, 5);
            kiln_bitmap_ptr bm = canvas(20, 20);
            bm->clip_x0 = 4, bm->clip_y0 = 5, bm->clip_x1 = 13, bm->clip_y1 = 11;
            kiln_draw_text_ex(bm.get(), text.c_str(), f.get(), ox + 4, oy + 4, 1, 5);
            for (int y = 0; y < 20; y++)
                for (int x = 0; x < 20; x++) {
                    bool inside = x >= 4 && x < 13 && y >= 5 && y < 11;
                    ASSERT_EQ(bm->row(y)[x], inside ? ref->row(y)[x] : 0) << ox << "," << oy;
                }
        }
    }
    // A clip larger than the bitmap, and text far off, stay in bounds.
    kiln_bitmap_ptr small = canvas(4, 4);
    small->clip_x0 = -50, small->clip_y0 = -50, small->clip_x1 = 500, small->clip_y1 = 500;
    kiln_draw_text_ex(small.get(), text.c_str(), f.get(), -2, -2, 1, 5);
    EXPECT_EQ(ink_count(*small), 12);  // row 3 is the gap between the two lines
    kiln_draw_text_ex(small.get(), "AAAA", f.get(), 2147483000, -2147483000, 1, 5);
    kiln_draw_text_ex(small.get(), "AAAA\nA", f.get(), -2147483000, 2147483000, 1, 5);
    std::string huge(100000, 'A');
    EXPECT_EQ(kiln_draw_text_ex(small.get(), huge.c_str(), f.get(), 1 << 29, 0, 1, 5), 0);
}

TEST(Font, WrapFlagBreaksLinesAtTheClipsRightEdge)
{
    kiln_font_ptr f = test_font();
    kiln_bitmap_ptr bm = canvas();
    bm->clip_x1 = 11;
    // Glyphs at x 0, 4 and 8 fit (the third ends exactly at 11); the fourth
    // starts a new line.
    EXPECT_EQ(kiln_draw_text_ex(bm.get(), "AAAA", f.get(), 0, 0, 17, 1), 6);
    EXPECT_EQ(bm->row(0)[10], 1);
    EXPECT_EQ(bm->row(6)[0], 1);
    EXPECT_EQ(bm->row(6)[4], 0);
    // Without the flag the text runs on and is clipped.
    EXPECT_EQ(kiln_draw_text_ex(nullptr, "AAAA", f.get(), 0, 0, 1, 1), 0);
    // A glyph wider than the room left at the start of a line is drawn
    // clipped rather than wrapped forever.
    kiln_bitmap_ptr narrow = canvas();
    narrow->clip_x1 = 5;
    EXPECT_EQ(kiln_draw_text_ex(narrow.get(), "\x80\x80", f.get(), 0, 0, 17, 1), 6);
    EXPECT_EQ(ink_count(*narrow), 2 * 5 * 5);
}
