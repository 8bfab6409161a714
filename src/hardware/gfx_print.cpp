// Text at the print cursor with the console font, and the cursor's line
// advance that scrolls the screen at the bottom.
#include <cstring>

#include "hardware/machine.h"
#include "hardware/draw_state.h"
#include "hardware/gfx.h"
#include "hardware/runtime_link.h"

namespace {
constexpr int k_line = 6;        // the cursor's line advance
constexpr int k_last_line = 123; // the cursor stays above this row
constexpr int32_t k_scroll_cost = 0x10000;

// Moves rows 6-127 up to 0-121 and clears 122-127, within the clip.
void scroll_screen(kiln_bitmap* s)
{
    for (int y = s->clip_y0; y < s->clip_y1; y++) {
        uint8_t* out = s->row(y);
        const uint8_t* in = y + k_line < s->h ? s->row(y + k_line) : nullptr;
        for (int x = s->clip_x0; x < s->clip_x1; x++) out[x] = in ? in[x] : 0;
    }
}
}  // namespace

void cursor_cr(orbo_machine* c) { cursor_cr_n(c, 1); }

// n line advances. Scrolls past the first k_scroll_effect change nothing: a
// row inside the clip takes the row 6 below it, so after more scrolls than
// the clip has lines every row holds what rows outside the clip (which never
// move) or the blank below the screen feed into it, and further scrolls
// leave it so. Only those are done; the charges of the rest are made too,
// at most k_scroll_charge_max of them (which end any frame) so that the
// cycle counters do not wrap.
void cursor_cr_n(orbo_machine* c, int64_t n)
{
    constexpr int64_t k_scroll_effect = 128 / k_line + 2;
    constexpr int64_t k_scroll_charge_max = 512;
    while (n > 0 && c->cursor_y + k_line < k_last_line) {
        c->cursor_y += k_line;
        n--;
    }
    for (int64_t i = 0; i < n && i < k_scroll_effect; i++) {
        scroll_screen(c->screen.get());
        orbo_spend_cpu(k_scroll_cost);
    }
    if (n > k_scroll_effect) {
        int64_t rest = n - k_scroll_effect;
        if (rest > k_scroll_charge_max) rest = k_scroll_charge_max;
        orbo_spend_cpu(int32_t(rest * k_scroll_cost));
    }
}

void orbo_print(orbo_machine* c, int nargs, const char* text, int x, int y, int32_t col)
{
    if (nargs < 1 || !text) return;
    if (nargs > 2) {
        c->cursor_x = x;
        c->cursor_y = y;
    }
    int value = orbo_drawn_value(c, orbo_colour_arg(c, nargs > 3, col));
    int flags = KILN_TEXT_VALUE | (c->stopping ? KILN_TEXT_WRAP : 0);
    int first = orbo_coord(int64_t(c->cursor_y) - c->camera_y);
    int last = first;
    if (c->font)
        last = kiln_draw_text_ex(c->screen.get(), text, c->font, orbo_coord(int64_t(c->cursor_x) - c->camera_x), first,
                                 flags, value);
    if (nargs == 1 && last >= first) cursor_cr_n(c, (int64_t(last) - first) / k_line + 1);
    orbo_spend_cpu(int32_t(8 * std::strlen(text) + 2));
}
