// Application settings keys and command-line options.
#include "app/settings.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/state.h"
#include "runtime/pstate.h"
#include "platform/config.h"
#include "platform/log.h"

namespace {
bool starts_with(const char* s, const char* key) { return strncmp(s, key, strlen(key)) == 0; }

// A path value is cut after its last "/" or "\"; without either only its
// first character stays.
std::string path_value(const char* line, size_t from)
{
    std::string v = strlen(line) > from ? std::string(line + from) : std::string();
    if (v.size() > 1023) v.resize(1023);
    size_t cut = v.find_last_of("/\\");
    if (cut == std::string::npos) return v.substr(0, v.empty() ? 0 : 1);
    return v.substr(0, cut + 1);
}

// The application's keys of config.txt, in the order they are written:
// each with the comment written before it and the text after its value.
// Reading matches a line that starts with a key (no key is a prefix of
// another); gif_scale is written but never read back.
enum class key_kind { PATH, INT, KEYS };
struct app_key {
    const char* key;
    key_kind kind;
    std::string orbo_app::*path;
    int orbo_app::*number;
    const char* comment;
    const char* end;
    bool read;
};
constexpr app_key k_app_keys[] = {
    {"root_path", key_kind::PATH, &orbo_app::root_path, nullptr, "\n// Location of orbo's root folder\n", "\n\n", true},
    {"cdata_path", key_kind::PATH, &orbo_app::cdata_path, nullptr, "\n// Location of cartridge save data\n", "\n\n", true},
    {"joystick_index", key_kind::INT, nullptr, &orbo_app::joystick_index,
     "\n// Specify which player index joystick control begins at (0..7)\n", "\n\n", true},
    {"button_keys", key_kind::KEYS, nullptr, nullptr,
     "\n// Custom keyboard scancodes for buttons. player0 0..6, player1 0..5\n", "\n\n", true},
    {"live_notes", key_kind::INT, nullptr, &orbo_app::live_notes, "// Play notes as they are plotted in frequency mode\n",
     "\n\n", true},
    {"cursor_snap", key_kind::INT, nullptr, &orbo_app::cursor_snap,
     "// iff 1: when using keyboard cursor, snap to closest pixel / map cel\n", "\n\n", true},
    {"gif_len", key_kind::INT, nullptr, &orbo_app::gif_len, "// maximum length of gif in seconds (1..120, default 8)\n",
     "\n\n", true},
    {"gui_theme", key_kind::INT, nullptr, &orbo_app::gui_theme, "// 0 classic  1 dark blue background in code editor\n",
     "\n\n", true},
    {"screenshot_scale", key_kind::INT, nullptr, &orbo_app::screenshot_scale,
     "// scale of screenshots and gifs // 2 means 256x256\n", "\n", true},
    {"gif_scale", key_kind::INT, nullptr, &orbo_app::gif_scale, "", "\n\n", false},
    {"shift_glyphs", key_kind::INT, nullptr, &orbo_app::shift_glyphs, "// when 1 can enter glyphs using shift-A..Z\n",
     "\n\n", true},
    {"show_backup_messages", key_kind::INT, nullptr, &orbo_app::show_backup_messages,
     "// 0 for off. 1 to notify whenever unsaved changes are backed up\n", "\n\n", true},
    {"host_framerate_control", key_kind::INT, nullptr, &orbo_app::host_framerate_control,
     "// 0 for off. 1 to allow control of a cart's framerate due to host machine's cpu capacity (recommended)\n",
     "\n\n", true},
};

// Application options: the whole name must match.
enum class opt { RUN, EXEC, PARAM, JOYSTICK, GIF_LEN, GUI_THEME, SCREENSHOT_SCALE, GIF_SCALE,
                 GPIO_BASE, GLITCH_TEST, SEED, RECORD };
struct app_option {
    const char* name;
    opt kind;
    const char* value;  // the value's form in the usage ("" when it takes none)
    const char* help;   // one line of the usage
};
const app_option app_options[] = {
    {"run", opt::RUN, "", "run the cartridge named on the command line after the boot"},
    {"x", opt::EXEC, "", "run CART without a window; console lines on standard output"},
    {"exec", opt::EXEC, "", "the same as -x"},
    {"p", opt::PARAM, "TEXT", "the run parameter the program reads with stat(6)"},
    {"joystick", opt::JOYSTICK, "N", "the player that the first game controller drives (0..7)"},
    {"gif_len", opt::GIF_LEN, "S", "seconds of play a GIF holds (1..120, default 8)"},
    {"gui_theme", opt::GUI_THEME, "N", "0 classic, 1 dark"},
    {"screenshot_scale", opt::SCREENSHOT_SCALE, "N", "pixel scale of screenshots (default 3)"},
    {"gif_scale", opt::GIF_SCALE, "N", "pixel scale of GIFs (default 2)"},
    {"gpio_base", opt::GPIO_BASE, "N", "base address of the GPIO area (default -1, none)"},
    {"glitch_test", opt::GLITCH_TEST, "N", "reset the cartridge over and over, saving screenshots"},
    {"seed", opt::SEED, "N", "seed the console's random numbers with N at every run"},
    {"record", opt::RECORD, "FILE", "write the buttons held in each frame of play to FILE"},
};

int number(const char* v)
{
    int n = 0;
    if (!v || sscanf(v, "%d", &n) != 1) n = 0;
    return n;
}

void apply(opt kind, const char* v, bool* consumed)
{
    switch (kind) {
    case opt::RUN:
        app.run_requested = true;
        *consumed = false;
        return;
    case opt::EXEC:
        pstate.exec_mode = 1;
        app.run_requested = true;
        cconfig.headless = 1;
        *consumed = false;
        return;
    default: break;
    }
    if (!v) return;
    switch (kind) {
    case opt::PARAM: app.run_parameter = std::string(v).substr(0, 1024); break;
    case opt::JOYSTICK: app.joystick_index = number(v); break;
    case opt::GIF_LEN: app.gif_len = number(v); break;
    case opt::GUI_THEME: app.gui_theme = number(v); break;
    case opt::SCREENSHOT_SCALE: app.screenshot_scale = number(v); break;
    case opt::GIF_SCALE: app.gif_scale = number(v); break;
    case opt::GPIO_BASE: app.gpio_base = number(v); break;
    case opt::GLITCH_TEST: app.glitch_test = number(v); break;
    case opt::SEED: pstate.run_seed = int64_t(strtoul(v, nullptr, 10)); break;
    case opt::RECORD: app.record_path = v; break;
    default: break;
    }
}
}  // namespace

