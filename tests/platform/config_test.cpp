#include "platform/config.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/kiln.h"
#include "platform/log.h"
#include "platform/video.h"

namespace {
std::vector<std::string> g_hook_lines;
void record_line(const char* line) { g_hook_lines.push_back(line); }
void write_app_section(FILE* f) { fputs("app section\n", f); }

struct ConfigTest : testing::Test {
    void SetUp() override
    {
        kiln_log_set_stdout(false);
        kiln_config_default();
        g_hook_lines.clear();
        kiln_set_load_config_func(record_line);
        kiln_set_save_config_func(write_app_section);
        kiln_set_app_title("orbo");
        kiln_screen_mode = 1;
    }
    void TearDown() override
    {
        kiln_set_load_config_func(nullptr);
        kiln_set_save_config_func(nullptr);
        kiln_log_set_stdout(true);
    }
};

std::vector<char*> argv_of(std::vector<std::string>& args)
{
    std::vector<char*> v;
    for (auto& a : args) v.push_back(a.data());
    v.push_back(nullptr);
    return v;
}
}  // namespace

TEST_F(ConfigTest, ClampsOutOfRangeValues)
{
    kiln_config_parse_text(
        "sound_volume 300\nmusic_volume -5\nmix_buffer_size 100\n"
        "foreground_sleep_ms 999\nbackground_sleep_ms -1\n");
    EXPECT_EQ((std::tuple{cconfig.sound_volume, cconfig.music_volume, cconfig.mix_buffer_size,
                          cconfig.foreground_sleep_ms, cconfig.background_sleep_ms}),
              (std::tuple{256, 0, 1024, 200, 0}));

    kiln_config_default();
    kiln_config_parse_text("mix_buffer_size 8192\n");
    EXPECT_EQ(cconfig.mix_buffer_size, 8192);
    kiln_config_parse_text("mix_buffer_size 8193\n");
    EXPECT_EQ(cconfig.mix_buffer_size, 1024);
}

TEST_F(ConfigTest, ReadsEveryPlatformKey)
{
    kiln_config_parse_text(
        "window_size 800 600\r\nscreen_size 300 200\rwindowed 1\nwindow_position 10 20\n"
        "frameless 1\nfullscreen_method 2\nshow_fps 1\nsessions 7\nrmb_key 226\n"
        "emulate_textinput 1\ndesktop_path   /tmp/desk  \nwindib 1\nopengl_blit 1\nlarge_window 1\n");
    EXPECT_EQ((std::tuple{cconfig.window_w, cconfig.window_h, cconfig.screen_w, cconfig.screen_h, cconfig.windowed,
                          cconfig.window_x, cconfig.window_y, cconfig.frameless, cconfig.fullscreen_method,
                          cconfig.show_fps, cconfig.sessions, cconfig.rmb_key, cconfig.emulate_textinput,
                          cconfig.desktop_path}),
              (std::tuple{800, 600, 300, 200, 1, 10, 20, 1, 2, 1, 7, 226, 1, "/tmp/desk"}));
    EXPECT_TRUE(g_hook_lines.empty() || g_hook_lines == std::vector<std::string>{""});

    kiln_config_default();
    kiln_config_parse_text("video_mode 320 240\n");
    EXPECT_EQ(cconfig.window_w, 320);
    EXPECT_EQ(cconfig.screen_h, 240);
}

TEST_F(ConfigTest, GarbageKeepsDefaultsAndUnknownLinesGoToTheHook)
{
    kiln_config_parse_text(
        "windowed banana\nsound_volume\n// a comment\nroot_path /x/\n\n"
        "window_size 5\nzzz\n");
    EXPECT_EQ(cconfig.windowed, 0);
    EXPECT_EQ(cconfig.sound_volume, 256);
    EXPECT_EQ(cconfig.window_w, 5);  // one value read, the other unchanged
    EXPECT_EQ(cconfig.window_h, 0);
    std::vector<std::string> want = {"// a comment", "root_path /x/", "", "zzz"};
    EXPECT_EQ(g_hook_lines, want);
}

TEST_F(ConfigTest, LongLinesAreCutAt254Characters)
{
    std::string key = "zz" + std::string(300, 'a');
    kiln_config_parse_text(key + "\nsessions 3\n");
    ASSERT_EQ(g_hook_lines.size(), 1u);
    EXPECT_EQ(g_hook_lines[0].size(), 254u);
    EXPECT_EQ(cconfig.sessions, 3);  // the rest of the long line did not swallow this one
}

TEST_F(ConfigTest, TrimDropsBlanksAndHighBytes)
{
    EXPECT_EQ(kiln_trim(" \t\x80 abc d \xff\n"), "abc d");
    EXPECT_EQ(kiln_trim("   "), "");
}

