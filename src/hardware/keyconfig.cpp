// The key configuration screen, drawn on the console screen.
#include "hardware/keyconfig.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "hardware/buttons.h"
#include "hardware/machine.h"
#include "platform/font.h"
#include "platform/keys.h"
#include "platform/pod.h"

namespace {
struct keyconfig_state {
    int index = 0;
    bool ready = false;
    int backup[ORBO_CUSTOM_KEYS] = {};
    const kiln_pod* icons = nullptr;
};
keyconfig_state g_kc;

constexpr int k_escape = 27;
constexpr int k_key_name_cap = 255;
constexpr int k_row_y = 44, k_row_step = 6;

const char* const k_button_names[ORBO_CUSTOM_KEYS] = {
    "p1 left    ", "p1 right   ", "p1 up      ", "p1 down    ", "p1 button o", "p1 button x",
    "p2 left    ", "p2 right   ", "p2 up      ", "p2 down    ", "p2 button o", "p2 button x",
    "pause      ",
};
// The pad button each binding drives (its icon).
constexpr int k_binding_button[ORBO_CUSTOM_KEYS] = {0, 1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5, 6};

int* keys() { return orbo_button_config.keys; }

void fill(kiln_bitmap* s, int x0, int y0, int x1, int y1, int col)
{
    for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < s->h; y++)
        for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < s->w; x++) s->row(y)[x] = uint8_t(col);
}

void text(kiln_bitmap* s, const char* t, int x, int y, int col)
{
    if (const kiln_font* f = orbo_console_font()) kiln_draw_text_ex(s, t, f, x, y, KILN_TEXT_VALUE, col);
}

void draw_icon(kiln_bitmap* s, int button)
{
    const kiln_bitmap* icon = g_kc.icons ? kiln_pod_bitmap(g_kc.icons, ORBO_KEYCONFIG_ICON + button) : nullptr;
    if (!icon || icon->depth != 8) return;
    for (int y = 0; y < icon->h && 8 + y < s->h; y++)
        for (int x = 0; x < icon->w && 6 + x < s->w; x++)
            if (uint8_t p = icon->row(y)[x]) s->row(8 + y)[6 + x] = p;
}

// "name : key" in lower case; an unbound slot shows its default key.
std::string row_text(int i)
{
    int k = keys() ? keys()[i] : 0;
    std::string key = k ? kiln_get_key_name(k > k_key_name_cap ? k_key_name_cap : k) : orbo_default_key_name(i);
    std::string line = std::string(k_button_names[i]) + " : " + key;
    for (char& c : line) c = char(tolower((unsigned char)c));
    return line;
}

void close_screen_keys() { kiln_clear_keys(); }
}  // namespace

void orbo_keyconfig_set_icons(const kiln_pod* resources) { g_kc.icons = resources; }

bool keyconfig_init()
{
    if (!keys()) return false;
    g_kc.index = 0;
    g_kc.ready = false;
    memcpy(g_kc.backup, keys(), sizeof g_kc.backup);
    return true;
}

int keyconfig_index() { return g_kc.index; }

bool keyconfig_keypress(int key)
{
    if (g_kc.index < ORBO_CUSTOM_KEYS) {
        if (key != k_escape) return true;
        if (keys()) memcpy(keys(), g_kc.backup, sizeof g_kc.backup);
        return false;
    }
    if (orbo_machine* c = orbo_live_machine()) c->cursor_y = 120;
    return false;
}

bool keyconfig_update()
{
    while (kiln_keypressed())
        if (!keyconfig_keypress(kiln_readkey())) {
            close_screen_keys();
            return false;
        }
    if (!keys()) return false;
    if (!g_kc.ready) {
        g_kc.ready = g_kc.index < ORBO_CUSTOM_KEYS && kiln_get_any_key_down() == 0;
        return true;
    }
    for (int sc = 0; sc < KILN_KEYS && g_kc.index < ORBO_CUSTOM_KEYS; sc++) {
        if (kiln_get_key_state(sc) == 0) continue;
        keys()[g_kc.index++] = (sc == KILN_SC_BACKSPACE || sc == 76 /* DELETE */) ? 0 : sc;
        g_kc.ready = false;
    }
    if (g_kc.index >= ORBO_CUSTOM_KEYS) kiln_clear_keys();
    return true;
}

void keyconfig_draw()
{
    orbo_machine* c = orbo_live_machine();
    if (!c || !c->screen) return;
    kiln_bitmap* s = c->screen.get();
    orbo_reset_clip(s);
    fill(s, 0, 0, 127, 127, 1);
    fill(s, 4, 41, 123, 124, 6);
    fill(s, 0, 0, 127, 6, 7);
    text(s, "player key config", 6, 1, 12);
    int current = g_kc.index < ORBO_CUSTOM_KEYS ? g_kc.index : ORBO_CUSTOM_KEYS - 1;
    draw_icon(s, k_binding_button[current]);
    if (g_kc.index < ORBO_CUSTOM_KEYS) {
        text(s, "press key for:", 60, 12, 6);
        text(s, k_button_names[g_kc.index], 60, 19, 7);
        text(s, "del to reset", 60, 26, 13);
        text(s, "esc to cancel", 60, 33, 13);
    } else {
        text(s, "saved config.", 60, 12, 11);
        text(s, "any key to quit", 60, 22, 12);
    }
    for (int i = 0; i < ORBO_CUSTOM_KEYS; i++) {
        int y = k_row_y + i * k_row_step;
        bool here = i == g_kc.index;
        if (here) fill(s, 7, y - 1, 120, y + 5, 14);
        text(s, row_text(i).c_str(), 10, y, here ? 1 : 5);
    }
}
