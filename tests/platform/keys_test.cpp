#include <unistd.h>
#include "platform/keys.h"

#include <gtest/gtest.h>
#include <tuple>

#include "fake_host.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/log.h"
#include "platform/video.h"

namespace {
struct KeysTest : testing::Test {
    uint8_t sample[KILN_KEYS] = {};
    fake_host host;
    void SetUp() override
    {
        kiln_log_set_stdout(false);
        kiln_config_default();
        kiln_keys_init();
        kiln_host_set(&host);
    }
    void TearDown() override
    {
        kiln_host_set(nullptr);
        kiln_log_set_stdout(true);
    }
    // One pass: sample, events, end of pass.
    kiln_key_action pass(uint32_t now, std::initializer_list<kiln_host_event> events = {},
                         int mods = 0)
    {
        kiln_keys_sample(sample, mods, now);
        bool produced = false;
        kiln_key_action act = kiln_key_action::NONE;
        for (const auto& e : events)
            if (kiln_keys_event(e, now, &produced) == kiln_key_action::TERMINATE)
                act = kiln_key_action::TERMINATE;
        kiln_keys_end_pass(produced);
        return act;
    }
};
}  // namespace

TEST_F(KeysTest, PressThenHeldThenRepeatAfter500ThenEvery80)
{
    sample[KILN_SC_A] = 1;
    pass(1000);
    EXPECT_EQ(kiln_get_key_state(KILN_SC_A), 3);
    std::vector<std::pair<uint32_t, int>> want = {
        {1016, 1}, {1100, 1}, {1499, 1}, {1500, 3}, {1516, 1}, {1579, 1},
        {1580, 3}, {1596, 1}, {1660, 3}, {1661, 1}};
    for (auto [t, s] : want) {
        pass(t);
        EXPECT_EQ(kiln_get_key_state(KILN_SC_A), s) << "at " << t;
    }
    sample[KILN_SC_A] = 0;
    pass(1700);
    EXPECT_EQ(kiln_get_key_state(KILN_SC_A), 0);
    // A second key pressed restarts the 500 ms delay.
    sample[KILN_SC_A] = 1;
    pass(2000);
    EXPECT_EQ(kiln_get_key_state(KILN_SC_A), 3);
    pass(2400);
    EXPECT_EQ(kiln_get_key_state(KILN_SC_A), 1);
}

TEST_F(KeysTest, BlockedKeysReadUpUntilReleased)
{
    sample[KILN_SC_A] = 1;
    pass(0);
    kiln_block_key(KILN_SC_A);
    EXPECT_EQ(kiln_get_key_state(KILN_SC_A), 0);
    pass(600);  // a repeat does not reach a blocked key
    EXPECT_EQ(kiln_get_key_state(KILN_SC_A), 0);
    sample[KILN_SC_A] = 0;
    pass(700);
    EXPECT_FALSE(kiln_key_blocked(KILN_SC_A));
    sample[KILN_SC_A] = 1;
    pass(800);
    EXPECT_EQ(kiln_get_key_state(KILN_SC_A), 3);
}

TEST_F(KeysTest, GroupsAndModifiers)
{
    pass(0, {}, KILN_MOD_RCTRL | KILN_MOD_LGUI);
    EXPECT_NE(kilnkey[KILN_SC_RCTRL], 0);
    EXPECT_NE(kilnkey[KILN_KEY_LGUI], 0);
    EXPECT_EQ((std::tuple{kiln_get_key_state(-5), kiln_get_key_state(-3), kiln_get_key_state(-4),
                          kiln_get_key_state(-6), kiln_get_key_state(-7), kiln_get_any_key_down()}),
              (std::tuple{3, 3, 0, 0, 0, KILN_SC_RCTRL}));
    kiln_keys_init();
    sample[KILN_SC_CAPSLOCK] = 1;
    pass(10);
    EXPECT_EQ(kiln_get_any_key_down(), 0);
}