TEST_F(ConfigTest, WritesTheExactFileWithCopyAndLiveValues)
{
    kiln_config_parse_text("window_size 300 200\nshow_fps 1\nsessions 7\n");
    cconfig_file = cconfig;
    // Live changes after reading: only the live keys follow them.
    cconfig.window_w = 999;
    cconfig.show_fps = 0;
    cconfig.sessions = 8;
    cconfig.sound_volume = 0;
    cconfig.music_volume = 0;
    cconfig.fullscreen_method = 2;
    kiln_screen_mode = 0;
    std::string want =
        "// - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
        "// Configuration for orbo\n// \n"
        "// config.txt is read on startup and saved on exit.\n"
        "// To generate the default config.txt, delete this file.\n// \n"
        "// - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
        "\n\n// :: Video Settings\n\n"
        "window_size 300 200 // window width, height\n"
        "screen_size 0 0 // screen width, height (stretched to window) \n"
        "show_fps 1 // Draw frames per second in the corner\n"
        "\n\n// :: Window Settings\n\n"
        "windowed 1 // 1 to start up in windowed mode\n"
        "window_position -1 -1 // x and y position of window, or -1, -1 to let the window "
        "manager decide\n"
        "frameless 0 // 1 to use a window with no frame\n"
        "fullscreen_method 2 // 0 maximized window (linux)  1 borderless desktop-sized window  2 "
        "fullscreen\n"
        "\n\n// :: System Settings\n\n"
        "foreground_sleep_ms 5 // number of milliseconds to sleep each frame. Try 10 to conserve "
        "battery power\n\n"
        "background_sleep_ms 20 // number of milliseconds to sleep each frame when running in the "
        "background\n\n"
        "sessions 8 // number of times program has been run\n\n"
        "// (scancode) hold this key down and left-click to simulate right-click\n"
        "rmb_key 0 // 0 for none  226 for LALT\n\n"
        "// 0:off  1: ignore SDL_TEXTINPUT and use SDL_GetKeyboardState instead (mapped to a US "
        "layout)\n"
        "emulate_textinput 0 \n\n"
        "// Desktop for saving screenshots etc. Defaults to $HOME/Desktop\n"
        "desktop_path \n\n"
        "\n\n// :: Audio Settings\n\n"
        "sound_volume 0 // 0..256\n"
        "music_volume 0 // 0..256\n"
        "mix_buffer_size 1024 // usually 1024. Try 2048 if you get choppy sound\n"
        "\n\n// :: \n\n"
        "app section\n";
    EXPECT_EQ(kiln_config_text(), want);
}

TEST_F(ConfigTest, ReadBackOfWrittenFileKeepsPlatformValues)
{
    kiln_config_parse_text(
        "window_size 640 400\nframeless 1\nrmb_key 226\ndesktop_path /d\nsound_volume 100\n");
    cconfig_file = cconfig;
    std::string text = kiln_config_text();
    kiln_config c1 = cconfig;
    kiln_config_default();
    kiln_config_parse_text(text);
    EXPECT_EQ((std::tuple{cconfig.window_w, cconfig.window_h, cconfig.frameless, cconfig.rmb_key, cconfig.desktop_path,
                          cconfig.sound_volume}),
              (std::tuple{c1.window_w, c1.window_h, 1, 226, "/d", 100}));
    EXPECT_EQ(cconfig.windowed, 0);  // kiln_screen_mode 1: fullscreen at exit
}

TEST_F(ConfigTest, PlatformOptions)
{
    std::vector<std::string> args = {"orbo", "-width", "800", "-height", "600", "game.ob", "-run",
                                     "-sound", "0", "-timeout", "0", "-draw_rect", "10,20",
                                     "-headless", "-music_volume", "abc", "|", "-show_fps", "1"};
    auto v = argv_of(args);
    kiln_process_arguments(int(args.size()), v.data());
    EXPECT_EQ((std::tuple{cconfig.window_w, cconfig.window_h, cconfig.sound_volume, cconfig.timeout,
                          cconfig.draw_rect[0], cconfig.draw_rect[1], cconfig.draw_rect[2], cconfig.draw_rect[3],
                          cconfig.headless}),
              (std::tuple{800, 600, 0, 1, 10, 20, 4096, 4096, 1}));
    EXPECT_EQ(cconfig.music_volume, 0);  // a non-number reads as 0
    EXPECT_EQ(cconfig.show_fps, 0);      // after "|" nothing is read

    std::vector<std::string> more = {"orbo", "-timeout", "999", "-sound_volume", "12",
                                     "-window_x", "5", "-home", "/tmp/h", "-x", "7"};
    auto w = argv_of(more);
    kiln_process_arguments(int(more.size()), w.data());
    EXPECT_EQ((std::tuple{cconfig.timeout, cconfig.sound_volume, cconfig.window_x, cconfig.home}),
              (std::tuple{240, 12, 5, "/tmp/h"}));
}
