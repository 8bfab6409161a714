// Where held buttons come from: the keyboard (default or configured keys),
// game controllers, and the scripted source.
#include <cstddef>

#include "hardware/buttons.h"
#include "platform/joystick.h"
#include "platform/keys.h"

namespace {
// SDL scancodes of the default keys.
enum : int {
    SC_C = 6, SC_D = 7, SC_E = 8, SC_F = 9, SC_M = 16, SC_N = 17, SC_P = 19, SC_Q = 20,
    SC_S = 22, SC_V = 25, SC_W = 26, SC_X = 27, SC_8 = 37, SC_INSERT = 73, SC_DELETE = 76,
    SC_KP_MINUS = 86, SC_KP_1 = 89, SC_KP_2 = 90, SC_KP_4 = 92, SC_KP_5 = 93, SC_KP_6 = 94,
    SC_KP_8 = 96,
};
constexpr int k_no_key = 0;

// One row per custom-key slot: the player and button it binds, then its
// default keys (0 ends the list).
struct key_binding {
    int player, button;
    int keys[6];
};
constexpr key_binding k_bindings[ORBO_CUSTOM_KEYS] = {
    {0, 0, {KILN_SC_LEFT, SC_KP_4}},
    {0, 1, {KILN_SC_RIGHT, SC_KP_6}},
    {0, 2, {KILN_SC_UP, SC_KP_8}},
    {0, 3, {KILN_SC_DOWN, SC_KP_5}},
    {0, 4, {KILN_SC_Z, SC_C, SC_N, SC_KP_MINUS, SC_KP_1, SC_INSERT}},
    {0, 5, {SC_X, SC_V, SC_M, SC_8, SC_KP_2, SC_DELETE}},
    {1, 0, {SC_S}},
    {1, 1, {SC_F}},
    {1, 2, {SC_E}},
    {1, 3, {SC_D}},
    {1, 4, {KILN_SC_LSHIFT, KILN_SC_TAB, SC_W}},
    {1, 5, {KILN_SC_A, SC_Q}},
    {0, 6, {SC_P, KILN_SC_RETURN}},
};
constexpr int k_pause_slot = 12;

bool key_held(int sc) { return kiln_get_key_state(sc) != 0; }

bool ctrl_held() { return kilnkey[KILN_SC_LCTRL] || kilnkey[KILN_SC_RCTRL]; }

bool slot_held(int slot)
{
    const orbo_button_sources& src = orbo_button_config;
    int custom = src.keys ? src.keys[slot] : k_no_key;
    if (custom != k_no_key) return key_held(custom);
    for (int sc : k_bindings[slot].keys) {
        if (sc == k_no_key) break;
        if (sc == SC_M && ctrl_held()) continue;  // Ctrl+M is mute
        if (key_held(sc)) return true;
    }
    if (slot == k_pause_slot && src.escape_pauses && src.escape_pauses()) return key_held(KILN_SC_ESCAPE);
    return false;
}

// Stick value for one direction: |v| / 128 toward that side, at most 255.
uint8_t stick(int v)
{
    int d = v / 128;
    return uint8_t(d < 0 ? 0 : d > 255 ? 255 : d);
}

// Controller buttons (SDL game-controller order) of each pad button 4..6.
constexpr uint32_t k_pad_o = 1u << 0 | 1u << 3;   // A, Y
constexpr uint32_t k_pad_x = 1u << 1 | 1u << 2;   // B, X
constexpr uint32_t k_pad_pause = 1u << 6;         // START
constexpr int k_dpad_bit[4] = {13, 14, 11, 12};   // left, right, up, down
constexpr int k_held_value = 129;
}  // namespace

void orbo_pad_values(int player, uint8_t value[ORBO_PAD_BUTTONS])
{
    for (int b = 0; b < ORBO_PAD_BUTTONS; b++) value[b] = 0;
    int first = orbo_button_config.joystick_index ? *orbo_button_config.joystick_index : 0;
    int pad = player - first;
    if (pad < 0 || pad >= kiln_count_joysticks()) return;
    int x, y, bits;
    kiln_get_joystick(pad, &x, &y, &bits);
    uint32_t b = uint32_t(bits);
    // Beyond half the stick's range (x^2 + y^2 > 2^28) the stick decides.
    if (int64_t(x / 2) * x + int64_t(y / 2) * y > 0x8000000) {
        value[0] = stick(-x);
        value[1] = stick(x);
        value[2] = stick(-y);
        value[3] = stick(y);
    } else {
        for (int d = 0; d < 4; d++) value[d] = (b >> k_dpad_bit[d]) & 1 ? 255 : 0;
    }
    value[4] = b & k_pad_o ? 255 : 0;
    value[5] = b & k_pad_x ? 255 : 0;
    value[6] = b & k_pad_pause ? 255 : 0;
}

orbo_button_mask orbo_sample_held()
{
    orbo_button_mask held = 0;
    for (int slot = 0; slot < ORBO_CUSTOM_KEYS; slot++)
        if (slot_held(slot)) held |= orbo_button_bit(k_bindings[slot].player, k_bindings[slot].button);
    int pads = kiln_count_joysticks();
    if (pads > 0) {
        for (int p = 0; p < ORBO_PLAYERS; p++) {
            uint8_t v[ORBO_PAD_BUTTONS];
            orbo_pad_values(p, v);
            for (int b = 0; b < ORBO_PAD_BUTTONS; b++)
                if (v[b] >= k_held_value) held |= orbo_button_bit(p, b);
        }
    }
    if (orbo_button_config.script) held |= orbo_button_config.script();
    return held;
}

// The default key of each custom-key slot as the configuration screen names it.
const char* orbo_default_key_name(int slot)
{
    static const char* const names[ORBO_CUSTOM_KEYS] = {"left", "right", "up", "down", "z", "x", "s",
                                                        "f",    "e",     "d",  "tab",  "q", "p"};
    return slot >= 0 && slot < ORBO_CUSTOM_KEYS ? names[slot] : "";
}
