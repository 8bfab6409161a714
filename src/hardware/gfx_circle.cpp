// Midpoint circles: outlines plotted as eight-way symmetric points, filled
// circles as symmetric spans.
#include <algorithm>

#include "hardware/machine.h"
#include "hardware/draw_state.h"
#include "hardware/gfx.h"
#include "hardware/runtime_link.h"

void draw_circle(kiln_bitmap* s, int cx, int cy, int r, int value, uint32_t pattern)
{
    if (r < 0) return;
    int x = r, y = 0, d = 1 - r;
    while (x >= y) {
        putpixel(s, cx + x, cy + y, value, pattern);
        putpixel(s, cx - x, cy + y, value, pattern);
        putpixel(s, cx + x, cy - y, value, pattern);
        putpixel(s, cx - x, cy - y, value, pattern);
        putpixel(s, cx + y, cy + x, value, pattern);
        putpixel(s, cx - y, cy + x, value, pattern);
        putpixel(s, cx + y, cy - x, value, pattern);
        putpixel(s, cx - y, cy - x, value, pattern);
        y++;
        if (d >= 0) {
            x--;
            d += 2 * (y - x) + 1;
        } else {
            d += 2 * y + 1;
        }
    }
}

void draw_fillcircle(kiln_bitmap* s, int cx, int cy, int r, int value, uint32_t pattern)
{
    if (r < 0) return;
    int x = r, y = 0, d = 1 - r;
    while (y <= x) {
        draw_hline(s, cx - x, cx + x, cy + y, value, pattern);
        draw_hline(s, cx - x, cx + x, cy - y, value, pattern);
        if (d >= 0) {
            draw_hline(s, cx - y, cx + y, cy + x, value, pattern);
            draw_hline(s, cx - y, cx + y, cy - x, value, pattern);
            y++;
            x--;
            d += 2 * (y - x) + 1;
        } else {
            y++;
            d += 2 * y + 1;
        }
    }
}

namespace {
// Radii are capped so that the loops stay bounded for any caller; a script's
// radius (an integer part, below 32768) never reaches the cap.
constexpr int k_radius_max = 1 << 17;

bool box_meets_clip(const kiln_bitmap* s, int64_t cx, int64_t cy, int64_t r)
{
    return cx + r >= s->clip_x0 && cx - r < s->clip_x1 && cy + r >= s->clip_y0 && cy - r < s->clip_y1;
}
}  // namespace

void orbo_circ(orbo_machine* c, int nargs, int x, int y, int r, int32_t col)
{
    if (nargs < 2) return;
    if (nargs < 3) r = 4;
    int value = orbo_drawn_value(c, orbo_colour_arg(c, nargs >= 4, col));
    if (r < 0) return;
    r = std::min(r, k_radius_max);
    kiln_bitmap* s = c->screen.get();
    int cx = orbo_coord(int64_t(x) - c->camera_x), cy = orbo_coord(int64_t(y) - c->camera_y);
    draw_circle(s, cx, cy, r, value, c->fill_pattern);
    if (!box_meets_clip(s, cx, cy, r)) return;
    int64_t bottom = std::max<int64_t>(std::min<int64_t>(s->clip_y1, int64_t(cy) + r), s->clip_y0);
    int64_t top = std::max<int64_t>(int64_t(cy) - r, s->clip_y0);
    orbo_spend_cpu(int32_t((bottom - top) * 2 + 2));
}

void orbo_circfill(orbo_machine* c, int nargs, int x, int y, int r, int32_t col)
{
    if (nargs < 2) return;
    if (nargs < 3) r = 4;
    if (r < 0) return;  // the colour argument is not read then
    r = std::min(r, k_radius_max);
    int value = orbo_drawn_value(c, orbo_colour_arg(c, nargs >= 4, col));
    kiln_bitmap* s = c->screen.get();
    int cx = orbo_coord(int64_t(x) - c->camera_x), cy = orbo_coord(int64_t(y) - c->camera_y);
    draw_fillcircle(s, cx, cy, r, value, c->fill_pattern);
    int64_t side = 2 * int64_t(r) + 1;
    int64_t area = orbo_clipped_area(s, int64_t(cx) - r, int64_t(cy) - r, side, side);
    orbo_spend_cpu(int32_t(std::min<int64_t>(2 * int64_t(r) + (area >> 4), INT32_MAX)));
}
