// Key state table, key repeat, blocking and the typed-key queue.
#include "platform/keys.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/config.h"
#include "platform/joystick.h"
#include "platform/kiln.h"
#include "platform/log.h"
#include "platform/video.h"

uint8_t kilnkey[KILN_KEYS];

namespace {
uint8_t g_prev[KILN_KEYS];
uint8_t g_blocked[KILN_KEYS];
uint32_t g_repeat_at = 0;
int g_queue[KILN_KEY_QUEUE];
int g_queue_len = 0;
uint32_t g_active_since = 0;
int g_wheel_x = 0, g_wheel_y = 0;
char g_emulated[64];
int g_emulated_len = 0;
std::string g_key_names[KILN_KEY_NAMES];
bool g_warped = false;
bool g_devices_changed = false;  // a controller came or went on this pass
int g_warp_x = 0, g_warp_y = 0, g_warp_host_x = 0, g_warp_host_y = 0;

bool down(int sc) { return sc >= 0 && sc < KILN_KEYS && kilnkey[sc] != 0; }
bool ctrl_held() { return down(KILN_SC_LCTRL) || down(KILN_SC_RCTRL); }
bool alt_held() { return down(KILN_SC_LALT) || down(KILN_SC_RALT); }
bool shift_held() { return down(KILN_SC_LSHIFT) || down(KILN_SC_RSHIFT); }

void push_key(int c)
{
    if (g_queue_len < KILN_KEY_QUEUE) g_queue[g_queue_len++] = c;
}

int single_state(int k)
{
    if (k < 0 || k >= KILN_KEYS || kilnkey[k] == 0 || g_blocked[k]) return 0;
    if (kilnkey[k] == 3 || g_prev[k] == 0) return 3;
    return 1;
}

// US layout for emulated text input: scancodes 45..56 without and with Shift.
const char us_plain[] = "-=[]\\#;'`,./";
const char us_shift[] = "_+{}|~:\"~<>?";
const char us_digits_shift[] = "!@#$%^&*()";

int emulate_us(int sc)
{
    bool shift = shift_held();
    if (sc >= KILN_SC_A && sc <= KILN_SC_Z) return 'a' + (sc - KILN_SC_A);
    if (sc == KILN_SC_SPACE) return ' ';
    if (sc >= KILN_SC_1 && sc <= KILN_SC_0) {
        int i = sc - KILN_SC_1;  // 0..9 for the keys 1..9, 0
        return shift ? us_digits_shift[i] : (i == 9 ? '0' : '1' + i);
    }
    if (sc >= 45 && sc <= 56 && sc != 50) return shift ? us_shift[sc - 45] : us_plain[sc - 45];
    return 0;
}

// The character a key-down yields by itself (0 for none).
int key_character(const kiln_host_event& ev, uint32_t now)
{
    int sc = ev.scancode;
    if (sc == KILN_SC_RETURN || sc == KILN_SC_KP_ENTER) return 13;
    if (sc == KILN_SC_BACKSPACE) return 8;
    if (sc == KILN_SC_ESCAPE) return 27;
    if (sc == KILN_SC_TAB) return (!alt_held() && now - g_active_since > 9) ? 9 : 0;
    if (ctrl_held() && !alt_held() && !shift_held()) {
        if (ev.sym >= 'a' && ev.sym <= 'z') return ev.sym;
        if (ev.sym >= '0' && ev.sym <= '9') return ev.sym;
    }
    return 0;
}

// A produced character: fullscreen and fps keys, quit keys, or the queue.
kiln_key_action take_character(int c, int sc)
{
    if (c == 13 && alt_held() && !g_blocked[sc]) {
        kiln_toggle_fullscreen();
        g_blocked[sc] = 1;
        return kiln_key_action::NONE;
    }
    if (c == '1' && ctrl_held()) {
        cconfig.show_fps = !cconfig.show_fps;
        kilnkey[KILN_SC_1] = 0;
        return kiln_key_action::NONE;
    }
    if (c == 'q' && ctrl_held()) return kiln_key_action::TERMINATE;
    push_key(c);
    return kiln_key_action::NONE;
}
}  // namespace

void kiln_keys_init()
{
    memset(kilnkey, 0, sizeof kilnkey);
    memset(g_prev, 0, sizeof g_prev);
    memset(g_blocked, 0, sizeof g_blocked);
    g_repeat_at = 0;
    g_queue_len = 0;
    g_active_since = 0;
    g_wheel_x = g_wheel_y = 0;
    g_warped = false;
}

void kiln_build_key_names()
{
    for (int k = 0; k < KILN_KEY_NAMES; k++) {
        std::string n = kiln_host_get()->key_name(k);
        for (char& c : n) c = char(toupper((unsigned char)c));
        g_key_names[k] = n.size() >= 20 ? "?" : n;
    }
}

const char* kiln_get_key_name(int k)
{
    return k >= 0 && k < KILN_KEY_NAMES ? g_key_names[k].c_str() : "";
}

