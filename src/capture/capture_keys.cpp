#include "capture/capture_keys.h"

#include <iterator>

#include "capture/gif_writer.h"
#include "capture/screenshot.h"
#include "platform/host.h"

namespace {

constexpr int KEY_PRESSED = 3;
constexpr int KEY_GROUP_CTRL = -5, KEY_GROUP_ALT = -4;

constexpr int function_key(int n) { return 57 + n; }                    // F1 is scancode 58
constexpr int digit_key(int d) { return d == 0 ? KILN_SC_0 : KILN_SC_1 + d - 1; }

struct key_binding {
    capture_action action;
    int key_a, key_b;  // either starts the action
    int ctrl_digit;    // with Ctrl held
};
constexpr key_binding k_bindings[] = {
    {CAPTURE_SCREENSHOT, function_key(6), function_key(1), 6},
    {CAPTURE_RESET_VIDEO, function_key(8), function_key(3), 8},
    {CAPTURE_SAVE_GIF, function_key(9), function_key(4), 9},
};
constexpr int k_cancel_digit = 0;

// Indexed by capture_event.
constexpr capture_message k_messages[] = {
    {CAPTURE_SHOT_SAVED, "saved screenshot to desktop", 1400},
    {CAPTURE_SHOT_FAILED, "** failed to save screenshot", 1900},
    {CAPTURE_VIDEO_RESET, "set video starting point", 1400},
    {CAPTURE_GIF_SAVED, "saved video to desktop", 1400},
    {CAPTURE_GIF_FAILED, "** failed to save video", 1900},
};
static_assert([] {
    for (int i = 0; i < int(std::size(k_messages)); i++)
        if (k_messages[i].event != i) return false;
    return true;
}());

const capture_message* message(capture_event e) { return &k_messages[e]; }

}  // namespace

unsigned capture_key_actions(int (*key_state)(int key))
{
    bool ctrl = key_state(KEY_GROUP_CTRL) != 0;
    auto pressed = [&](int key) { return key_state(key) == KEY_PRESSED; };
    if (key_state(KEY_GROUP_ALT) != 0 || (ctrl && pressed(digit_key(k_cancel_digit)))) return CAPTURE_NONE;
    unsigned actions = CAPTURE_NONE;
    for (const key_binding& b : k_bindings)
        if (pressed(b.key_a) || pressed(b.key_b) || (ctrl && pressed(digit_key(b.ctrl_digit)))) actions |= b.action;
    return actions;
}

const capture_message* run_capture_action(capture_action action, video_clip& clip, const kiln_bitmap& screen,
                                          const capture_settings& settings)
{
    switch (action) {
    case CAPTURE_SCREENSHOT:
        return message(save_png_screenshot(screen, settings) == ORBO_SHOT_OK ? CAPTURE_SHOT_SAVED : CAPTURE_SHOT_FAILED);
    case CAPTURE_RESET_VIDEO:
        reset_video(clip);
        return message(CAPTURE_VIDEO_RESET);
    case CAPTURE_SAVE_GIF:
        return message(save_gif(clip, settings) == ORBO_GIF_OK ? CAPTURE_GIF_SAVED : CAPTURE_GIF_FAILED);
    case CAPTURE_NONE: break;
    }
    return nullptr;
}

int capture_message_colour(int previous) { return previous == 15 ? 7 : 15; }