TEST_F(KeysTest, TypedKeysAndPressesWithoutCharacters)
{
    kiln_host_event text;
    text.kind = kiln_host_event::TEXT;
    text.text[0] = 'x';
    pass(0, {key_down(KILN_SC_RETURN, 13), text, key_down(KILN_SC_ESCAPE, 27),
             key_down(KILN_SC_BACKSPACE, 8)});
    // Tab right after the window became active is swallowed (window switching).
    kiln_host_event active;
    active.kind = kiln_host_event::WINDOW_ACTIVE;
    pass(100, {active, key_down(KILN_SC_TAB, 9)});
    pass(120, {key_down(KILN_SC_TAB, 9)});
    std::vector<int> got;
    while (kiln_keypressed()) got.push_back(kiln_readkey());
    // The swallowed Tab was still a key press: -1.
    EXPECT_EQ(got, (std::vector<int>{13, 'x', 27, 8, -1, 9}));

    // A key press that yields no character queues -1.
    sample[KILN_SC_LEFT] = 1;
    pass(200, {key_down(KILN_SC_LEFT)});
    ASSERT_TRUE(kiln_keypressed());
    EXPECT_EQ(kiln_readkey(), -1);

    // The queue holds 32 entries.
    for (int i = 0; i < 40; i++) pass(300 + i, {text});
    int n = 0;
    while (kiln_keypressed()) kiln_readkey(), n++;
    EXPECT_EQ(n, KILN_KEY_QUEUE);
}

TEST_F(KeysTest, CtrlLettersFpsToggleAndQuitKeys)
{
    sample[KILN_SC_LCTRL] = 1;
    pass(0, {key_down(KILN_SC_A, 'a')});
    EXPECT_EQ(kiln_readkey(), 'a');
    pass(10, {key_down(KILN_SC_1, '1')});
    EXPECT_EQ(cconfig.show_fps, 1);
    EXPECT_FALSE(kiln_keypressed());
    EXPECT_EQ(pass(20, {key_down(20, 'q')}), kiln_key_action::TERMINATE);
    sample[KILN_SC_LCTRL] = 0;
    sample[KILN_SC_LALT] = 1;
    EXPECT_EQ(pass(30, {key_down(KILN_SC_F4)}), kiln_key_action::TERMINATE);
    sample[KILN_SC_LALT] = 0;
    EXPECT_EQ(pass(40, {key_down(KILN_SC_F4)}), kiln_key_action::NONE);
    kiln_host_event quit;
    quit.kind = kiln_host_event::QUIT;
    EXPECT_EQ(pass(50, {quit}), kiln_key_action::TERMINATE);
    // AltGr (right Alt) clears the Ctrl entries.
    sample[KILN_SC_LCTRL] = 1;
    sample[KILN_SC_RALT] = 1;
    pass(60, {key_down(KILN_SC_A, 'a')});
    EXPECT_EQ(kilnkey[KILN_SC_LCTRL], 0);
}

TEST_F(KeysTest, AltEnterAndF11ToggleOncePerPress)
{
    host.is_headless = false;
    cconfig.headless = 0;
    kiln_screen_mode = 0;
    uint32_t t = 0;
    for (auto [held, key] : {std::pair{KILN_SC_LALT, KILN_SC_RETURN}, std::pair{KILN_SC_F11, KILN_SC_F11}}) {
        const int opened = host.windows_opened;
        sample[held] = sample[key] = 1;
        pass(t, {key_down(key)});
        EXPECT_EQ(host.windows_opened, opened + 1);
        EXPECT_EQ(kiln_screen_mode, 1);
        // Held: the host repeats the key; no second toggle.
        pass(t + 600, {key_down(key)});
        pass(t + 700, {key_down(key)});
        EXPECT_EQ(host.windows_opened, opened + 1);
        sample[key] = 0;
        pass(t + 800);
        sample[key] = 1;
        pass(t + 900, {key_down(key)});
        EXPECT_EQ(host.windows_opened, opened + 2);
        EXPECT_EQ(kiln_screen_mode, 0);
        sample[held] = sample[key] = 0;
        t += 1000;
    }
    cconfig.headless = 1;
}

