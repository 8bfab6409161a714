#include "platform/joystick.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fake_host.h"
#include "platform/kiln.h"
#include "platform/log.h"
#include "platform/paths.h"

namespace {
struct JoystickTest : testing::Test {
    fake_host host;
    std::string log_path = testing::TempDir() + "joy_log_" + std::to_string(getpid()) + ".txt";
    void SetUp() override
    {
        kiln_host_set(&host);
        kiln_log_set_stdout(false);
        kiln_log_open(log_path.c_str());
    }
    void TearDown() override
    {
        kiln_joystick_exit();
        kiln_log_close();
        kiln_log_set_stdout(true);
        kiln_host_set(nullptr);
    }
    std::string log()
    {
        std::ifstream f(log_path);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
};
}  // namespace

TEST_F(JoystickTest, MappingFilesAreTrimmedAndLogged)
{
    kiln_add_controller_mappings(
        "// comment\n\n  03000000aaaa,Pad A,a:b0,platform:Linux,  \r\n"
        "03000000aaaa,Pad A again,a:b1,\nnot a mapping\n/another comment\n");
    ASSERT_EQ(host.mappings.size(), 1u);
    EXPECT_EQ(host.mappings[0], "03000000aaaa,Pad A,a:b0,platform:Linux,");
    std::string l = log();
    EXPECT_NE(l.find(" added controller mapping: 03000000aaaa,Pad A,"), std::string::npos);
    EXPECT_NE(l.find(" updated controller mapping: 03000000aaaa,Pad A again"), std::string::npos);
    EXPECT_NE(l.find(" failed to add controller mapping: not a mapping"), std::string::npos);
    EXPECT_EQ(l.find("comment"), std::string::npos);
}

TEST_F(JoystickTest, InitReadsBothFilesAndCountsAtMostEight)
{
    std::string exe = testing::TempDir() + "joy_exe" + std::to_string(getpid()) + "/";
    std::string root = testing::TempDir() + "joy_root" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(exe);
    std::filesystem::create_directories(root);
    std::ofstream(exe + "sdl_controllers.txt") << "id1,Exe pad,a:b0\n";
    kiln_set_exe_folder(exe);
    kiln_set_root_folder(root);
    host.joysticks = 11;
    kiln_joystick_init();
    EXPECT_EQ(kiln_count_joysticks(), 8);
    ASSERT_EQ(host.mappings.size(), 1u);
    std::string l = log();
    EXPECT_NE(l.find("found 11 joysticks"), std::string::npos);
    EXPECT_NE(l.find("Controller 7: pad"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(root + "sdl_controllers.txt"));
    kiln_set_exe_folder("");
    kiln_set_root_folder("");
}

TEST_F(JoystickTest, AxesAndButtonsNeedValidation)
{
    host.joysticks = 2;
    kiln_joystick_init();
    kiln_joy_raw& j = host.joy[0];
    j.attached = j.is_controller = true;
    j.axes[0] = 32767;  // a trigger resting at full deflection
    j.axes[1] = 100;
    j.buttons = 1;      // held from the start
    int x, y, b;
    kiln_get_joystick(0, &x, &y, &b);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 100);
    EXPECT_EQ(b, 0);
    kiln_get_joystick(0, &x, &y, &b);  // logged once only
    j.axes[0] = -20000;  // still not near centre
    kiln_get_joystick(0, &x, &y, &b);
    EXPECT_EQ(x, 0);
    j.axes[0] = 3000;
    j.buttons = 0;
    kiln_get_joystick(0, &x, &y, &b);
    EXPECT_EQ(x, 3000);
    j.axes[0] = 32767;
    j.buttons = 1 | 4;
    kiln_get_joystick(0, &x, &y, &b);
    EXPECT_EQ(x, 32767);
    EXPECT_EQ(b, 5);  // both buttons have been seen released by now
    std::string l = log();
    EXPECT_NE(l.find("** x axis 0 not validated on joystick 0"), std::string::npos);
    EXPECT_EQ(l.find("** y axis"), std::string::npos);
    size_t first = l.find("** button 0 not validated on joystick 0");
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(l.find("** button 0 not validated", first + 1), std::string::npos);

    // Other axes are validated on their own: a trigger at rest (axis 4).
    j.axes[4] = -32768;
    j.axes[3] = 1234;
    kiln_get_joystick_axes(0, 4, 3, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 1234);
    j.axes[4] = 0;
    kiln_get_joystick_axes(0, 4, 3, &x, &y);
    EXPECT_EQ(x, 0);
    j.axes[4] = 32767;
    kiln_get_joystick_axes(0, 4, 99, &x, &y);
    EXPECT_EQ(x, 32767);
    EXPECT_EQ(y, 0);
    EXPECT_NE(log().find("** x axis 4 not validated on joystick 0"), std::string::npos);

    kiln_get_joystick(1, &x, &y, &b);  // present in the count but not attached
    kiln_get_joystick(1, &x, &y, &b);
    kiln_get_joystick(9, &x, &y, &b);
    EXPECT_EQ(x + y + b, 0);
    l = log();
    size_t absent = l.find("** could not read joystick 1 (not attached)");
    EXPECT_NE(absent, std::string::npos);
    EXPECT_EQ(l.find("** could not read joystick 1", absent + 1), std::string::npos);
}
