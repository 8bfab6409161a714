// Framework start and stop over a scripted host: the logged steps, the
// session counter and the settings written back.
#include <gtest/gtest.h>

#include "../support/read_file.h"
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fake_host.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/log.h"

namespace {

std::string fresh_dir(const char* name)
{
    std::string d = testing::TempDir() + name + std::to_string(getpid());
    std::filesystem::remove_all(d);
    std::filesystem::create_directories(d);
    return d + "/";
}

void start_stop(fake_host& host, std::vector<std::string> args)
{
    std::vector<char*> v;
    for (auto& a : args) v.push_back(a.data());
    v.push_back(nullptr);
    kiln_host_set(&host);
    kiln_set_app_title("orbo");
    kiln_set_load_config_func(nullptr);
    kiln_set_save_config_func(nullptr);
    kiln_log_set_stdout(false);
    ASSERT_TRUE(kiln_init(int(args.size()), v.data()));
    kiln_exit();
    kiln_log_set_stdout(true);
    kiln_host_set(nullptr);
}
}  // namespace

TEST(Lifecycle, StepsAreLoggedInOrder)
{
    std::string home = fresh_dir("kiln_steps");
    fake_host host;
    start_stop(host, {"orbo", "-home", home});
    std::string log = read_file(home + "log.txt");
    const char* steps[] = {">kiln_init", "platform: Linux", "kiln_system_init", "kiln_reset_timer",
                           "kiln_gui_init", "kiln_keys_init", "kiln_text_init", "kiln_video_init",
                           "kiln_mouse_init", "kiln_joystick_init", "searching for joysticks",
                           ">kiln_exit", "cmusic_stop", "kiln_main_exit", "kiln_config_save",
                           "kiln_sound_exit", "kiln_video_exit", "kiln_joystick_exit",
                           "kiln_system_exit", "kiln_items_created: 0"};
    size_t at = 0;
    for (const char* s : steps) {
        size_t p = log.find(s, at);
        ASSERT_NE(p, std::string::npos) << s << "\n" << log;
        at = p;
    }
    EXPECT_EQ(log.substr(log.size() - 3), "ok\n");
    // The missing user mapping file is created with its comment line.
    EXPECT_EQ(read_file(home + "sdl_controllers.txt"),
              "// add SDL2 game controller mappings to this file\n");
}

TEST(Lifecycle, SessionsCountUpAndOptionsAreNotWrittenBack)
{
    std::string home = fresh_dir("kiln_sessions");
    {
        std::ofstream f(home + "config.txt");
        f << "window_size 300 200\nsessions 7\nsound_volume 300\n";
    }
    fake_host host;
    start_stop(host, {"orbo", "-home", home, "-width", "800", "-show_fps", "1"});
    std::string text = read_file(home + "config.txt");
    EXPECT_NE(text.find("sessions 8 //"), std::string::npos) << text;
    EXPECT_NE(text.find("window_size 300 200 //"), std::string::npos);
    EXPECT_NE(text.find("show_fps 0 //"), std::string::npos);
    EXPECT_NE(text.find("sound_volume 256 //"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(home + "config.txt.tmp"));

    // No file at all: an option still never reaches the file.
    std::string home2 = fresh_dir("kiln_sessions_nofile");
    start_stop(host, {"orbo", "-home", home2, "-width", "800", "-height", "600"});
    text = read_file(home2 + "config.txt");
    EXPECT_NE(text.find("window_size 0 0 //"), std::string::npos) << text;
    EXPECT_NE(text.find("sessions 1 //"), std::string::npos);
    start_stop(host, {"orbo", "-home", home2});
    EXPECT_NE(read_file(home2 + "config.txt").find("sessions 2 //"), std::string::npos);
}

TEST(Lifecycle, UnwritableFolderIsSilent)
{
    std::string home = fresh_dir("kiln_ro");
    fake_host host;
    start_stop(host, {"orbo", "-home", home});
    std::filesystem::remove(home + "config.txt");
    std::filesystem::create_directory(home + "config.txt");  // a folder where the file should go
    start_stop(host, {"orbo", "-home", home});
    EXPECT_TRUE(std::filesystem::is_directory(home + "config.txt"));
    EXPECT_FALSE(std::filesystem::exists(home + "config.txt.tmp"));
}
