// The capture keys: which keys start which capture, and the messages.
#include <cstring>
#include <filesystem>

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

}  // namespace

TEST(CaptureKeys, KeysChooseActions)
{
    struct {
        std::vector<int> pressed;
        bool ctrl, alt;
        unsigned want;
    } cases[] = {
        {{F(6)}, false, false, CAPTURE_SCREENSHOT},
        {{DIGIT(6)}, true, false, CAPTURE_SCREENSHOT},
        {{DIGIT(8)}, true, false, CAPTURE_RESET_VIDEO},
        {{DIGIT(9)}, true, false, CAPTURE_SAVE_GIF},
        {{F(6), F(9)}, false, false, CAPTURE_SCREENSHOT | CAPTURE_SAVE_GIF},
        {{DIGIT(6), DIGIT(9)}, false, false, CAPTURE_NONE},  // digits without Ctrl
        {{F(7), F(2), F(10), F(5), DIGIT(7)}, true, false, CAPTURE_NONE},
        {{F(6), F(9)}, false, true, CAPTURE_NONE},  // anything under Alt
        {{DIGIT(0), F(6)}, true, false, CAPTURE_NONE},
    };
    for (auto& c : cases) {
        memset(g_keys, 0, sizeof g_keys);
        for (int k : c.pressed) g_keys[k] = 3;  // pressed in this update
        g_ctrl = c.ctrl;
        g_alt = c.alt;
        EXPECT_EQ(capture_key_actions(fake_key_state), c.want) << c.pressed[0] << (c.ctrl ? " ctrl" : "");
    }
    memset(g_keys, 0, sizeof g_keys);
    g_keys[F(6)] = 1;  // only held
    g_ctrl = g_alt = false;
    EXPECT_EQ(capture_key_actions(fake_key_state), CAPTURE_NONE);
}

// Each action's message, for a capture that succeeds and for one aimed at a
// folder that exists but takes no files: no crash, nothing left behind.
TEST(CaptureKeys, ActionsAnswerWithMessages)
{
    std::string dir = carttest::scratch_dir();
    video_clip clip;
    kiln_bitmap screen = frame_of(1);
    record_video_frame(clip, screen, 8);
    auto answer = [&](capture_action a, const std::string& folder) {
        const capture_message* m = run_capture_action(a, clip, screen, settings_in(folder));
        return std::string(m->text) + " " + std::to_string(m->ms);
    };
    EXPECT_EQ(answer(CAPTURE_SCREENSHOT, dir), "saved screenshot to desktop 1400");
    EXPECT_EQ(answer(CAPTURE_SAVE_GIF, dir), "saved video to desktop 1400");
    EXPECT_EQ(answer(CAPTURE_SCREENSHOT, "/proc/"), "** failed to save screenshot 1900");
    EXPECT_EQ(answer(CAPTURE_SAVE_GIF, "/proc/"), "** failed to save video 1900");
    EXPECT_FALSE(std::filesystem::exists("/proc/ORBO_0.gif"));
    EXPECT_FALSE(std::filesystem::exists("/proc/ORBO_000.png"));
    EXPECT_EQ(answer(CAPTURE_RESET_VIDEO, dir), "set video starting point 1400");
    EXPECT_EQ(clip.video_clip_index, 0);
}
