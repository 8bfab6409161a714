#include "app/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <tuple>

#include "app/state.h"
#include "runtime/pstate.h"
#include "platform/config.h"
#include "platform/log.h"

namespace {
struct SettingsTest : testing::Test {
    void SetUp() override
    {
        kiln_log_set_stdout(false);
        orbo_reset_records();
        set_default_app_config();
        kiln_config_default();
    }
    void TearDown() override { kiln_log_set_stdout(true); }
    std::string section()
    {
        char* buf = nullptr;
        size_t len = 0;
        FILE* f = open_memstream(&buf, &len);
        orbo_save_config(f);
        fclose(f);
        std::string s(buf, len);
        free(buf);
        return s;
    }
    void parse(std::vector<std::string> args)
    {
        std::vector<char*> v;
        for (auto& a : args) v.push_back(a.data());
        v.push_back(nullptr);
        process_arguments(int(args.size()), v.data());
    }
};
}  // namespace

TEST_F(SettingsTest, DefaultSectionIsWrittenExactly)
{
    std::string want =
        "version 0.1.11f\n\n"
        "\n// Location of orbo's root folder\nroot_path \n\n"
        "\n// Location of cartridge save data\ncdata_path \n\n"
        "\n// Specify which player index joystick control begins at (0..7)\njoystick_index 0\n\n"
        "\n// Custom keyboard scancodes for buttons. player0 0..6, player1 0..5\n"
        "button_keys 0 0 0 0 0 0 0 0 0 0 0 0 0 \n\n"
        "// Play notes as they are plotted in frequency mode\nlive_notes 0\n\n"
        "// iff 1: when using keyboard cursor, snap to closest pixel / map cel\ncursor_snap 0\n\n"
        "// maximum length of gif in seconds (1..120, default 8)\ngif_len 8\n\n"
        "// 0 classic  1 dark blue background in code editor\ngui_theme 0\n\n"
        "// scale of screenshots and gifs // 2 means 256x256\nscreenshot_scale 3\ngif_scale 2\n\n"
        "// when 1 can enter glyphs using shift-A..Z\nshift_glyphs 1\n\n"
        "// 0 for off. 1 to notify whenever unsaved changes are backed up\n"
        "show_backup_messages 1\n\n"
        "// 0 for off. 1 to allow control of a cart's framerate due to host machine's cpu "
        "capacity (recommended)\nhost_framerate_control 1\n\n";
    EXPECT_EQ(section(), want);
}

TEST_F(SettingsTest, ReadHookKeys)
{
    orbo_load_config("root_path /home/u/carts");
    EXPECT_EQ(app.root_path, "/home/u/");  // without a trailing slash: the folder above
    orbo_load_config("cdata_path /data/cd/");
    EXPECT_EQ(app.cdata_path, "/data/cd/");
    orbo_load_config("root_path relative");
    EXPECT_EQ(app.root_path, "r");
    orbo_load_config("root_path c:\\games\\x");
    EXPECT_EQ(app.root_path, "c:\\games\\");
    orbo_load_config("root_path ");
    EXPECT_EQ(app.root_path, "");

    app.button_keys[3] = 77;
    orbo_load_config("button_keys 4 5 6");
    EXPECT_EQ(app.button_keys[0], 4);
    EXPECT_EQ(app.button_keys[2], 6);
    EXPECT_EQ(app.button_keys[3], 77);  // missing values leave slots unchanged

    orbo_load_config("gui_theme x");  // unparsable: unchanged
    EXPECT_EQ(app.gui_theme, 0);
}

// Every key set away from its default: the text read back writes the same
// text again, so no key is lost on the way (gif_scale is written only).
TEST_F(SettingsTest, FileRoundTripKeepsEveryKeyButGifScale)
{
    kiln_set_load_config_func(orbo_load_config);
    kiln_set_save_config_func(orbo_save_config);
    app.root_path = "/r/";
    app.cdata_path = "/c/";
    app.joystick_index = 2;
    for (int i = 0; i < ORBO_BUTTON_KEYS; i++) app.button_keys[i] = 10 + i;
    app.live_notes = 1;
    app.cursor_snap = 1;
    app.gif_len = 30;
    app.gui_theme = 1;
    app.screenshot_scale = 5;
    app.gif_scale = 4;
    app.shift_glyphs = 0;
    app.show_backup_messages = 0;
    app.host_framerate_control = 0;
    std::string text = kiln_config_text();
    orbo_reset_records();
    kiln_config_parse_text(text);
    EXPECT_EQ(app.gif_scale, 2);
    app.gif_scale = 4;
    EXPECT_EQ(kiln_config_text(), text);
    kiln_set_load_config_func(nullptr);
    kiln_set_save_config_func(nullptr);
}

TEST_F(SettingsTest, ApplicationOptions)
{
    parse({"orbo", "-width", "800", "-height", "600", "game.ob", "-run"});
    EXPECT_EQ(app.run_requested, true);
    EXPECT_EQ(app.auto_load_fn, "game.ob");
    EXPECT_EQ(pstate.exec_mode, 0);

    orbo_reset_records();
    parse({"orbo", "-x", "cart.ob", "-p", "level2", "-joystick", "2", "-gif_len", "30",
           "-gpio_base", "abc", "-screenshot_scale", "4", "-gif_scale", "1", "-gui_theme", "1",
           "-glitch_test", "5"});
    EXPECT_EQ((std::tuple{pstate.exec_mode, app.run_requested, cconfig.headless, app.auto_load_fn, app.run_parameter,
                          app.joystick_index, app.gif_len, app.gpio_base, app.screenshot_scale, app.gif_scale,
                          app.gui_theme, app.glitch_test}),
              (std::tuple{1, true, 1, "cart.ob", "level2", 2, 30, 0, 4, 1, 1, 5}));

    // Platform options with values are skipped whole; the whole name must match.
    orbo_reset_records();
    parse({"orbo", "-home", "/h", "-exe", "a.ob", "-runx", "b.ob", "c.ob", ">", "d.ob"});
    EXPECT_EQ(pstate.exec_mode, 0);
    EXPECT_FALSE(app.run_requested);
    EXPECT_EQ(app.auto_load_fn, "c.ob");
}
