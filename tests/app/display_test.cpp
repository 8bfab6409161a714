#include "app/display.h"

#include <gtest/gtest.h>

namespace {
struct DisplayTest : testing::Test {
    kiln_bitmap_ptr src = kiln_create_bitmap(128, 128, 8);
    kiln_bitmap_ptr dst = kiln_create_bitmap(128, 128, 8);
    uint8_t table[16];
    uint8_t locked[4] = {0, 0, 0, 0};
    void SetUp() override
    {
        for (int i = 0; i < 16; i++) table[i] = uint8_t(i);
        // Each quarter a different colour, plus a marker pixel in the top-left quarter.
        for (int y = 0; y < 128; y++)
            for (int x = 0; x < 128; x++) src->row(y)[x] = uint8_t((y >= 64) * 2 + (x >= 64) + 1);
        src->row(3)[5] = 9;
    }
    uint8_t at(int x, int y) { return dst->row(y)[x]; }
};
}  // namespace

TEST_F(DisplayTest, PaletteTableMapsLowNibble)
{
    src->row(0)[0] = 0x3A;  // only the low 4 bits select the entry
    table[10] = 12;
    orbo_convert_screen(*src, *dst, table, locked, 0, true);
    EXPECT_EQ(at(0, 0), 12);
    EXPECT_EQ(at(127, 127), 4);
}

TEST_F(DisplayTest, ExtendedPaletteOnlyWhenUnlocked)
{
    table[5] = 0x85;
    src->row(0)[0] = 5;
    orbo_convert_screen(*src, *dst, table, ORBO_PALETTE_UNLOCK, 0, true);
    EXPECT_EQ(at(0, 0), 0x85);
    EXPECT_EQ(table[5], 0x85);
    uint8_t almost[4] = {0xAD, 0xDF, 0xAD, 0xEE};
    orbo_convert_screen(*src, *dst, table, almost, 0, true);
    EXPECT_EQ(at(0, 0), 5);
    EXPECT_EQ(table[5], 5);  // the table entry itself is reduced
}

TEST_F(DisplayTest, ModeThreeStretchesTheTopLeftQuarter)
{
    orbo_convert_screen(*src, *dst, table, locked, 3, true);
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++) ASSERT_EQ(at(x, y), src->row(y / 2)[x / 2]) << x << "," << y;
}

TEST_F(DisplayTest, ModeSevenMirrorsIntoFourQuarters)
{
    orbo_convert_screen(*src, *dst, table, locked, 7, true);
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++) {
            int sx = x < 64 ? x : 127 - x, sy = y < 64 ? y : 127 - y;
            ASSERT_EQ(at(x, y), src->row(sy)[sx]) << x << "," << y;
        }
    EXPECT_EQ(at(122, 124), 9);
}

TEST_F(DisplayTest, OtherModesAndTheConsoleLeaveThePictureAlone)
{
    for (int m : {0, 4, 8, 255, -1}) {
        orbo_convert_screen(*src, *dst, table, locked, m, true);
        EXPECT_EQ(dst->pixels, src->pixels) << m;
    }
    orbo_convert_screen(*src, *dst, table, locked, 3, false);
    EXPECT_EQ(dst->pixels, src->pixels);
    // Single modes: 1 horizontal stretch, 2 vertical, 5 and 6 mirrors.
    orbo_convert_screen(*src, *dst, table, locked, 1, true);
    EXPECT_EQ(at(11, 3), 9);
    EXPECT_EQ(at(127, 127), 3);
    orbo_convert_screen(*src, *dst, table, locked, 2, true);
    EXPECT_EQ(at(5, 7), 9);
    EXPECT_EQ(at(127, 127), 2);
    orbo_convert_screen(*src, *dst, table, locked, 6, true);
    EXPECT_EQ(at(5, 124), 9);
}
