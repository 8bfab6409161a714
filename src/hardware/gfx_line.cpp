// Lines by a 16.16 digital differential analyser that skips the parts
// outside the clip, and the rectangles built on lines and spans.
#include <algorithm>
#include <cstdlib>

#include "hardware/machine.h"
#include "hardware/draw_state.h"
#include "hardware/gfx.h"
#include "hardware/runtime_link.h"

namespace {
// Steps whole pixels needed to cover `dist` at `step` (both positive), from
// a distance scaled by 2^32 divided by a 16.16 step.
int64_t skip_steps(int64_t dist, int64_t step) { return std::max<int64_t>(0, ((dist << 32) / step) >> 16); }
}  // namespace

int draw_line(kiln_bitmap* s, int x0, int y0, int x1, int y1, int value, uint32_t pattern)
{
    if (y1 < y0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    int64_t dy = int64_t(y1) - y0, dx = int64_t(x1) - x0;
    int64_t n = std::max(std::llabs(dx), std::llabs(dy));
    if (n == 0) n = 1;
    const int cx0 = s->clip_x0, cy0 = s->clip_y0, cx1 = s->clip_x1, cy1 = s->clip_y1;
    if (y1 < cy0 || y0 >= cy1 || (x0 < cx0 && x1 < cx0) || (x0 >= cx1 && x1 >= cx1)) return 0;
    int64_t ystep = dy * 65536 / n, xstep = dx * 65536 / n;
    // A step that truncates to 0 (a very long line with a short other axis)
    // never moves that coordinate: a start outside the clip on that axis stays
    // outside, and an end beyond it is never walked to, so it skips nothing.
    int64_t sk = 0, ek = 0;
    auto start_skip = [&](int64_t dist, int64_t step) {
        if (step <= 0) return false;
        sk = std::max(sk, skip_steps(dist, step));
        return true;
    };
    auto end_skip = [&](int64_t dist, int64_t step) {
        if (step > 0) ek = std::max(ek, skip_steps(dist, step));
    };
    if (y0 < cy0 && !start_skip(cy0 - y0, ystep)) return 0;
    if (x0 < cx0 && !start_skip(cx0 - x0, xstep)) return 0;
    if (x0 >= cx1 && !start_skip(int64_t(x0) - cx1 + 1, -xstep)) return 0;
    if (y1 >= cy1) end_skip(int64_t(y1) - cy1 + 1, ystep);
    if (x1 < cx0) end_skip(cx0 - x1, -xstep);
    if (x1 >= cx1) end_skip(int64_t(x1) - cx1 + 1, xstep);
    if (sk > 0) sk--;
    int64_t x = int64_t(x0) * 65536 + 0x8000 + sk * xstep;
    int64_t y = int64_t(y0) * 65536 + 0x8000 + sk * ystep;
    int64_t steps = n - sk - std::max<int64_t>(ek - 1, 0);
    if (steps < 0) return 0;
    for (int64_t i = 0; i <= steps; i++) {
        putpixel(s, int(x >> 16), int(y >> 16), value, pattern);
        x += xstep;
        y += ystep;
    }
    return int(steps);
}

void orbo_line(orbo_machine* c, int nargs, int x0, int y0, int x1, int y1, int32_t col)
{
    int value = orbo_drawn_value(c, orbo_colour_arg(c, nargs >= 5, col));
    int steps = draw_line(c->screen.get(), orbo_coord(int64_t(x0) - c->camera_x), orbo_coord(int64_t(y0) - c->camera_y),
                          orbo_coord(int64_t(x1) - c->camera_x), orbo_coord(int64_t(y1) - c->camera_y), value,
                          c->fill_pattern);
    orbo_spend_cpu(steps / 2 + 1);
}

namespace {
// The outline's charge: a quarter per pixel of each visible horizontal edge,
// half per pixel of each visible vertical edge between them; -1 (no charge
// at all) when the rectangle lies wholly outside the clip.
int64_t rect_cost(const kiln_bitmap* s, int xa, int ya, int xb, int yb)
{
    if (xa > xb) std::swap(xa, xb);
    if (ya > yb) std::swap(ya, yb);
    if (yb < s->clip_y0 || ya >= s->clip_y1 || xb < s->clip_x0 || xa >= s->clip_x1) return -1;
    auto cx = [&](int v) { return std::clamp(v, s->clip_x0, s->clip_x1 - 1); };
    auto cy = [&](int v) { return std::clamp(v, s->clip_y0, s->clip_y1 - 1); };
    int64_t w = cx(xb) - cx(xa), h = std::max(cy(yb) - cy(ya) - 1, 0);
    int64_t cost = 0;
    if (ya >= s->clip_y0) cost += (w + 3) / 4;
    if (yb < s->clip_y1) cost += (w + 3) / 4;
    if (xa >= s->clip_x0) cost += h / 2;
    if (xb < s->clip_x1) cost += h / 2;
    return cost;
}
}  // namespace

void orbo_rect(orbo_machine* c, int nargs, int x0, int y0, int x1, int y1, int32_t col)
{
    int value = orbo_drawn_value(c, orbo_colour_arg(c, nargs >= 5, col));
    kiln_bitmap* s = c->screen.get();
    int xa = orbo_coord(int64_t(x0) - c->camera_x), ya = orbo_coord(int64_t(y0) - c->camera_y);
    int xb = orbo_coord(int64_t(x1) - c->camera_x), yb = orbo_coord(int64_t(y1) - c->camera_y);
    draw_line(s, xa, ya, xb, ya, value, c->fill_pattern);
    draw_line(s, xa, yb, xb, yb, value, c->fill_pattern);
    draw_line(s, xa, ya, xa, yb, value, c->fill_pattern);
    draw_line(s, xb, ya, xb, yb, value, c->fill_pattern);
    if (int64_t cost = rect_cost(s, xa, ya, xb, yb); cost >= 0) orbo_spend_cpu(int32_t(cost));
}

void orbo_rectfill(orbo_machine* c, int nargs, int x0, int y0, int x1, int y1, int32_t col)
{
    int value = orbo_drawn_value(c, orbo_colour_arg(c, nargs >= 5, col));
    kiln_bitmap* s = c->screen.get();
    int xa = orbo_coord(int64_t(x0) - c->camera_x), ya = orbo_coord(int64_t(y0) - c->camera_y);
    int xb = orbo_coord(int64_t(x1) - c->camera_x), yb = orbo_coord(int64_t(y1) - c->camera_y);
    if (xa > xb) std::swap(xa, xb);
    if (ya > yb) std::swap(ya, yb);
    // Rows outside the clip draw nothing, so only the clipped rows are walked.
    for (int y = std::max(ya, s->clip_y0); y <= std::min(yb, s->clip_y1 - 1); y++)
        draw_hline(s, xa, xb, y, value, c->fill_pattern);
    int64_t area = orbo_clipped_area(s, xa, ya, int64_t(xb) - xa + 1, int64_t(yb) - ya + 1);
    orbo_spend_cpu(int32_t(area >> 4));
}
