#include "app/running_keys.h"

#include <cstdlib>

#include "app/state.h"
#include "cart/working_cart.h"
#include "hardware/machine.h"
#include "platform/keys.h"
#include "platform/kiln.h"

namespace {
constexpr uint32_t k_quick_load_gap_ms = 500;
constexpr int k_glyph_a = 128;  // "A".."Z" are stored as glyphs 128..153
constexpr int k_last_code = 153;

bool ctrl_held() { return kilnkey[KILN_SC_LCTRL] || kilnkey[KILN_SC_RCTRL]; }

void quick_load()
{
    uint32_t now = kiln_host_get()->ticks();
    if (orbo_reset_glitch != 0 || now - app.last_quick_load <= k_quick_load_gap_ms) return;
    do_quick_load();
    orbo_reset_glitch = 1;
    app.last_quick_load = now;
    kiln_clear_keys();
}

void paste(orbo_machine* c)
{
    char* text = kiln_get_clipboard_text();
    c->paste_text = text ? text : "";
    free(text);
}

void to_program(orbo_machine* c, int key)
{
    if (key >= 'A' && key <= 'Z') key = key - 'A' + k_glyph_a;
    else if (key == 127) key = 8;
    if (key < 0 || key > k_last_code) return;
    if (c->typed.size() < ORBO_TYPED_MAX) c->typed.push_back(uint8_t(key));
}
}  // namespace

void process_running_keypresses()
{
    orbo_machine* c = orbo_live_machine();
    while (kiln_keypressed()) {
        int key = kiln_readkey();
        if (!ctrl_held()) {
            if (c) to_program(c, key);
            continue;
        }
        if (key == 'r') {
            quick_load();
            return;
        }
        if (key == 's') do_quick_save();
        else if (key == 'v' && c) paste(c);
    }
}

void orbo_process_running_keypresses() { process_running_keypresses(); }
