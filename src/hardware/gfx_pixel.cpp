// Single pixels, horizontal spans and clearing.
#include <algorithm>

#include "hardware/machine.h"
#include "hardware/draw_state.h"
#include "hardware/gfx.h"
#include "hardware/runtime_link.h"

namespace {
bool in_clip(const kiln_bitmap* s, int64_t x, int64_t y)
{
    return x >= s->clip_x0 && x < s->clip_x1 && y >= s->clip_y0 && y < s->clip_y1;
}
}  // namespace

void putpixel(kiln_bitmap* s, int x, int y, int value, uint32_t pattern)
{
    if (!in_clip(s, x, y)) return;
    int b = orbo_pattern_bit(pattern, x, y);
    if (b && (pattern & ORBO_FILL_TRANSPARENT)) return;
    s->row(y)[x] = uint8_t(value >> (4 * b));
}

void draw_hline(kiln_bitmap* s, int xa, int xb, int y, int value, uint32_t pattern)
{
    if (y < s->clip_y0 || y >= s->clip_y1) return;
    int colour[4];
    bool skip[4];
    for (int k = 0; k < 4; k++) {
        bool set = (pattern >> ((3 - (y & 3)) * 4 + (3 - k))) & 1;
        colour[k] = set ? (value >> 4) & 15 : value & 15;
        skip[k] = set && (pattern & ORBO_FILL_TRANSPARENT);
    }
    if (xa > xb) std::swap(xa, xb);
    xa = std::max(xa, s->clip_x0);
    xb = std::min(xb, s->clip_x1 - 1);
    uint8_t* row = s->row(y);
    for (int x = xa; x <= xb; x++)
        if (!skip[x & 3]) row[x] = uint8_t(colour[x & 3]);
}

int64_t orbo_clipped_area(const kiln_bitmap* s, int64_t x, int64_t y, int64_t w, int64_t h)
{
    int64_t w1 = std::min<int64_t>(x + w, s->clip_x1) - std::max<int64_t>(x, s->clip_x0);
    int64_t h1 = std::min<int64_t>(y + h, s->clip_y1) - std::max<int64_t>(y, s->clip_y0);
    return w1 > 0 && h1 > 0 ? w1 * h1 : 0;
}

void orbo_cls(orbo_machine* c, int nargs, int col)
{
    c->cursor_x = c->cursor_y = 0;
    c->clip[0] = c->clip[1] = 0;
    c->clip[2] = c->clip[3] = 128;
    orbo_reset_clip(c->screen.get());
    std::fill(c->screen->pixels.begin(), c->screen->pixels.end(), uint8_t(nargs >= 1 ? col & 0xff : 0));
    orbo_spend_cpu(1024);
}

void orbo_pset(orbo_machine* c, int nargs, int x, int y, int32_t col)
{
    if (nargs < 2) return;
    int value = orbo_drawn_value(c, orbo_colour_arg(c, nargs >= 3, col));
    putpixel(c->screen.get(), orbo_coord(int64_t(x) - c->camera_x), orbo_coord(int64_t(y) - c->camera_y), value,
             c->fill_pattern);
}

int orbo_pget(orbo_machine* c, int nargs, int x, int y)
{
    if (nargs < 2) return 0;
    int64_t sx = int64_t(x) - c->camera_x, sy = int64_t(y) - c->camera_y;
    return in_clip(c->screen.get(), sx, sy) ? c->screen->row(int(sy))[sx] : 0;
}
