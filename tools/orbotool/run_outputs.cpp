#include "run_outputs.h"

#include <lodepng.h>

#include <cstdint>
#include <vector>

#include "app/shell.h"
#include "app/state.h"
#include "audio/audio.h"
#include "capture/gif_writer.h"
#include "platform/video.h"

namespace {
constexpr int k_samples_per_frame = 735;  // 22,050 Hz at 30 console frames a second

bool g_frames_on = false, g_sound_on = false;
std::vector<std::vector<uint8_t>> g_frames;  // one 128x128 capture copy per pass
std::vector<int16_t> g_sound;

// Music fades count console frames, so the sound does not depend on the host.
int frame_clock() { return int(orbo_shell.frames_run * 1000 / 30); }

void after_pass()
{
    if (g_frames_on && app.video_capture && app.video_capture->w == 128 && app.video_capture->h == 128)
        g_frames.push_back(app.video_capture->pixels);
    if (g_sound_on) {
        size_t at = g_sound.size();
        g_sound.resize(at + k_samples_per_frame);
        orbo_audio_render(g_sound.data() + at, k_samples_per_frame);
    }
}
}  // namespace

void run_outputs_start(bool frames, bool sound)
{
    g_frames_on = frames;
    g_sound_on = sound;
    if (sound) orbo_audio_set_clock(frame_clock);
    if (frames || sound) orbo_shell.after_pass = after_pass;
}

bool write_gif(const char* path)
{
    std::vector<const uint8_t*> frames;
    for (const std::vector<uint8_t>& f : g_frames) frames.push_back(f.data());
    return orbo_write_gif(path, frames, &kiln_display_palette, app.gif_scale) == ORBO_GIF_OK;
}

// The last frame as shown, pause menu included (the message bar is not:
// it depends on the host clock).
bool write_screenshot(const char* path)
{
    const kiln_bitmap* shown = app.video_capture && app.video_capture->w == 128 ? app.video_capture.get() : nullptr;
    if (!shown) shown = shell.display.get();
    if (!shown) return false;
    const kiln_bitmap& d = *shown;
    std::vector<unsigned char> rgba(size_t(d.w) * d.h * 4);
    for (int i = 0; i < d.w * d.h; i++) {
        const uint8_t* p = kiln_display_palette.rgb + d.pixels[size_t(i)] * 3;
        rgba[size_t(i) * 4 + 0] = p[0];
        rgba[size_t(i) * 4 + 1] = p[1];
        rgba[size_t(i) * 4 + 2] = p[2];
        rgba[size_t(i) * 4 + 3] = 255;
    }
    return lodepng_encode32_file(path, rgba.data(), unsigned(d.w), unsigned(d.h)) == 0;
}

bool write_wav(const char* path) { return orbo_write_wav(path, g_sound); }
