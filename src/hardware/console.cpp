#include "hardware/console.h"

#include <algorithm>

#include "hardware/mem.h"
#include "hardware/seams.h"

void kiln_set_clip(kiln_bitmap* bm, int x0, int y0, int x1, int y1)
{
    bm->clip_x0 = std::max(x0, 0);
    bm->clip_y0 = std::max(y0, 0);
    bm->clip_x1 = std::min(x1, bm->w);
    bm->clip_y1 = std::min(y1, bm->h);
}

void kiln_reset_clip(kiln_bitmap* bm) { kiln_set_clip(bm, 0, 0, bm->w, bm->h); }

std::unique_ptr<orbo_console> orbo_create_console(orbo_cart* cart)
{
    auto c = std::make_unique<orbo_console>();
    c->screen = kiln_create_bitmap(ORBO_SCREEN, ORBO_SCREEN, 8);
    c->cart = cart;
    orbo_reset_draw_state(c.get());
    return c;
}

void orbo_reset_draw_state(orbo_console* c)
{
    int keep_y = c->cursor_y;
    orbo_memset(c, c->cart, 0x5F00, 0, 0x80);
    c->cursor_x = 0;
    c->cursor_y = keep_y;
    c->pen = 6;
    c->camera_x = c->camera_y = 0;
    for (int i = 0; i < 16; i++) c->draw_pal[i] = c->screen_pal[i] = uint8_t(i);
    c->draw_pal[0] = 16;
    c->screen_mode = 0;
    c->clip[0] = c->clip[1] = 0;
    c->clip[2] = c->clip[3] = 128;
    kiln_reset_clip(c->screen.get());
    c->fill_pattern = 0;
    c->devkit_keyboard_shown = c->devkit_mouse_shown = false;
    gpio_open();
}

namespace {
orbo_console* g_live = nullptr;
}

orbo_console* orbo_live_console() { return g_live; }
void orbo_set_live_console(orbo_console* c) { g_live = c; }
