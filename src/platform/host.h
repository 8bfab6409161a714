// The host interface: everything the framework needs from the machine it runs
// on (window, presentation, events, keyboard, mouse, clock, clipboard, game
// controllers). The SDL backend lives in platform/sdl/; the headless backend
// (kiln_headless_host) needs no display and serves -headless, -x and tests.
// The framework logic above this interface never calls the host library.
#pragma once
#include <cstdint>
#include <string>

#include "platform/bitmap.h"

struct kiln_rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const kiln_rect&) const = default;
};

// Host key codes for the keys the framework itself gives meaning to. They are
// the USB usage numbers the host library also uses as its scancodes.
enum kiln_scancode : int {
    KILN_SC_A = 4, KILN_SC_Z = 29, KILN_SC_1 = 30, KILN_SC_0 = 39,
    KILN_SC_RETURN = 40, KILN_SC_ESCAPE = 41, KILN_SC_BACKSPACE = 42, KILN_SC_TAB = 43,
    KILN_SC_SPACE = 44, KILN_SC_CAPSLOCK = 57, KILN_SC_F4 = 61, KILN_SC_F11 = 68,
    KILN_SC_RIGHT = 79, KILN_SC_LEFT = 80, KILN_SC_DOWN = 81, KILN_SC_UP = 82,
    KILN_SC_KP_ENTER = 88,
    KILN_SC_LCTRL = 224, KILN_SC_LSHIFT = 225, KILN_SC_LALT = 226, KILN_SC_LGUI = 227,
    KILN_SC_RCTRL = 228, KILN_SC_RSHIFT = 229, KILN_SC_RALT = 230, KILN_SC_RGUI = 231,
    // pseudo entries of the key table
    KILN_KEY_LGUI = 500, KILN_KEY_RGUI = 501, KILN_KEY_PAIR0 = 502, KILN_KEY_PAIR1 = 503,
};
constexpr int KILN_KEYS = 512;

// Modifier bits reported with a keyboard sample.
enum : int {
    KILN_MOD_LCTRL = 1, KILN_MOD_RCTRL = 2, KILN_MOD_LALT = 4, KILN_MOD_RALT = 8,
    KILN_MOD_LGUI = 16, KILN_MOD_RGUI = 32, KILN_MOD_LSHIFT = 64, KILN_MOD_RSHIFT = 128,
};

struct kiln_host_event {
    enum kind_t { QUIT, WINDOW_ACTIVE, WINDOW_CLOSE, WHEEL, TEXT, KEY_DOWN, DEVICE, OTHER } kind = OTHER;
    // DEVICE: a game controller or joystick was attached or removed.
    int scancode = 0;  // KEY_DOWN
    int sym = 0;       // KEY_DOWN: the layout's key code (printable keys are their ASCII code)
    int number = 0;    // WINDOW_CLOSE: the host's event number
    int dx = 0, dy = 0;  // WHEEL
    char text[32] = {};  // TEXT: UTF-8, zero-terminated
};

struct kiln_window_desc {
    int w = 0, h = 0;     // window size
    int x = -1, y = -1;   // position, -1 lets the window manager decide
    bool fullscreen = false;
    int fullscreen_method = 1;
    bool frameless = false;
    bool software = false;       // no renderer: present into the window surface
    bool pixel_perfect = false;  // nearest filtering instead of linear
    int tex_w = 0, tex_h = 0;    // back page size (texture size)
    const char* title = "";
};

// Raw state of one game controller or joystick.
struct kiln_joy_raw {
    bool attached = false;
    bool is_controller = false;
    static constexpr int AXES = 6;
    int axes[AXES] = {};   // signed 16-bit; controllers: left x, left y, right x, right y, triggers
    uint32_t buttons = 0;  // bit i: button i down (0..14)
};

class kiln_host {
public:
    virtual ~kiln_host() = default;
    virtual bool headless() const = 0;

    // System. system_init returns false when the host cannot start.
    virtual bool system_init() = 0;
    virtual void system_exit() = 0;
    virtual uint32_t ticks() = 0;  // milliseconds since start
    virtual void sleep_ms(int ms) = 0;
    virtual void desktop_size(int* w, int* h) = 0;  // 0,0 when unknown
    virtual std::string key_name(int scancode) { return ""; }
    // The host library's pending error text, cleared by the call ("" if none).
    virtual std::string take_error() { return ""; }

    // Window. open_window returns 0, 1 when no renderer could be made (the
    // window was opened again for the software path), or -1 on failure.
    virtual int open_window(const kiln_window_desc& d) = 0;
    virtual void close_window() = 0;
    virtual void window_size(int* w, int* h) = 0;  // 0,0 without a window
    virtual void window_position(int* x, int* y) { *x = *y = -1; }
    virtual bool has_focus() = 0;
    virtual void set_title(const char* title) {}
    virtual void set_icon(const kiln_bitmap* argb) {}
    // Shows a w x h ARGB picture scaled into dest (nothing when dest is
    // negative) on a black window, with the 128x8 fps strip at (0,0) when
    // fps is given. The software path gets the counter already drawn in.
    virtual void present(const uint32_t* argb, int w, int h, kiln_rect dest,
                         const uint32_t* fps) = 0;
    // True once after the window's contents were lost or its size changed
    // (exposed, resized, shown, restored, device reset): the next picture must
    // be presented even if it did not change.
    virtual bool take_refresh() { return false; }

    // Input.
    virtual void sample_keyboard(uint8_t keys[KILN_KEYS], int* mods) = 0;
    virtual bool poll_event(kiln_host_event* ev) = 0;
    virtual void mouse_state(int* x, int* y, int* buttons) = 0;
    virtual void show_cursor(bool on) {}

    // Clipboard.
    virtual bool has_clipboard() = 0;
    virtual std::string get_clipboard() = 0;
    virtual void set_clipboard(const std::string& text) = 0;

    // Audio output: 22,050 Hz, mono, signed 16-bit, `samples` per buffer; the
    // callback runs on the device's thread and fills `len` bytes. False when
    // no device opens (the player then runs silent).
    using audio_callback = void (*)(void* userdata, uint8_t* stream, int len);
    virtual bool open_audio(int samples, audio_callback callback) { return false; }
    virtual void close_audio() {}

    // Controllers. add_mapping returns 1 added, 0 updated, -1 failed.
    virtual int add_builtin_mappings() { return 0; }
    virtual int add_mapping(const char* mapping) { return -1; }
    virtual int joystick_count() { return 0; }
    // Opens device i (as a controller when the host knows it as one) and
    // returns its description lines for the log; empty when it fails.
    virtual std::string open_joystick(int i) { return ""; }
    virtual void close_joysticks() {}
    virtual bool read_joystick(int i, kiln_joy_raw* out) { return false; }
    // Brings the open devices in line with the attached ones (hot-plugging):
    // closes the slots whose device went away and opens each new device in
    // the first free slot of 8. Returns the slots in use (bit i: slot i);
    // *changed gets the slots closed or opened, *log their description lines.
    virtual uint32_t sync_joysticks(uint32_t* changed, std::string* log)
    {
        *changed = 0;
        return 0;
    }
};

// The headless backend: no window, a real monotonic clock and sleep, an empty
// keyboard, a private clipboard.
kiln_host* kiln_headless_host();
