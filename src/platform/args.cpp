// Platform options of the command line. An option matches when the text
// after "-" begins with its name, so "-sound" and "-sound_volume" both set
// the sound volume. Options this parser does not know (the application's)
// still consume a following value, without effect.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/config.h"

namespace {
enum class opt_kind { INT, PAIR_X, PAIR_Y, VOLUME_SOUND, VOLUME_MUSIC, HOME, DESKTOP, DRAW_RECT,
                      TIMEOUT, HEADLESS };

struct platform_option {
    const char* name;
    opt_kind kind;
    int kiln_config::*field;
    const char* value;  // the value's form in the usage ("" when it takes none)
    const char* help;   // one line of the usage
};

// Longer names sharing a prefix with a shorter one come first.
const platform_option options[] = {
    {"width", opt_kind::INT, &kiln_config::window_w, "N", "window width"},
    {"height", opt_kind::INT, &kiln_config::window_h, "N", "window height"},
    {"show_fps", opt_kind::INT, &kiln_config::show_fps, "0|1", "draw the frames-per-second counter"},
    {"windowed", opt_kind::INT, &kiln_config::windowed, "0|1", "1 windowed, 0 fullscreen"},
    {"window_x", opt_kind::PAIR_X, nullptr, "N", "window position x (-1: the window manager decides)"},
    {"window_y", opt_kind::PAIR_Y, nullptr, "N", "window position y"},
    {"frameless", opt_kind::INT, &kiln_config::frameless, "0|1", "a window without frame"},
    {"fullscreen_method", opt_kind::INT, &kiln_config::fullscreen_method, "0|1|2", "0 maximised window, 1 borderless desktop-sized, 2 fullscreen"},
    {"foreground_sleep_ms", opt_kind::INT, &kiln_config::foreground_sleep_ms, "MS", "sleep each pass while focused"},
    {"background_sleep_ms", opt_kind::INT, &kiln_config::background_sleep_ms, "MS", "sleep each pass while in the background"},
    {"sound_volume", opt_kind::VOLUME_SOUND, nullptr, "0..256", "sound effect volume"},
    {"sound", opt_kind::VOLUME_SOUND, nullptr, "0..256", "the same as -sound_volume"},
    {"music_volume", opt_kind::VOLUME_MUSIC, nullptr, "0..256", "music volume"},
    {"music", opt_kind::VOLUME_MUSIC, nullptr, "0..256", "the same as -music_volume"},
    {"mix_buffer_size", opt_kind::INT, &kiln_config::mix_buffer_size, "N", "audio mix buffer in samples"},
    {"software_blit", opt_kind::INT, &kiln_config::software_blit, "0|1", "draw without the renderer"},
    {"home", opt_kind::HOME, nullptr, "DIR", "root folder of settings, carts and data (default ~/.hearthware/orbo)"},
    {"desktop", opt_kind::DESKTOP, nullptr, "DIR", "folder for screenshots and GIFs (default ~/Desktop)"},
    {"pixel_perfect", opt_kind::INT, &kiln_config::pixel_perfect, "0|1", "integer scaling only"},
    {"draw_rect", opt_kind::DRAW_RECT, nullptr, "X,Y,W,H", "fixed place of the screen in the window"},
    {"timeout", opt_kind::TIMEOUT, nullptr, "S", "download time-out, 1..240 seconds"},
    {"headless", opt_kind::HEADLESS, nullptr, "", "run without a window"},
    {"emulate_textinput", opt_kind::INT, &kiln_config::emulate_textinput, "0|1", "type with a US layout from key states"},
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

void kiln_print_option_usage(FILE* f)
{
    for (const platform_option& o : options) {
        std::string left = std::string("-") + o.name + (*o.value ? std::string(" ") + o.value : "");
        fprintf(f, "  %-26s %s\n", left.c_str(), o.help);
    }
}
