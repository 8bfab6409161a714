// Controller mappings, discovery and input validation.
#include "platform/joystick.h"

#include <cstdio>
#include <sstream>

#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/log.h"
#include "platform/paths.h"

namespace {
struct joy_validation {
    uint32_t released_seen = 0;  // bit i: button i has been seen up
    bool axis_centred[kiln_joy_raw::AXES] = {};
    bool axis_logged[kiln_joy_raw::AXES] = {};
    uint32_t button_logged = 0;
    bool absent_logged = false;
};
joy_validation g_joy[KILN_MAX_JOYSTICKS];
uint32_t g_slots = 0;  // bit i: slot i holds a device

void log_lines(const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) kiln_debug("%s\n", line.c_str());
}

std::string read_text(const std::string& path, bool* found)
{
    FILE* f = fopen(path.c_str(), "rb");
    *found = f != nullptr;
    if (!f) return "";
    std::string s;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    fclose(f);
    return s;
}

void read_mapping_file(const std::string& path, bool create_missing)
{
    kiln_debug("Reading controller mappings: %s\n", path.c_str());
    bool found;
    std::string text = read_text(path, &found);
    if (!found) {
        if (create_missing) {
            if (FILE* f = fopen(path.c_str(), "wb")) {
                fputs("// add SDL2 game controller mappings to this file\n", f);
                fclose(f);
            }
        }
        return;
    }
    kiln_add_controller_mappings(text);
}
}  // namespace

void kiln_add_controller_mappings(const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::string m = kiln_trim(line);
        if (m.empty() || m[0] == '/') continue;
        int r = kiln_host_get()->add_mapping(m.c_str());
        if (r == 1) kiln_debug(" added controller mapping: %s\n", m.c_str());
        else if (r == 0) kiln_debug(" updated controller mapping: %s\n", m.c_str());
        else kiln_debug(" failed to add controller mapping: %s\n", m.c_str());
    }
}

void kiln_joystick_reset_validation()
{
    for (auto& j : g_joy) j = joy_validation{};
}

void kiln_joystick_init()
{
    kiln_joystick_reset_validation();
    kiln_host* h = kiln_host_get();
    h->add_builtin_mappings();
    read_mapping_file(kiln_prefix_with_exe_path("sdl_controllers.txt"), false);
    read_mapping_file(kiln_prefix_with_appdata_path("sdl_controllers.txt"), true);
    kiln_debug(">searching for joysticks\n");
    int n = h->joystick_count();
    kiln_debug("found %d joysticks\n", n);
    int count = n > KILN_MAX_JOYSTICKS ? KILN_MAX_JOYSTICKS : n;
    g_slots = (1u << count) - 1;
    for (int i = 0; i < count; i++) log_lines(h->open_joystick(i));
    kiln_debug("<ok\n");
}

void kiln_joystick_sync()
{
    uint32_t changed = 0;
    std::string log;
    g_slots = kiln_host_get()->sync_joysticks(&changed, &log) & ((1u << KILN_MAX_JOYSTICKS) - 1);
    log_lines(log);
    // A device new in its slot is validated afresh: its buttons and axes
    // count only once seen released and centred.
    for (int i = 0; i < KILN_MAX_JOYSTICKS; i++)
        if ((changed >> i) & 1) g_joy[i] = joy_validation{};
}

void kiln_joystick_exit()
{
    kiln_host_get()->close_joysticks();
    g_slots = 0;
}

int kiln_count_joysticks()
{
    int n = 0;
    for (int i = 0; i < KILN_MAX_JOYSTICKS; i++)
        if ((g_slots >> i) & 1) n = i + 1;
    return n;
}

int kiln_count_joystick_buttons(int i) { return i >= 0 && i < KILN_MAX_JOYSTICKS && ((g_slots >> i) & 1) ? 15 : 0; }

namespace {
// The device's raw state, or nothing (logged once) when it cannot be read.
bool read_device(int i, kiln_joy_raw* raw)
{
    if (i < 0 || i >= KILN_MAX_JOYSTICKS) return false;
    joy_validation& v = g_joy[i];
    if (!((g_slots >> i) & 1) || !kiln_host_get()->read_joystick(i, raw) || !raw->attached) {
        if (!v.absent_logged) kiln_debug("** could not read joystick %d (not attached)\n", i);
        v.absent_logged = true;
        return false;
    }
    return true;
}

// An axis reads 0 until it has once been seen near centre.
int validated_axis(int i, const kiln_joy_raw& raw, int a, bool is_y)
{
    if (a < 0 || a >= kiln_joy_raw::AXES) return 0;
    joy_validation& v = g_joy[i];
    int value = raw.axes[a];
    if (value > -16384 && value < 16384) v.axis_centred[a] = true;
    if (v.axis_centred[a]) return value;
    if (!v.axis_logged[a]) {
        kiln_debug(is_y ? "** y axis %d not validated on joystick %d\n"
                        : "** x axis %d not validated on joystick %d\n",
                   a, i);
        v.axis_logged[a] = true;
    }
    return 0;
}
}  // namespace

void kiln_get_joystick_axes(int i, int ax, int ay, int* x, int* y)
{
    *x = *y = 0;
    kiln_joy_raw raw;
    if (!read_device(i, &raw)) return;
    *x = validated_axis(i, raw, ax, false);
    *y = validated_axis(i, raw, ay, true);
}

void kiln_get_joystick(int i, int* x, int* y, int* buttons)
{
    *x = *y = *buttons = 0;
    kiln_joy_raw raw;
    if (!read_device(i, &raw)) return;
    joy_validation& v = g_joy[i];
    *x = validated_axis(i, raw, 0, false);
    *y = validated_axis(i, raw, 1, true);
    uint32_t b = raw.buttons & 0x7fff;
    v.released_seen |= ~b & 0x7fff;
    uint32_t held_unvalidated = b & ~v.released_seen & ~v.button_logged;
    for (int k = 0; k < 15; k++) {
        if ((held_unvalidated >> k) & 1) {
            if (raw.is_controller) kiln_debug("** button %d not validated on joystick %d\n", k, i);
            v.button_logged |= 1u << k;
        }
    }
    *buttons = int(b & v.released_seen);
}
