// The button tables and the per-frame sampling, update and blocking.
#include "hardware/buttons.h"

#include <cstring>

#include "engine/lua/cpu.h"
#include "engine/math/fixed.h"
#include "hardware/input_link.h"
#include "platform/keys.h"

orbo_button_sources orbo_button_config;

namespace {
constexpr int k_menu_delay = 16;
constexpr int k_menu_interval = 4;
constexpr int k_random_buttons = 6;  // random input drives buttons 0-5

bool menu_active() { return orbo_button_config.menu_active && orbo_button_config.menu_active(); }

// 16 at 30 fps, 31 at 60; 16 while a menu is up.
int initial_delay() { return menu_active() ? k_menu_delay : orbo_cpu.fps * 15 / 30 + 1; }
// 4 at 30 fps, 8 at 60; 4 while a menu is up.
int repeat_interval() { return menu_active() ? k_menu_interval : orbo_cpu.fps * 4 / 30; }

bool valid(int p, int b) { return p >= 0 && p < ORBO_PLAYERS && b >= 0 && b < ORBO_PAD_BUTTONS; }
int at(int p, int b) { return p * ORBO_PAD_BUTTONS + b; }

void read_random(orbo_button_tables& t)
{
    for (int p = 0; p < ORBO_PLAYERS; p++)
        for (int b = 0; b < k_random_buttons; b++) t.down[at(p, b)] = uint8_t(orbo_random(2));
}
}  // namespace

orbo_button_tables& orbo_buttons()
{
    static orbo_button_tables tables;
    return tables;
}

void read_buttons()
{
    orbo_button_tables& t = orbo_buttons();
    memset(t.down, 0, sizeof t.down);
    if (orbo_button_config.random_input > 0) {
        read_random(t);
    } else {
        orbo_button_mask held = orbo_sample_held();
        if (orbo_button_config.observe) orbo_button_config.observe(held);
        for (int i = 0; i < ORBO_BUTTON_COUNT; i++) {
            if (!((held >> i) & 1)) {
                t.blocked[i] = 0;
                continue;
            }
            if (t.blocked[i]) continue;
            t.down[i] = 1;
            if (!t.previous[i]) t.repeat_timer = initial_delay();
        }
    }
    t.wheel_x = kiln_mouse_wheel_x();
    t.wheel_y = kiln_mouse_wheel_y();
    kiln_reset_mouse_wheel();
}

void update_buttons()
{
    orbo_button_tables& t = orbo_buttons();
    int timer = t.repeat_timer;
    for (int i = 0; i < ORBO_BUTTON_COUNT; i++) {
        t.pressed[i] = t.down[i] && (!t.previous[i] || timer == 1) && !t.blocked[i];
        t.previous[i] = t.down[i];
    }
    if (timer >= 1 && --t.repeat_timer == 0) t.repeat_timer = repeat_interval();
}

void block_buttons()
{
    orbo_button_tables& t = orbo_buttons();
    memset(t.down, 0, sizeof t.down);
    memset(t.pressed, 0, sizeof t.pressed);
    memset(t.blocked, 1, sizeof t.blocked);
    t.repeat_timer = initial_delay();
}

void clear_buttons() { memset(orbo_buttons().down, 0, sizeof orbo_buttons().down); }

int button_pressed(int b, int p)
{
    if (!valid(p, b)) return 0;
    const orbo_button_tables& t = orbo_buttons();
    int i = at(p, b);
    if (t.previous[i] && t.repeat_timer != 1) return 0;
    return t.down[i];
}

namespace {
bool link_down(int p, int b) { return orbo_buttons().down[at(p, b)] != 0; }
bool link_pressed(int p, int b) { return orbo_buttons().pressed[at(p, b)] != 0; }
int wheel_x() { return orbo_buttons().wheel_x; }
int wheel_y() { return orbo_buttons().wheel_y; }
}  // namespace

void orbo_install_buttons()
{
    orbo_input.button_down = link_down;
    orbo_input.button_pressed = link_pressed;
    orbo_input.read_buttons = read_buttons;
    orbo_input.update_buttons = update_buttons;
    orbo_input.block_buttons = block_buttons;
    orbo_input.wheel_x = wheel_x;
    orbo_input.wheel_y = wheel_y;
}