TEST_F(KeysTest, EmulatedTextInputUsesUsLayout)
{
    cconfig.emulate_textinput = 1;
    sample[KILN_SC_LSHIFT] = 1;
    kiln_host_event text;
    text.kind = kiln_host_event::TEXT;
    text.text[0] = 'Z';  // ignored while emulating
    pass(0, {key_down(38, '9'), text, key_down(56, '/'), key_down(KILN_SC_1, '1')});
    sample[KILN_SC_LSHIFT] = 0;
    pass(10, {key_down(45, '-'), key_down(KILN_SC_0, '0'), key_down(KILN_SC_A + 2, 'c'),
              key_down(KILN_SC_SPACE, ' ')});
    std::string got;
    while (kiln_keypressed()) got += char(kiln_readkey());
    EXPECT_EQ(got, "(?!-0c ");
}

TEST_F(KeysTest, MouseMapsThroughTheDestinationRectangle)
{
    int x, y;
    kiln_map_mouse(304, 240, {64, 0, 480, 480}, 128, 128, &x, &y);
    EXPECT_EQ(x, 64);
    EXPECT_EQ(y, 64);
    kiln_map_mouse(10, 10, {0, 0, 0, 0}, 128, 128, &x, &y);
    EXPECT_EQ(x, 0);

    host.is_headless = false;
    cconfig.headless = 0;
    cconfig.draw_rect[0] = 64, cconfig.draw_rect[2] = cconfig.draw_rect[3] = 480;
    kiln_back_page = kiln_create_bitmap(128, 128, 8);
    host.win_w = 640, host.win_h = 480;
    host.mouse_x = 304, host.mouse_y = 240, host.mouse_b = 1;
    int b;
    kiln_get_mouse(&x, &y, &b);
    EXPECT_EQ(x, 64);
    EXPECT_EQ(y, 64);
    EXPECT_EQ(b, 1);
    cconfig.rmb_key = KILN_SC_LALT;
    kilnkey[KILN_SC_LALT] = 1;
    kiln_get_mouse(&x, &y, &b);
    EXPECT_EQ(b, 2);
    // A warped position holds until the host mouse moves.
    kiln_set_mouse(5, 6);
    kiln_get_mouse(&x, &y, &b);
    EXPECT_EQ(x, 5);
    host.mouse_x = 400, host.mouse_y = 300;
    kiln_get_mouse(&x, &y, &b);
    EXPECT_EQ(x, (400 - 64) * 128 / 480);
    host.win_w = 0;
    kiln_get_mouse(&x, &y, &b);
    EXPECT_EQ(x + y + b, 0);
    kiln_back_page.reset();
    cconfig.headless = 1;
}

TEST_F(KeysTest, Clipboard)
{
    kiln_set_clipboard_text("hello");
    EXPECT_TRUE(kiln_has_clipboard_text());
    char* t = kiln_get_clipboard_text();
    EXPECT_STREQ(t, "hello");
    free(t);
    std::string path = testing::TempDir() + "clip_test_" + std::to_string(getpid()) + ".txt";
    EXPECT_EQ(kiln_save_clipboard_to_file(path.c_str()), 0);
    kiln_set_clipboard_text("");
    EXPECT_EQ(kiln_save_clipboard_to_file(path.c_str()), 1);
    EXPECT_EQ(kiln_load_clipboard_from_file(path.c_str()), 0);
    EXPECT_EQ(host.clip, "hello");
    EXPECT_EQ(kiln_save_clipboard_to_file("/nonexistent/dir/x"), 1);
}

TEST_F(KeysTest, KeyNamesAreUpperCasedAndShort)
{
    kiln_build_key_names();
    EXPECT_STREQ(kiln_get_key_name(4), "A");
    EXPECT_STREQ(kiln_get_key_name(5), "?");
    EXPECT_STREQ(kiln_get_key_name(224), "LEFT CTRL");
    EXPECT_STREQ(kiln_get_key_name(6), "");
    EXPECT_STREQ(kiln_get_key_name(311), "");
    EXPECT_STREQ(kiln_get_key_name(-1), "");
}
