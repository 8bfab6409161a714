// Start-up, boot and the main loop over a scripted host.
#include <gtest/gtest.h>

#include "../support/read_file.h"
#include <lodepng.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../platform/fake_host.h"
#include "app/boot.h"
#include "cart/working_cart.h"
#include "hardware/console.h"
#include "app/shell.h"
#include "app/state.h"
#include "hardware/cdata.h"
#include "runtime/pstate.h"
#include "hardware/machine.h"
#include "app_fixture.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/video.h"

namespace {

struct ShellTest : testing::Test {
    fake_host host;
    std::string exe, home;
    std::vector<std::string> args;
    std::vector<char*> argv;

    void SetUp() override
    {
        exe = fresh_dir("shell_exe");
        home = fresh_dir("shell_home");
        kiln_set_exe_folder(exe);
        kiln_host_set(&host);
        kiln_log_set_stdout(false);
        kiln_quit = false;
    }
    void TearDown() override
    {
        kiln_exit();
        kiln_host_set(nullptr);
        kiln_log_set_stdout(true);
        kiln_set_exe_folder("");
    }
    void start(std::vector<std::string> extra = {})
    {
        args = {"orbo", "-home", home};
        args.insert(args.end(), extra.begin(), extra.end());
        argv.clear();
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        kiln_set_arguments(int(args.size()), argv.data());
        kiln_set_app(orbo_shell_app);
        orbo_main_init();
    }
    // One host pass 34 ms after the previous one (a little over a frame at 30).
    void pass()
    {
        host.now += 34;
        kiln_main_pass();
    }
    // Rows y..y+5 of the console screen equal text drawn there alone.
    bool line_shows(int y, const char* text, int col)
    {
        kiln_bitmap_ptr ref = kiln_create_bitmap(128, 128, 8);
        kiln_draw_text_ex(ref.get(), text, orbo_console_font(), 0, y, KILN_TEXT_VALUE, col);
        for (int r = y; r < y + 6; r++)
            if (memcmp(ref->row(r), orbo_console_screen()->row(r), 128) != 0) return false;
        return true;
    }
};
}  // namespace

TEST_F(ShellTest, BootsToTheConsoleAndReportsAMissingHeadCart)
{
    write_data_pod(exe, false);
    start();
    EXPECT_EQ(pstate.app_mode, MODE_BOOT);
    EXPECT_EQ(pstate.frame_count, -15);
    EXPECT_STREQ(kiln_state.window_title, "test title");
    EXPECT_EQ(kiln_display_palette.rgb[3], uint8_t(3 * 7));
    EXPECT_EQ(pstate.cart_root, home + "carts/");
    EXPECT_EQ(orbo_cdata_folder, home + "cdata/");
    for (const char* f : {"carts", "backup", "cdata", "cstore", "plates", "bbs/carts", "bbs/labels"})
        EXPECT_TRUE(std::filesystem::is_directory(home + f)) << f;

    // Step s runs when frame_count - 10 == s (frame_count starts at -15 and
    // counts up after each step); the first pass only starts the clock.
    for (int i = 0; i < 1 + 105; i++) pass();
    ASSERT_EQ(pstate.frame_count - 10, 80);
    EXPECT_TRUE(line_shows(12, ORBO_VERSION_TEXT, 6));
    EXPECT_TRUE(line_shows(18, ORBO_BOOT_NOTICE, 13));
    EXPECT_TRUE(line_shows(30, "booting cartridge..", 6));
    EXPECT_FALSE(line_shows(42, "head cart not found", 6));
    pass();
    EXPECT_TRUE(line_shows(42, "head cart not found", 6));
    EXPECT_EQ(orbo_live_machine()->cursor_y, 48);
    // The logo (colour 9) at (1,1), 40x10.
    EXPECT_EQ(orbo_console_screen()->row(1)[1], 9);
    EXPECT_EQ(orbo_console_screen()->row(10)[40], 9);
    EXPECT_EQ(orbo_console_screen()->row(11)[41], 0);
    // It stays in boot mode, and the screen reaches the back page.
    for (int i = 0; i < 20; i++) pass();
    EXPECT_EQ(pstate.app_mode, MODE_BOOT);
    EXPECT_EQ(pstate.pending_action, ACTION_NONE);
    EXPECT_EQ(kiln_back_page->pixels, shell.display->pixels);
    EXPECT_EQ(kiln_back_page->row(1)[1], 9);
}

TEST_F(ShellTest, AHeadCartThatCannotBeReadStaysInBootMode)
{
    write_data_pod(exe, true, 0x7fff);  // one byte short of an image
    start();
    for (int i = 0; i < 110; i++) pass();
    EXPECT_EQ(pstate.app_mode, MODE_BOOT);
    EXPECT_TRUE(line_shows(42, "head cart not found", 6));
}

