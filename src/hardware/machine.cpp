#include "hardware/machine.h"
#include "hardware/mem_map.h"

#include "cart/working_cart.h"

#include <algorithm>

#include "hardware/mem.h"
#include "hardware/runtime_link.h"

void orbo_set_clip(kiln_bitmap* bm, int x0, int y0, int x1, int y1)
{
    bm->clip_x0 = std::max(x0, 0);
    bm->clip_y0 = std::max(y0, 0);
    bm->clip_x1 = std::min(x1, bm->w);
    bm->clip_y1 = std::min(y1, bm->h);
}

void orbo_reset_clip(kiln_bitmap* bm) { orbo_set_clip(bm, 0, 0, bm->w, bm->h); }

std::unique_ptr<orbo_machine> orbo_create_machine(orbo_cart* cart)
{
    auto c = std::make_unique<orbo_machine>();
    c->screen = kiln_create_bitmap(ORBO_SCREEN, ORBO_SCREEN, 8);
    c->cart = cart;
    orbo_reset_draw_state(c.get());
    return c;
}

void orbo_reset_draw_state(orbo_machine* c)
{
    int keep_y = c->cursor_y;
    orbo_memset(c, c->cart, orbo_base(ORBO_R_DRAW), 0, 0x80);
    c->cursor_x = 0;
    c->cursor_y = keep_y;
    c->pen = 6;
    c->camera_x = c->camera_y = 0;
    for (int i = 0; i < 16; i++) c->draw_pal[i] = c->screen_pal[i] = uint8_t(i);
    c->draw_pal[0] = 16;
    c->screen_mode = 0;
    c->clip[0] = c->clip[1] = 0;
    c->clip[2] = c->clip[3] = 128;
    orbo_reset_clip(c->screen.get());
    c->fill_pattern = 0;
    c->devkit_keyboard_shown = c->devkit_mouse_shown = false;
    gpio_open();
}

int orbo_reset_glitch = 0;

// GPIO pins: 128 plain bytes of shadow memory in this console.
int gpio_read(orbo_machine* c, int pin) { return c && pin >= 0 && pin < 128 ? c->mem[orbo_base(ORBO_R_GPIO) + pin] : 0; }

void gpio_write(orbo_machine* c, int pin, int value)
{
    if (c && pin >= 0 && pin < 128) c->mem[orbo_base(ORBO_R_GPIO) + pin] = uint8_t(value);
}

void gpio_open() {}
void gpio_close() {}

namespace {
std::unique_ptr<orbo_machine> g_live;
kiln_font_ptr g_font;
}  // namespace

orbo_machine* orbo_live_machine()
{
    if (!g_live) orbo_recreate_live_machine();
    return g_live.get();
}

void orbo_recreate_live_machine()
{
    g_live = orbo_create_machine(orbo_working().cart.get());
    g_live->font = g_font.get();
}

void orbo_set_console_font(kiln_font_ptr font)
{
    g_font = std::move(font);
    orbo_live_machine()->font = g_font.get();
}

const kiln_font* orbo_console_font() { return g_font.get(); }