void set_default_app_config()
{
    app.keyboard_cursor = 0;
    app.gif_len = 8;
    app.screenshot_scale = 3;
    app.gif_scale = 2;
    app.gpio_base = -1;
    app.shift_glyphs = 1;
    app.show_backup_messages = 1;
    app.host_framerate_control = 1;
}

void orbo_load_config(const char* line)
{
    for (const app_key& k : k_app_keys) {
        if (!k.read || !starts_with(line, k.key)) continue;
        const char* rest = line + strlen(k.key);
        switch (k.kind) {
        case key_kind::PATH: app.*(k.path) = path_value(line, strlen(k.key) + 1); break;
        case key_kind::INT: {
            int v;
            if (sscanf(rest, "%d", &v) == 1) app.*(k.number) = v;
            break;
        }
        case key_kind::KEYS: {
            int* b = app.button_keys;
            int v[ORBO_BUTTON_KEYS];
            int n = sscanf(rest, " %d %d %d %d %d %d %d %d %d %d %d %d %d", &v[0], &v[1], &v[2], &v[3], &v[4],
                           &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &v[12]);
            for (int i = 0; i < n; i++) b[i] = v[i];
            break;
        }
        }
        return;
    }
}

void orbo_save_config(FILE* f)
{
    fprintf(f, "version %s\n\n", "0.1.11f");
    for (const app_key& k : k_app_keys) {
        fputs(k.comment, f);
        fprintf(f, "%s ", k.key);
        switch (k.kind) {
        case key_kind::PATH: fputs((app.*(k.path)).c_str(), f); break;
        case key_kind::INT: fprintf(f, "%d", app.*(k.number)); break;
        case key_kind::KEYS:
            for (int v : app.button_keys) fprintf(f, "%d ", v);
            break;
        }
        fputs(k.end, f);
    }
}

void orbo_print_app_option_usage(FILE* f)
{
    for (const app_option& o : app_options) {
        std::string left = std::string("-") + o.name + (*o.value ? std::string(" ") + o.value : "");
        fprintf(f, "  %-26s %s\n", left.c_str(), o.help);
    }
}

void process_arguments(int argc, char** argv)
{
    kiln_walk_arguments(
        argc, argv,
        [](const char* name, const char* value, bool* consumed) {
            for (const app_option& o : app_options) {
                if (strcmp(name, o.name) == 0) {
                    apply(o.kind, value, consumed);
                    return;
                }
            }
        },
        [](const char* positional) {
            app.auto_load_fn = positional;
            kiln_debug("set app.auto_load_fn %s\n", positional);
        });
}
