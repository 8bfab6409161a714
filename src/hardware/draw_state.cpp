#include "hardware/draw_state.h"

#include <algorithm>

#include "hardware/machine.h"
#include "hardware/mem.h"
#include "hardware/runtime_link.h"

int32_t orbo_coord(int64_t v) { return int32_t(std::clamp<int64_t>(v, -ORBO_COORD_MAX, ORBO_COORD_MAX)); }

int orbo_colour_arg(orbo_machine* c, bool given, int32_t raw)
{
    if (!given) return c->pen & 0xff;
    int col = (raw >> 16) & 0xff;
    c->pen = col;
    if (c->mem[0x5F34] == 1 && (raw & 0x10000000))
        c->fill_pattern = uint32_t(raw & 0xffff) | (raw & 0x1000000 ? ORBO_FILL_TRANSPARENT : 0);
    return col;
}

int orbo_drawn_value(const orbo_machine* c, int col)
{
    return (c->draw_pal[col & 15] & 15) | (c->draw_pal[(col >> 4) & 15] & 15) << 4;
}

void orbo_pal(orbo_machine* c, int nargs, int c0, int c1, int p)
{
    if (nargs < 2) {
        for (int i = 0; i < 16; i++) c->draw_pal[i] = c->screen_pal[i] = uint8_t(i);
        c->draw_pal[0] = 16;
        return;
    }
    if (nargs >= 3 && p != 0)
        c->screen_pal[c0 & 15] = uint8_t(c1 & 15);
    else
        c->draw_pal[c0 & 15] = uint8_t((c1 & 15) | (c->draw_pal[c0 & 15] & 16));
}

void orbo_palt(orbo_machine* c, int nargs, int col, bool t)
{
    if (nargs < 2) {
        for (uint8_t& e : c->draw_pal) e &= 15;
        c->draw_pal[0] |= 16;
        return;
    }
    c->draw_pal[col & 15] = uint8_t((c->draw_pal[col & 15] & 15) | (t ? 16 : 0));
}

void orbo_color(orbo_machine* c, int nargs, int32_t raw)
{
    if (nargs < 1)
        c->pen = 0;
    else
        orbo_colour_arg(c, true, raw);
}

void orbo_cursor(orbo_machine* c, int nargs, int x, int y)
{
    c->cursor_x = nargs >= 1 ? x : 0;
    c->cursor_y = nargs >= 2 ? y : 0;
}

void orbo_camera(orbo_machine* c, int nargs, int x, int y)
{
    if (nargs < 1) x = 0;
    if (nargs < 2) y = 0;
    orbo_poke(c, c->cart, 0x5F28, x & 0xff);
    orbo_poke(c, c->cart, 0x5F29, (x >> 8) & 0xff);
    orbo_poke(c, c->cart, 0x5F2A, y & 0xff);
    orbo_poke(c, c->cart, 0x5F2B, (y >> 8) & 0xff);
}

void orbo_clip(orbo_machine* c, int nargs, int x, int y, int w, int h)
{
    int64_t r[4] = {0, 0, 128, 128};
    if (nargs >= 4) {
        r[0] = x;
        r[1] = y;
        r[2] = int64_t(x) + w;
        r[3] = int64_t(y) + h;
    }
    for (int i = 0; i < 4; i++) orbo_poke(c, c->cart, 0x5F20 + i, int(std::clamp<int64_t>(r[i], 0, 128)));
    orbo_spend_cpu(16);
}

void orbo_fillp(orbo_machine* c, int nargs, int32_t raw)
{
    if (nargs < 1) {
        c->fill_pattern = 0;
        return;
    }
    c->fill_pattern = uint32_t((raw >> 16) & 0xffff) | (raw & 0x8000 ? ORBO_FILL_TRANSPARENT : 0);
}
