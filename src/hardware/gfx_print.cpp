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

void cursor_cr(orbo_machine* c)
{
    if (c->cursor_y + k_line < k_last_line) {
        c->cursor_y += k_line;
        return;
    }
    scroll_screen(c->screen.get());
    orbo_spend_cpu(k_scroll_cost);
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
    if (nargs == 1)
        for (int line = first; line <= last; line += k_line) cursor_cr(c);
    orbo_spend_cpu(int32_t(8 * std::strlen(text) + 2));
}
