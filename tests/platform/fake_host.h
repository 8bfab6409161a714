// A scripted host for tests: the clock moves only when told, the keyboard
// holds whatever the test sets, events come from a queue, and window calls
// are counted instead of made.
#pragma once
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "platform/host.h"

class fake_host final : public kiln_host {
public:
    bool is_headless = true;
    uint32_t now = 0;
    uint8_t keys[KILN_KEYS] = {};
    int mods = 0;
    std::deque<kiln_host_event> events;
    int windows_opened = 0;
    int open_result = 0;
    int win_w = 0, win_h = 0;
    int mouse_x = 0, mouse_y = 0, mouse_b = 0;
    int presents = 0;
    int slept = 0;
    bool refresh = false;
    std::string clip;

    bool headless() const override { return is_headless; }
    bool system_init() override { return true; }
    void system_exit() override {}
    uint32_t ticks() override { return now; }
    void sleep_ms(int ms) override { slept += ms; }
    std::string key_name(int sc) override
    {
        if (sc == 4) return "a";
        if (sc == 5) return "a name that is far too long";
        if (sc == 224) return "Left Ctrl";
        return "";
    }
    void desktop_size(int* w, int* h) override { *w = 1920, *h = 1080; }
    int open_window(const kiln_window_desc& d) override
    {
        windows_opened++;
        win_w = d.w;
        win_h = d.h;
        return open_result;
    }
    void close_window() override {}
    void window_size(int* w, int* h) override { *w = win_w, *h = win_h; }
    bool has_focus() override { return !is_headless; }
    void present(const uint32_t*, int, int, kiln_rect, const uint32_t*) override { presents++; }
    std::vector<std::string> mappings;  // added so far
    int joysticks = 0;
    kiln_joy_raw joy[8];
    int add_mapping(const char* m) override
    {
        std::string s(m);
        if (s.find(',') == std::string::npos) return -1;
        for (const std::string& old : mappings)
            if (old.substr(0, old.find(',')) == s.substr(0, s.find(','))) return 0;
        mappings.push_back(s);
        return 1;
    }
    int joystick_count() override { return joysticks; }
    std::string open_joystick(int i) override { return "Controller " + std::to_string(i) + ": pad\n"; }
    bool read_joystick(int i, kiln_joy_raw* out) override
    {
        *out = joy[i];
        return joy[i].attached;
    }
    bool take_refresh() override
    {
        bool r = refresh;
        refresh = false;
        return r;
    }
    void sample_keyboard(uint8_t k[KILN_KEYS], int* m) override
    {
        memcpy(k, keys, KILN_KEYS);
        *m = mods;
    }
    bool poll_event(kiln_host_event* ev) override
    {
        if (events.empty()) return false;
        *ev = events.front();
        events.pop_front();
        return true;
    }
    void mouse_state(int* x, int* y, int* b) override { *x = mouse_x, *y = mouse_y, *b = mouse_b; }
    bool has_clipboard() override { return !clip.empty(); }
    std::string get_clipboard() override { return clip; }
    void set_clipboard(const std::string& t) override { clip = t; }
};

inline kiln_host_event key_down(int scancode, int sym = 0)
{
    kiln_host_event e;
    e.kind = kiln_host_event::KEY_DOWN;
    e.scancode = scancode;
    e.sym = sym;
    return e;
}
