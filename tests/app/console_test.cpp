#include "hardware/console.h"

#include <gtest/gtest.h>
#include <tuple>

#include "app/state.h"
#include "runtime/pstate.h"
#include "hardware/machine.h"
#include "runtime/lua_machine.h"
#include "runtime/runtime.h"
#include "app_fixture.h"

namespace {
struct ConsoleTest : testing::Test {
    void SetUp() override
    {
        orbo_reset_records();
        orbo_runtime_init();
        orbo_new_machine();
        orbo_set_console_font(block_font());
    }
    void TearDown() override { orbo_set_console_font(nullptr); }
    // Number of ink pixels of colour c in row y.
    int ink(int y, int c = 6)
    {
        int n = 0;
        for (int x = 0; x < 128; x++) n += orbo_console_screen()->row(y)[x] == c;
        return n;
    }
    // Rightmost ink x in row y, or -1.
    int right_edge(int y)
    {
        for (int x = 127; x >= 0; x--)
            if (orbo_console_screen()->row(y)[x]) return x;
        return -1;
    }
};
}  // namespace

TEST_F(ConsoleTest, LinesMoveDownSixPixels)
{
    orbo_print("ab");
    EXPECT_EQ(orbo_live_machine()->cursor_y, 6);
    EXPECT_EQ(ink(0), 2 * 3);
    EXPECT_EQ(ink(4), 2 * 3);
    EXPECT_EQ(ink(5), 0);
    orbo_print_col("x", 12);
    EXPECT_EQ(ink(6, 12), 3);
    orbo_print_2("%d/%d", 12, 345);  // "12/345"
    EXPECT_EQ(ink(12), 6 * 3);
    orbo_print_2_col("%d", 7, 0, 9);
    EXPECT_EQ(ink(18, 9), 3);
    EXPECT_EQ(orbo_live_machine()->cursor_y, 24);
}

TEST_F(ConsoleTest, HundredCharactersTakeFourRows)
{
    orbo_print(std::string(100, 'w').c_str());
    for (int r = 0; r < 3; r++) {
        EXPECT_EQ(ink(r * 6), 32 * 3) << r;
        EXPECT_EQ(right_edge(r * 6), 31 * 4 + 2);
    }
    EXPECT_EQ(ink(18), 4 * 3);
    EXPECT_EQ(orbo_live_machine()->cursor_y, 24);
}

TEST_F(ConsoleTest, WrappedLineAtTheBottomScrollsFirst)
{
    // Fill to the last line.
    for (int i = 0; i < 21; i++) orbo_print("l");
    EXPECT_EQ(orbo_live_machine()->cursor_y, 120);
    orbo_print(std::string(33, 'w').c_str());
    // Both rows are on screen, just above the cursor line.
    EXPECT_EQ((std::tuple{orbo_live_machine()->cursor_y, ink(108), ink(114), ink(120), ink(126)}),
              (std::tuple{120, 32 * 3, 1 * 3, 0, 0}));
}

TEST_F(ConsoleTest, ScrollMovesRowsUpAndClearsTheBottom)
{
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++) orbo_console_screen()->row(y)[x] = uint8_t(y);
    orbo_live_machine()->cursor_y = 120;
    cursor_cr();
    EXPECT_EQ(orbo_live_machine()->cursor_y, 120);
    for (int y = 0; y < 122; y++) EXPECT_EQ(orbo_console_screen()->row(y)[5], y + 6) << y;
    for (int y = 122; y < 128; y++) EXPECT_EQ(orbo_console_screen()->row(y)[5], 0);
    orbo_live_machine()->cursor_y = 116;
    cursor_cr();
    EXPECT_EQ(orbo_live_machine()->cursor_y, 122);
}

TEST_F(ConsoleTest, ClearResetsTheCursorAndNoFontStillMoves)
{
    orbo_print("abc");
    orbo_console_clear(3);
    EXPECT_EQ(orbo_live_machine()->cursor_y, 0);
    EXPECT_EQ(ink(0, 3), 128);
    orbo_set_console_font(nullptr);
    orbo_print("abc");
    EXPECT_EQ(orbo_live_machine()->cursor_y, 6);
    EXPECT_EQ(ink(0, 0), 128);  // the line was cleared, nothing drawn
}