int kiln_get_key_state(int key)
{
    static const int groups[][4] = {
        /* -6 */ {KILN_SC_LSHIFT, KILN_SC_RSHIFT, -1, -1},
        /* -5 */ {KILN_SC_LCTRL, KILN_SC_RCTRL, KILN_KEY_LGUI, KILN_KEY_RGUI},
        /* -4 */ {KILN_SC_LALT, KILN_SC_RALT, -1, -1},
        /* -3 */ {KILN_KEY_LGUI, KILN_KEY_RGUI, -1, -1},
        /* -2 */ {KILN_KEY_PAIR0, KILN_KEY_PAIR1, -1, -1},
    };
    if (key >= 0) return single_state(key);
    if (key < -6 || key > -2) return 0;
    for (int k : groups[key + 6])
        if (k >= 0 && kilnkey[k] != 0) return single_state(k);
    return 0;
}

int kiln_get_any_key_down()
{
    for (int k = 1; k < KILN_KEYS; k++)
        if (k != KILN_SC_CAPSLOCK && kilnkey[k]) return k;
    return 0;
}

void kiln_block_key(int key)
{
    if (key >= 0 && key < KILN_KEYS) g_blocked[key] = 1;
}

bool kiln_key_blocked(int key) { return key >= 0 && key < KILN_KEYS && g_blocked[key]; }

bool kiln_keypressed() { return g_queue_len > 0; }

int kiln_readkey()
{
    while (g_queue_len == 0 && !kiln_quit) kiln_handle_system_messages();
    if (g_queue_len == 0) return 0;
    int c = g_queue[0];
    memmove(g_queue, g_queue + 1, size_t(g_queue_len - 1) * sizeof(int));
    g_queue_len--;
    return c;
}

void kiln_clear_keys() { g_queue_len = 0; }

void kiln_keys_sample(const uint8_t sample[KILN_KEYS], int mods, uint32_t now)
{
    for (int k = 0; k < KILN_KEYS; k++) {
        if (sample[k] && !kilnkey[k]) g_repeat_at = now + KILN_REPEAT_DELAY;
    }
    memcpy(g_prev, kilnkey, sizeof kilnkey);
    for (int k = 0; k < KILN_KEYS; k++) kilnkey[k] = sample[k] ? 1 : 0;
    if (mods & KILN_MOD_LCTRL) kilnkey[KILN_SC_LCTRL] = 1;
    if (mods & KILN_MOD_RCTRL) kilnkey[KILN_SC_RCTRL] = 1;
    if (mods & KILN_MOD_LALT) kilnkey[KILN_SC_LALT] = 1;
    if (mods & KILN_MOD_RALT) kilnkey[KILN_SC_RALT] = 1;
    if (mods & KILN_MOD_LGUI) kilnkey[KILN_KEY_LGUI] = 1;
    if (mods & KILN_MOD_RGUI) kilnkey[KILN_KEY_RGUI] = 1;
    // Signed difference: the timer survives the 49-day wrap of the clock.
    if (int32_t(now - g_repeat_at) >= 0) {
        for (int k = 0; k < KILN_KEYS; k++)
            if (kilnkey[k] && !g_blocked[k]) kilnkey[k] = 3;
        g_repeat_at = now + KILN_REPEAT_RATE;
    }
    for (int k = 0; k < KILN_KEYS; k++)
        if (!kilnkey[k]) g_blocked[k] = 0;
    g_emulated_len = 0;
}

kiln_key_action kiln_keys_event(const kiln_host_event& ev, uint32_t now, bool* produced)
{
    switch (ev.kind) {
    case kiln_host_event::QUIT: return kiln_key_action::TERMINATE;
    case kiln_host_event::WINDOW_ACTIVE: g_active_since = now; return kiln_key_action::NONE;
    case kiln_host_event::WINDOW_CLOSE:
        kiln_quit = true;
        kiln_debug("window closed (%d)\n", ev.number);
        return kiln_key_action::NONE;
    case kiln_host_event::WHEEL:
        g_wheel_x += ev.dx;
        g_wheel_y += ev.dy;
        return kiln_key_action::NONE;
    case kiln_host_event::TEXT:
        // With Ctrl held the key press already gave the character (some
        // hosts send the text as well, which would act twice).
        if (ctrl_held() && !down(KILN_SC_RALT)) return kiln_key_action::NONE;
        if (cconfig.emulate_textinput == 0 && ev.text[0] && !ev.text[1]) {
            *produced = true;
            return take_character((unsigned char)ev.text[0], 0);
        }
        return kiln_key_action::NONE;
    case kiln_host_event::DEVICE: g_devices_changed = true; return kiln_key_action::NONE;
    case kiln_host_event::KEY_DOWN: break;
    default: return kiln_key_action::NONE;
    }

    int sc = ev.scancode;
    if (sc < 0 || sc >= KILN_KEYS) return kiln_key_action::NONE;
    if (!kilnkey[sc]) kilnkey[sc] = 1;
    // The framework's own key combinations act on the key itself, whether or
    // not it yields a character: F11 and Alt+F4 have none.
    if (sc == KILN_SC_F11) {
        if (!g_blocked[sc]) {
            kiln_toggle_fullscreen();
            g_blocked[sc] = 1;
        }
        return kiln_key_action::NONE;
    }
    if (sc == KILN_SC_F4 && alt_held()) return kiln_key_action::TERMINATE;

    int c = key_character(ev, now);
    if (down(KILN_SC_RALT)) kilnkey[KILN_SC_LCTRL] = kilnkey[KILN_SC_RCTRL] = 0;  // AltGr
    if (c == 0 && cconfig.emulate_textinput) {
        int e = emulate_us(sc);
        if (e && g_emulated_len < 64) g_emulated[g_emulated_len++] = char(e);
        return kiln_key_action::NONE;
    }
    if (c == 0) return kiln_key_action::NONE;
    *produced = true;
    return take_character(c, sc);
}

