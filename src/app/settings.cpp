// Application settings keys and command-line options.
#include "app/settings.h"

#include <cstring>
#include <string>

#include "app/state.h"
#include "runtime/pstate.h"
#include "platform/config.h"
#include "platform/log.h"

namespace {
bool starts_with(const char* s, const char* key) { return strncmp(s, key, strlen(key)) == 0; }

// The integer keys read with "%d" after the key, in matching order. Longer
// keys that share a prefix with a shorter one come first.
struct int_key {
    const char* key;
    int orbo_app::*field;
};
const int_key int_keys[] = {
    {"joystick_index", &orbo_app::joystick_index},
    {"live_notes", &orbo_app::live_notes},
    {"cursor_snap", &orbo_app::cursor_snap},
    {"gif_len", &orbo_app::gif_len},
    {"gui_theme", &orbo_app::gui_theme},
    {"screenshot_scale", &orbo_app::screenshot_scale},
    {"shift_glyphs", &orbo_app::shift_glyphs},
    {"show_backup_messages", &orbo_app::show_backup_messages},
    {"host_framerate_control", &orbo_app::host_framerate_control},
};

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

// Application options: the whole name must match.
enum class opt { RUN, EXEC, PARAM, JOYSTICK, GIF_LEN, GUI_THEME, SCREENSHOT_SCALE, GIF_SCALE,
                 GPIO_BASE, GLITCH_TEST };
struct app_option {
    const char* name;
    opt kind;
};
const app_option app_options[] = {
    {"run", opt::RUN},           {"x", opt::EXEC},
    {"exec", opt::EXEC},         {"p", opt::PARAM},
    {"joystick", opt::JOYSTICK}, {"gif_len", opt::GIF_LEN},
    {"gui_theme", opt::GUI_THEME}, {"screenshot_scale", opt::SCREENSHOT_SCALE},
    {"gif_scale", opt::GIF_SCALE}, {"gpio_base", opt::GPIO_BASE},
    {"glitch_test", opt::GLITCH_TEST},
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
    if (starts_with(line, "root_path")) {
        app.root_path = path_value(line, 10);
        return;
    }
    if (starts_with(line, "cdata_path")) {
        app.cdata_path = path_value(line, 11);
        return;
    }
    if (starts_with(line, "button_keys")) {
        int k[ORBO_BUTTON_KEYS];
        int n = sscanf(line + 11, " %d %d %d %d %d %d %d %d %d %d %d %d %d", &k[0], &k[1], &k[2],
                       &k[3], &k[4], &k[5], &k[6], &k[7], &k[8], &k[9], &k[10], &k[11], &k[12]);
        for (int i = 0; i < n; i++) app.button_keys[i] = k[i];
        return;
    }
    for (const int_key& ik : int_keys) {
        if (starts_with(line, ik.key)) {
            int v;
            if (sscanf(line + strlen(ik.key), "%d", &v) == 1) app.*(ik.field) = v;
            return;
        }
    }
}

void orbo_save_config(FILE* f)
{
    fprintf(f, "version %s\n\n", "0.1.11f");
    fprintf(f, "\n// Location of orbo's root folder\n");
    fprintf(f, "root_path %s\n\n", app.root_path.c_str());
    fprintf(f, "\n// Location of cartridge save data\n");
    fprintf(f, "cdata_path %s\n\n", app.cdata_path.c_str());
    fprintf(f, "\n// Specify which player index joystick control begins at (0..7)\n");
    fprintf(f, "joystick_index %d\n\n", app.joystick_index);
    fprintf(f, "\n// Custom keyboard scancodes for buttons. player0 0..6, player1 0..5\n");
    fprintf(f, "button_keys ");
    for (int k : app.button_keys) fprintf(f, "%d ", k);
    fprintf(f, "\n\n");
    fprintf(f, "// Play notes as they are plotted in frequency mode\n");
    fprintf(f, "live_notes %d\n\n", app.live_notes);
    fprintf(f, "// iff 1: when using keyboard cursor, snap to closest pixel / map cel\n");
    fprintf(f, "cursor_snap %d\n\n", app.cursor_snap);
    fprintf(f, "// maximum length of gif in seconds (1..120, default 8)\n");
    fprintf(f, "gif_len %d\n\n", app.gif_len);
    fprintf(f, "// 0 classic  1 dark blue background in code editor\n");
    fprintf(f, "gui_theme %d\n\n", app.gui_theme);
    fprintf(f, "// scale of screenshots and gifs // 2 means 256x256\n");
    fprintf(f, "screenshot_scale %d\n", app.screenshot_scale);
    fprintf(f, "gif_scale %d\n\n", app.gif_scale);
    fprintf(f, "// when 1 can enter glyphs using shift-A..Z\n");
    fprintf(f, "shift_glyphs %d\n\n", app.shift_glyphs);
    fprintf(f, "// 0 for off. 1 to notify whenever unsaved changes are backed up\n");
    fprintf(f, "show_backup_messages %d\n\n", app.show_backup_messages);
    fprintf(f,
            "// 0 for off. 1 to allow control of a cart's framerate due to host machine's cpu "
            "capacity (recommended)\n");
    fprintf(f, "host_framerate_control %d\n\n", app.host_framerate_control);
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
