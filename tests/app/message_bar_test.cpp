// The message bar drawn on the back page: sliding in over the first 200 ms
// and out over the last 200, red with the text in 15 and 7 by turns, and
// the devkit messages in their own grey box.
#include "app/message_bar.h"

#include <gtest/gtest.h>

#include "../platform/fake_host.h"
#include "app/state.h"
#include "app_fixture.h"
#include "hardware/machine.h"
#include "platform/kiln.h"
#include "platform/video.h"

namespace {
struct MessageBar : testing::Test {
    fake_host host;
    void SetUp() override
    {
        kiln_host_set(&host);
        app = orbo_app{};
        orbo_set_console_font(block_font());
        kiln_back_page = kiln_create_bitmap(128, 128, 8);
    }
    void TearDown() override
    {
        orbo_set_console_font(nullptr);
        kiln_host_set(nullptr);
    }
    // The page drawn at time `now`: the first row (from 112 down) the bar
    // covers with colour 8, or -1; and the colours of the text row 1 below it.
    int draw_at(uint32_t now)
    {
        host.now = now;
        std::fill(kiln_back_page->pixels.begin(), kiln_back_page->pixels.end(), 5);
        orbo_draw_message_bar();
        for (int y = 112; y < 128; y++)
            if (kiln_back_page->row(y)[127] == 8) return y;
        return -1;
    }
    int text_colour(int bar_y) { return kiln_back_page->row(bar_y + 1)[1]; }
};
}  // namespace

TEST_F(MessageBar, SlidesAlternatesColoursAndEnds)
{
    host.now = 1000;
    orbo_show_standard_message("saved screenshot to desktop", 1400);  // ends at 2400
    EXPECT_EQ(draw_at(1000), -1);   // 10 rows below its place: off the page
    EXPECT_EQ(draw_at(1100), 126);  // sliding in: 5 rows below
    EXPECT_EQ(draw_at(1300), 121);  // in place
    EXPECT_EQ(text_colour(121), 15);
    EXPECT_EQ(draw_at(2300), 126);  // sliding out
    EXPECT_EQ(draw_at(2400), -1);   // over
    orbo_show_message("sound off", 1000);  // ms + 400
    EXPECT_EQ(app.message_end - app.message_start, 1400u);
    EXPECT_EQ(draw_at(2800), 121);
    EXPECT_EQ(text_colour(121), 7);  // the next message takes the other colour
    orbo_show_message("sound on", 1000);
    EXPECT_EQ(draw_at(3100), 121);
    EXPECT_EQ(text_colour(121), 15);
}

TEST_F(MessageBar, DevkitMessagesHaveTheirOwnBox)
{
    host.now = 5000;
    orbo_show_message("devkit mouse enabled", 2000);
    EXPECT_EQ(draw_at(5500), -1);  // no red bar
    EXPECT_EQ(kiln_back_page->row(119)[0], 0);    // black outline
    EXPECT_EQ(kiln_back_page->row(118)[0], 5);
    EXPECT_EQ(kiln_back_page->row(123)[100], 6);  // the mouse box ends at x 100
    EXPECT_EQ(kiln_back_page->row(123)[101], 0);
    EXPECT_EQ(kiln_back_page->row(123)[102], 5);
    EXPECT_EQ(kiln_back_page->row(121)[16], 1);   // the text in colour 1
}
