#include "app/capture.h"

#include "app/message_bar.h"
#include "app/state.h"
#include "capture/capture_keys.h"
#include "capture/screenshot.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/keys.h"

namespace {
video_clip g_clip;  // lives for the process: its storage is taken once

capture_settings settings()
{
    capture_settings s;
    s.desktop_path = cconfig.desktop_path;
    s.base_name = get_output_file_name_base(kiln_state.window_title);
    s.screenshot_scale = app.screenshot_scale;
    s.gif_scale = app.gif_scale;
    return s;
}
}  // namespace

void orbo_record_video_frame()
{
    if (app.video_capture) record_video_frame(g_clip, *app.video_capture, app.gif_len);
}

void orbo_capture_keys()
{
    if (!app.video_capture) return;
    unsigned actions = capture_key_actions(kiln_get_key_state);
    if (!actions) return;
    const capture_settings s = settings();
    for (capture_action a : CAPTURE_ACTIONS) {
        if (!(actions & a)) continue;
        if (const capture_message* m = run_capture_action(a, g_clip, *app.video_capture, s))
            orbo_show_standard_message(m->text, m->ms);
    }
}

void orbo_glitch_screenshot()
{
    if (app.video_capture) save_png_screenshot(*app.video_capture, settings());
}