void kiln_keys_end_pass(bool produced)
{
    for (int i = 0; i < g_emulated_len; i++) push_key((unsigned char)g_emulated[i]);
    if (g_emulated_len) produced = true;
    g_emulated_len = 0;
    if (produced) return;
    // A new press counts as well as a repeat: both read as state 3.
    for (int k = 0; k < KILN_KEYS; k++) {
        if (single_state(k) == 3) {
            push_key(-1);
            return;
        }
    }
}

int kiln_mouse_wheel_x() { return g_wheel_x; }
int kiln_mouse_wheel_y() { return g_wheel_y; }
void kiln_reset_mouse_wheel() { g_wheel_x = g_wheel_y = 0; }

void kiln_handle_system_messages()
{
    kiln_host* h = kiln_host_get();
    int sleep = kiln_is_app_active() ? cconfig.foreground_sleep_ms : cconfig.background_sleep_ms;
    if (sleep > 200) sleep = 200;
    if (sleep > 0) h->sleep_ms(sleep);
    h->show_cursor(false);

    uint8_t sample[KILN_KEYS] = {};
    int mods = 0;
    h->sample_keyboard(sample, &mods);
    uint32_t now = h->ticks();
    kiln_keys_sample(sample, mods, now);

    bool produced = false;
    kiln_host_event ev;
    while (h->poll_event(&ev)) {
        if (kiln_keys_event(ev, now, &produced) == kiln_key_action::TERMINATE) kiln_terminate(0);
    }
    // A signal's quit runs the same shutdown as the host's quit event.
    if (kiln_quit_requested()) kiln_terminate(0);
    kiln_keys_end_pass(produced);
    if (g_devices_changed) kiln_joystick_sync();
    g_devices_changed = false;
}

void kiln_map_mouse(int mx, int my, kiln_rect r, int bw, int bh, int* x, int* y)
{
    *x = *y = 0;
    if (r.w <= 0 || r.h <= 0) return;
    *x = int(int64_t(mx - r.x) * bw / r.w);
    *y = int(int64_t(my - r.y) * bh / r.h);
}

void kiln_get_mouse(int* x, int* y, int* buttons)
{
    *x = *y = *buttons = 0;
    if (!kiln_back_page || cconfig.headless) return;
    kiln_host* h = kiln_host_get();
    int ww = 0, wh = 0;
    h->window_size(&ww, &wh);
    if (ww <= 0 || wh <= 0) return;
    int mx, my, hb;
    h->mouse_state(&mx, &my, &hb);
    if (g_warped && (mx == g_warp_host_x || my == g_warp_host_y)) {
        *x = g_warp_x;
        *y = g_warp_y;
    } else {
        g_warped = false;
        kiln_map_mouse(mx, my, get_dest_rect(), kiln_back_page->w, kiln_back_page->h, x, y);
    }
    int b = hb & 7;
    if (cconfig.rmb_key > 0 && cconfig.rmb_key < KILN_KEYS && kilnkey[cconfig.rmb_key] && (b & 1))
        b = (b & ~1) | 2;
    *buttons = b;
}

void kiln_set_mouse(int x, int y)
{
    kiln_host* h = kiln_host_get();
    int hb;
    h->mouse_state(&g_warp_host_x, &g_warp_host_y, &hb);
    g_warp_x = x;
    g_warp_y = y;
    g_warped = true;
}

char* kiln_get_clipboard_text()
{
    std::string s = kiln_host_get()->get_clipboard();
    return strdup(s.c_str());
}

void kiln_set_clipboard_text(const char* text) { kiln_host_get()->set_clipboard(text ? text : ""); }

bool kiln_has_clipboard_text() { return kiln_host_get()->has_clipboard(); }

int kiln_save_clipboard_to_file(const char* path)
{
    if (!kiln_has_clipboard_text()) return 1;
    std::string s = kiln_host_get()->get_clipboard();
    FILE* f = fopen(path, "wb");
    if (!f) return 1;
    bool ok = fwrite(s.data(), 1, s.size(), f) == s.size();
    ok = fclose(f) == 0 && ok;
    return ok ? 0 : 1;
}

int kiln_load_clipboard_from_file(const char* path)
{
    FILE* f = fopen(path, "rb");
    if (!f) return 1;
    std::string s;
    char buf[4096];
    size_t n;
    while (s.size() < (1u << 20) && (n = fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    fclose(f);
    if (s.size() > (1u << 20)) s.resize(1u << 20);
    kiln_host_get()->set_clipboard(s);
    return 0;
}
