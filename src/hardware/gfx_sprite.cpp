// Sprites and stretched sprites: a sheet rectangle is first copied through
// the draw palette into a temporary bitmap, which is then drawn with every
// value of 16 or more (a transparent palette entry) skipped.
#include <algorithm>

#include "hardware/machine.h"
#include "hardware/draw_state.h"
#include "hardware/gfx.h"
#include "hardware/runtime_link.h"

kiln_bitmap_ptr orbo_blit(const kiln_bitmap& sheet, const uint8_t* draw_pal, int sx, int sy, int w, int h,
                          bool flip_x, bool flip_y)
{
    kiln_bitmap_ptr out = kiln_create_bitmap(w, h, 8);
    for (int r = 0; r < h; r++) {
        int64_t src_y = int64_t(sy) + (flip_y ? h - 1 - r : r);
        if (src_y < 0 || src_y >= sheet.h) continue;
        const uint8_t* src = sheet.row(int(src_y));
        uint8_t* dst = out->row(r);
        for (int k = 0; k < w; k++) {
            int64_t src_x = int64_t(sx) + (flip_x ? w - 1 - k : k);
            if (src_x >= 0 && src_x < sheet.w) dst[k] = draw_pal[src[src_x] & 15];
        }
    }
    return out;
}

void orbo_draw_sprite(kiln_bitmap* s, const kiln_bitmap& src, int x, int y)
{
    int x0 = std::max(x, s->clip_x0), x1 = int(std::min<int64_t>(int64_t(x) + src.w, s->clip_x1));
    int y0 = std::max(y, s->clip_y0), y1 = int(std::min<int64_t>(int64_t(y) + src.h, s->clip_y1));
    for (int py = y0; py < y1; py++) {
        const uint8_t* in = src.row(py - y);
        uint8_t* out = s->row(py);
        for (int px = x0; px < x1; px++)
            if (in[px - x] < 16) out[px] = in[px - x];
    }
}

void orbo_draw_sprite_pal(kiln_bitmap* s, const kiln_bitmap& sheet, const uint8_t* draw_pal, int n, int x, int y)
{
    int left = (n & 15) * 8, top = ((n >> 4) & 15) * 8;
    int x0 = std::max(x, s->clip_x0), x1 = int(std::min<int64_t>(int64_t(x) + 8, s->clip_x1));
    int y0 = std::max(y, s->clip_y0), y1 = int(std::min<int64_t>(int64_t(y) + 8, s->clip_y1));
    for (int py = y0; py < y1; py++) {
        const uint8_t* in = sheet.row(top + py - y) + left;
        uint8_t* out = s->row(py);
        for (int px = x0; px < x1; px++) {
            uint8_t e = draw_pal[in[px - x] & 15];
            if (e < 16) out[px] = e;
        }
    }
}

void orbo_stretch_blit(const kiln_bitmap& src, kiln_bitmap* s, int left, int top, int dw, int dh)
{
    if (dw == src.w && dh == src.h) {
        orbo_draw_sprite(s, src, left, top);
        return;
    }
    if (dw <= 0 || dh <= 0) return;
    int64_t xstep = (int64_t(src.w) << 16) / dw, ystep = (int64_t(src.h) << 16) / dh;
    int64_t xacc0 = xstep / 2, yacc = ystep / 2;
    int64_t x = left, y = top, w = dw, h = dh;
    if (x < s->clip_x0) {
        xacc0 += (s->clip_x0 - x) * xstep;
        w -= s->clip_x0 - x;
        x = s->clip_x0;
    }
    if (y < s->clip_y0) {
        yacc += (s->clip_y0 - y) * ystep;
        h -= s->clip_y0 - y;
        y = s->clip_y0;
    }
    w = std::min<int64_t>(w, s->clip_x1 - x);
    h = std::min<int64_t>(h, s->clip_y1 - y);
    for (int64_t j = 0; j < h; j++, yacc += ystep) {
        // The accumulators never pass the source: dw steps of sw/dw sum to at most sw.
        const uint8_t* in = src.row(int(std::min<int64_t>(yacc >> 16, src.h - 1)));
        uint8_t* out = s->row(int(y + j));
        int64_t xacc = xacc0;
        for (int64_t i = 0; i < w; i++, xacc += xstep) {
            uint8_t v = in[std::min<int64_t>(xacc >> 16, src.w - 1)];
            if (v < 16) out[x + i] = v;
        }
    }
}

void orbo_spr(orbo_machine* c, int nargs, int n, int x, int y, int32_t w, int32_t h, bool flip_x, bool flip_y)
{
    if (uint32_t(n) > 255 || !c->cart) return;
    int64_t pw = 8, ph = 8;
    if (nargs >= 4) {
        pw = (int64_t(w) * 8) >> 16;
        ph = nargs >= 5 ? (int64_t(h) * 8) >> 16 : 0;
        if (pw < 1 || ph < 1) return;
        pw = std::min<int64_t>(pw, 128);
        ph = std::min<int64_t>(ph, 128);
    }
    bool fx = nargs >= 6 && flip_x, fy = nargs >= 7 && flip_y;
    kiln_bitmap_ptr tmp = orbo_blit(*c->cart->gfx, c->draw_pal, (n & 15) * 8, (n >> 4) * 8, int(pw), int(ph), fx, fy);
    int sx = orbo_coord(int64_t(x) - c->camera_x), sy = orbo_coord(int64_t(y) - c->camera_y);
    orbo_draw_sprite(c->screen.get(), *tmp, sx, sy);
    orbo_spend_cpu(int32_t(orbo_clipped_area(c->screen.get(), sx, sy, pw, ph)));
}

void orbo_sspr(orbo_machine* c, int nargs, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh,
               bool flip_x, bool flip_y)
{
    if (!c->cart) return;
    if (nargs <= 6) {
        dw = sw;
        dh = sh;
    }
    bool fx = nargs > 8 && flip_x, fy = nargs > 9 && flip_y;
    if (sh < 1 || sh > 128 || sw < 1 || sw > 128 || dw == 0 || dh == 0) return;
    int64_t left = int64_t(dx) - c->camera_x, top = int64_t(dy) - c->camera_y;
    int64_t w = dw, h = dh;
    if (w < 0) {
        left += w;
        w = -w;
        fx = !fx;
    }
    if (h < 0) {
        top += h;
        h = -h;
        fy = !fy;
    }
    w = std::min<int64_t>(w, ORBO_COORD_MAX);
    h = std::min<int64_t>(h, ORBO_COORD_MAX);
    kiln_bitmap_ptr tmp = orbo_blit(*c->cart->gfx, c->draw_pal, sx, sy, sw, sh, fx, fy);
    orbo_stretch_blit(*tmp, c->screen.get(), orbo_coord(left), orbo_coord(top), int(w), int(h));
    orbo_spend_cpu(int32_t(orbo_clipped_area(c->screen.get(), orbo_coord(left), orbo_coord(top), w, h)));
}
