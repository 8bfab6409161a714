// The map drawn as 8x8 sprites, pruned to the cells the clip can show.
#include <algorithm>

#include "hardware/machine.h"
#include "hardware/draw_state.h"
#include "hardware/gfx.h"
#include "hardware/runtime_link.h"

void orbo_map(orbo_machine* c, int nargs, int cel_x, int cel_y, int sx, int sy, int cel_w, int cel_h, int layer)
{
    if (!c->cart) return;
    int64_t cw = 128, ch = 32;
    if (nargs >= 5) {
        cw = cel_w;
        ch = nargs >= 6 ? cel_h : 0;
        if (nargs < 7) layer = 0;
        if (cw < 1 || ch < 1) return;
    } else {
        layer = 0;
    }
    kiln_bitmap* s = c->screen.get();
    int64_t cx = cel_x, cy = cel_y;
    int64_t left = orbo_coord(int64_t(sx) - c->camera_x), top = orbo_coord(int64_t(sy) - c->camera_y);
    // Whole columns and rows left of or above the clip are skipped.
    if (left < s->clip_x0 - 7) {
        int64_t k = (s->clip_x0 - left) / 8;
        cx += k;
        cw -= k;
        left += 8 * k;
    }
    if (top < s->clip_y0 - 7) {
        int64_t k = (s->clip_y0 - top) / 8;
        cy += k;
        ch -= k;
        top += 8 * k;
    }
    int64_t cols = std::min<int64_t>(cw, (s->clip_x1 - s->clip_x0 + 7) / 8 + 1);
    int64_t rows = std::min<int64_t>(ch, (s->clip_y1 - s->clip_y0 + 7) / 8 + 1);
    if (rows < 1) return;
    const kiln_bitmap& m = *c->cart->map;
    int64_t cost = 0;
    for (int64_t j = 0; j < rows; j++) {
        for (int64_t i = 0; i < cols; i++) {
            int64_t mx = cx + i, my = cy + j;
            int v = mx >= 0 && mx < m.w && my >= 0 && my < m.h ? m.row(int(my))[mx] : 0;
            if (v == 0) continue;
            if (layer != 0 && (c->cart->flags[v] & layer) == 0) continue;
            int px = int(left + 8 * i), py = int(top + 8 * j);
            orbo_draw_sprite_pal(s, *c->cart->gfx, c->draw_pal, v, px, py);
            cost += orbo_clipped_area(s, px, py, 8, 8);
        }
    }
    orbo_spend_cpu(int32_t(cost));
}