TEST_F(ShellTest, AHeadCartBecomesTheWorkingCartridgeAndIsRun)
{
    write_data_pod(exe, true);
    start();
    for (int i = 0; i < 110; i++) pass();
    EXPECT_FALSE(line_shows(42, "head cart not found", 6));
    ASSERT_TRUE(orbo_working().cart);
    EXPECT_EQ(orbo_working().cart->version, 15);
    // The run was requested and dispatched; the empty program ends at once.
    EXPECT_EQ(pstate.program_flag, 1);
    EXPECT_EQ(pstate.app_mode, MODE_CONSOLE);
}

TEST_F(ShellTest, RunOptionRunsTheNamedCartridgeAfterBootWithTheParameter)
{
    write_data_pod(exe, true);
    std::string cart = exe + "game.ob";
    std::ofstream(cart) << "orbo cartridge // test\nversion 15\n__lua__\nfunction _update() end\n";
    start({cart, "-run", "-p", "hello"});
    EXPECT_EQ(pstate.app_mode, MODE_BOOT);
    for (int i = 0; i < 110; i++) pass();
    EXPECT_NE(orbo_working().filename.find("game.ob"), std::string::npos);
    EXPECT_EQ(pstate.app_mode, MODE_RUNNING);
    EXPECT_EQ(pstate.run_param, "hello");
    EXPECT_GT(pstate.time_frames, 0);  // the standard loop updates the buttons
}

// A stall runs one console frame a pass, and at most four in all.
TEST_F(ShellTest, AtMostOneConsoleFramePerPass)
{
    write_data_pod(exe, false);
    start();
    pass();
    int before = pstate.frame_count;
    host.now += 5000;  // a long stall
    kiln_main_pass();
    EXPECT_EQ(pstate.frame_count, before + 1);
    for (int i = 0; i < 10; i++) kiln_main_pass();  // no time passes: only the carried frames
    EXPECT_EQ(pstate.frame_count, before + 4);
}

TEST_F(ShellTest, SplashWaitsForAKey)
{
    write_data_pod(exe, false);
    std::vector<unsigned char> rgba(20 * 10 * 4, 0);
    rgba[0] = rgba[1] = rgba[2] = 255, rgba[3] = 255;  // one white pixel
    ASSERT_EQ(lodepng_encode32_file((exe + "splash.png").c_str(), rgba.data(), 20, 10), 0u);
    start();
    EXPECT_EQ(pstate.app_mode, MODE_SPLASH);
    for (int i = 0; i < 30; i++) pass();
    EXPECT_EQ(pstate.app_mode, MODE_SPLASH);
    ASSERT_TRUE(kiln_back_page);
    EXPECT_EQ(kiln_back_page->w, 20);  // the back page takes the image's size
    EXPECT_EQ(kiln_back_page->h, 10);
    host.keys[KILN_SC_SPACE] = 1;
    pass();
    pass();
    EXPECT_EQ(pstate.app_mode, MODE_BOOT);
    pass();
    EXPECT_EQ(kiln_back_page->w, 128);
}

TEST_F(ShellTest, WindowCloseEndsTheLoopAndWritesTheSettings)
{
    write_data_pod(exe, false);
    start();
    kiln_host_event close;
    close.kind = kiln_host_event::WINDOW_CLOSE;
    host.events.push_back(close);
    pass();
    EXPECT_TRUE(kiln_quit);
    kiln_exit();
    std::string cfg = read_file(home + "config.txt");
    EXPECT_NE(cfg.find("sessions 1 //"), std::string::npos);
    EXPECT_NE(cfg.find("\n\n// :: \n\nversion 0.1.11f\n"), std::string::npos);
    std::string log = read_file(home + "log.txt");
    EXPECT_NE(log.find("window closed (0)"), std::string::npos);
}

using ShellDeathTest = ShellTest;

TEST_F(ShellDeathTest, MissingDataFileExitsWithStatusOne)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(start(), testing::ExitedWithCode(1), "");
}

TEST_F(ShellDeathTest, MissingExecCartridgeExitsWithStatusOne)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    write_data_pod(exe, false);
    EXPECT_EXIT(start({"-x", exe + "nothing.ob"}), testing::ExitedWithCode(1), "");
}

TEST(RootFolder, HomeOptionHomeVariableOrWorkingDirectory)
{
    std::string base = fresh_dir("root_folder");
    const char* old = getenv("HOME");
    std::string saved = old ? old : "";
    setenv("HOME", base.c_str(), 1);
    EXPECT_EQ(kiln_setup_root_folder("", "orbo"), base + ".hearthware/orbo/");
    EXPECT_TRUE(std::filesystem::is_directory(base + ".hearthware/orbo"));
    EXPECT_EQ(kiln_setup_root_folder(base + "mine", "orbo"), base + "mine/");
    EXPECT_EQ(kiln_prefix_with_appdata_path("log.txt"), base + "mine/log.txt");
    setenv("HOME", "", 1);
    EXPECT_EQ(kiln_setup_root_folder("", "orbo"), "");
    unsetenv("HOME");
    EXPECT_EQ(kiln_setup_root_folder("", "orbo"), "");
    EXPECT_EQ(kiln_prefix_with_appdata_path("config.txt"), "config.txt");
    if (old) setenv("HOME", saved.c_str(), 1);
}
