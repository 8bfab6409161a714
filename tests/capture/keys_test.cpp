// The capture keys: which keys start which capture, and the messages.
#include <cstring>

#include "capture/capture_keys.h"
#include "capture_test_util.h"
#include "platform/host.h"

using namespace capturetest;

namespace {

int g_keys[KILN_KEYS];
bool g_alt, g_ctrl;

int fake_key_state(int key)
{
    if (key == -4) return g_alt;
    if (key == -5) return g_ctrl;
    return key >= 0 && key < KILN_KEYS ? g_keys[key] : 0;
}

constexpr int F(int n) { return 57 + n; }
constexpr int DIGIT(int d) { return d == 0 ? 39 : 29 + d; }

// Keys pressed in this update (state 3), optionally one held (state 1).
unsigned actions(std::initializer_list<int> pressed, bool ctrl = false, bool alt = false, int held = -1)
{
    memset(g_keys, 0, sizeof g_keys);
    for (int k : pressed) g_keys[k] = 3;
    if (held >= 0) g_keys[held] = 1;
    g_ctrl = ctrl;
    g_alt = alt;
    return capture_key_actions(fake_key_state);
}

}  // namespace

TEST(CaptureKeys, KeysChooseActions)
{
    EXPECT_EQ(actions({F(6)}), CAPTURE_SCREENSHOT);
    EXPECT_EQ(actions({F(1)}), CAPTURE_SCREENSHOT);
    EXPECT_EQ(actions({DIGIT(6)}, true), CAPTURE_SCREENSHOT);
    EXPECT_EQ(actions({F(8)}), CAPTURE_RESET_VIDEO);
    EXPECT_EQ(actions({F(3)}), CAPTURE_RESET_VIDEO);
    EXPECT_EQ(actions({DIGIT(8)}, true), CAPTURE_RESET_VIDEO);
    EXPECT_EQ(actions({F(9)}), CAPTURE_SAVE_GIF);
    EXPECT_EQ(actions({F(4)}), CAPTURE_SAVE_GIF);
    EXPECT_EQ(actions({DIGIT(9)}, true), CAPTURE_SAVE_GIF);
    EXPECT_EQ(actions({F(6), F(9)}), CAPTURE_SCREENSHOT | CAPTURE_SAVE_GIF);
    EXPECT_EQ(actions({F(6)}, true), CAPTURE_SCREENSHOT);

    // Nothing: digits without Ctrl, the keys read but unused, a key only
    // held, anything under Alt, and Ctrl+0.
    EXPECT_EQ(actions({DIGIT(6), DIGIT(9)}), CAPTURE_NONE);
    EXPECT_EQ(actions({F(7), F(2), F(10), F(5), DIGIT(7)}, true), CAPTURE_NONE);
    EXPECT_EQ(actions({}, false, false, F(6)), CAPTURE_NONE);
    EXPECT_EQ(actions({F(6), F(9)}, false, true), CAPTURE_NONE);
    EXPECT_EQ(actions({DIGIT(0), F(6)}, true), CAPTURE_NONE);
    EXPECT_EQ(actions({DIGIT(0), F(6)}), CAPTURE_SCREENSHOT);
}

// Each action's message, for a capture that succeeds and for one aimed at a
// folder that takes no files.
TEST(CaptureKeys, ActionsAnswerWithMessages)
{
    std::string dir = carttest::scratch_dir();
    video_clip clip;
    kiln_bitmap screen = frame_of(1);
    record_video_frame(clip, screen, 8);
    record_video_frame(clip, screen, 8);
    auto answer = [&](capture_action a, const std::string& folder) {
        const capture_message* m = run_capture_action(a, clip, screen, settings_in(folder));
        return m ? std::string(m->text) + " " + std::to_string(m->ms) : std::string("none");
    };

    EXPECT_EQ(answer(CAPTURE_SCREENSHOT, dir), "saved screenshot to desktop 1400");
    EXPECT_EQ(answer(CAPTURE_SAVE_GIF, dir), "saved video to desktop 1400");
    EXPECT_EQ(answer(CAPTURE_SCREENSHOT, "/proc/"), "** failed to save screenshot 1900");
    EXPECT_EQ(answer(CAPTURE_SAVE_GIF, "/proc/"), "** failed to save video 1900");
    EXPECT_EQ(clip.video_clip_index, 2);
    EXPECT_EQ(answer(CAPTURE_RESET_VIDEO, dir), "set video starting point 1400");
    EXPECT_EQ(clip.video_clip_index, 0);
    EXPECT_EQ(answer(CAPTURE_NONE, dir), "none");
    EXPECT_TRUE(std::filesystem::exists(dir + "ORBO_000.png"));
    EXPECT_TRUE(std::filesystem::exists(dir + "ORBO_0.gif"));

    int c = 0;
    for (int expected : {15, 7, 15, 7}) EXPECT_EQ(c = capture_message_colour(c), expected);
}
