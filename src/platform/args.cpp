// Platform options of the command line. An option matches when the text
// after "-" begins with its name, so "-sound" and "-sound_volume" both set
// the sound volume. Options this parser does not know (the application's)
// still consume a following value, without effect.
#include <cstdio>
#include <cstring>

#include "platform/config.h"

namespace {
enum class opt_kind { INT, PAIR_X, PAIR_Y, VOLUME_SOUND, VOLUME_MUSIC, HOME, DESKTOP, DRAW_RECT,
                      TIMEOUT, HEADLESS };

struct platform_option {
    const char* name;
    opt_kind kind;
    int kiln_config::*field;
};

// Longer names sharing a prefix with a shorter one come first.
const platform_option options[] = {
    {"width", opt_kind::INT, &kiln_config::window_w},
    {"height", opt_kind::INT, &kiln_config::window_h},
    {"show_fps", opt_kind::INT, &kiln_config::show_fps},
    {"windowed", opt_kind::INT, &kiln_config::windowed},
    {"window_x", opt_kind::PAIR_X, nullptr},
    {"window_y", opt_kind::PAIR_Y, nullptr},
    {"frameless", opt_kind::INT, &kiln_config::frameless},
    {"fullscreen_method", opt_kind::INT, &kiln_config::fullscreen_method},
    {"foreground_sleep_ms", opt_kind::INT, &kiln_config::foreground_sleep_ms},
    {"background_sleep_ms", opt_kind::INT, &kiln_config::background_sleep_ms},
    {"sound_volume", opt_kind::VOLUME_SOUND, nullptr},
    {"sound", opt_kind::VOLUME_SOUND, nullptr},
    {"music_volume", opt_kind::VOLUME_MUSIC, nullptr},
    {"music", opt_kind::VOLUME_MUSIC, nullptr},
    {"mix_buffer_size", opt_kind::INT, &kiln_config::mix_buffer_size},
    {"software_blit", opt_kind::INT, &kiln_config::software_blit},
    {"home", opt_kind::HOME, nullptr},
    {"desktop", opt_kind::DESKTOP, nullptr},
    {"pixel_perfect", opt_kind::INT, &kiln_config::pixel_perfect},
    {"draw_rect", opt_kind::DRAW_RECT, nullptr},
    {"timeout", opt_kind::TIMEOUT, nullptr},
    {"headless", opt_kind::HEADLESS, nullptr},
    {"emulate_textinput", opt_kind::INT, &kiln_config::emulate_textinput},
};

int number(const char* v)
{
    int n = 0;
    if (sscanf(v, "%d", &n) != 1) n = 0;
    return n;
}

void apply(const platform_option& o, const char* v, bool* consumed)
{
    kiln_config& c = cconfig;
    if (o.kind == opt_kind::HEADLESS) {
        c.headless = 1;
        *consumed = false;
        return;
    }
    if (!v) return;  // an option without its value changes nothing
    switch (o.kind) {
    case opt_kind::INT: c.*(o.field) = number(v); break;
    case opt_kind::PAIR_X: c.window_x = number(v); break;
    case opt_kind::PAIR_Y: c.window_y = number(v); break;
    case opt_kind::VOLUME_SOUND: c.sound_volume = number(v); break;
    case opt_kind::VOLUME_MUSIC: c.music_volume = number(v); break;
    case opt_kind::HOME: c.home = std::string(v).substr(0, 1023); break;
    case opt_kind::DESKTOP: c.desktop_path = std::string(v).substr(0, 1023); break;
    case opt_kind::DRAW_RECT: {
        int r[4] = {0, 0, 4096, 4096};
        sscanf(v, "%d,%d,%d,%d", &r[0], &r[1], &r[2], &r[3]);
        memcpy(c.draw_rect, r, sizeof r);
        break;
    }
    case opt_kind::TIMEOUT: {
        int t = number(v);
        c.timeout = t < 1 ? 1 : t > 240 ? 240 : t;
        break;
    }
    case opt_kind::HEADLESS: break;
    }
}
}  // namespace

void kiln_process_arguments(int argc, char** argv)
{
    kiln_walk_arguments(
        argc, argv,
        [](const char* name, const char* value, bool* consumed) {
            for (const platform_option& o : options) {
                if (strncmp(name, o.name, strlen(o.name)) == 0) {
                    apply(o, value, consumed);
                    return;
                }
            }
        },
        [](const char*) {});
}
