// Sprite-sheet pixels, map cells and sprite flags as the scripts see them.
// Writes to the shared half keep the sprite and map views equal.
#include "cart/rom.h"
#include "hardware/machine.h"
#include "hardware/gfx.h"
#include "hardware/mem.h"

int orbo_sget(orbo_machine* c, int x, int y)
{
    if (!c->cart || x < 0 || x >= 128 || y < 0 || y >= 128) return 0;
    return c->cart->gfx->row(y)[x];
}

void orbo_sset(orbo_machine* c, int nargs, int x, int y, int col)
{
    if (x < 0 || x >= 128 || y < 0 || y >= 128) return;
    if (nargs < 3) col = 0;
    int addr = y * 64 + x / 2;
    int b = orbo_peek(c, c->cart, addr);
    b = x & 1 ? (b & 0x0f) | (col & 15) << 4 : (b & 0xf0) | (col & 15);
    orbo_poke(c, c->cart, addr, b);
}

int orbo_mget(orbo_machine* c, int x, int y)
{
    if (!c->cart || x < 0 || x >= 128 || y < 0 || y >= 64) return 0;
    return c->cart->map->row(y)[x];
}

void orbo_mset(orbo_machine* c, int x, int y, int v)
{
    if (!c->cart || x < 0 || x >= 128 || y < 0 || y >= 64) return;
    // The ROM byte of the cell: the shared half updates the sprite pixels too.
    int addr = y < 32 ? 0x2000 + y * 128 + x : 0x1000 + (y - 32) * 128 + x;
    orbo_rom_poke(c->cart, addr, v & 255);
}

int orbo_fget(orbo_machine* c, int nargs, int n, int f)
{
    if (nargs < 1) return -1;
    bool in = c->cart && n >= 0 && n < 256;
    if (nargs < 2) return in ? c->cart->flags[n] & 0xff : 0;
    return in && f >= 0 && f < 8 ? (c->cart->flags[n] >> f) & 1 : 0;
}

void orbo_fset(orbo_machine* c, int nargs, int n, int a2, bool truth)
{
    if (nargs < 2 || uint32_t(n) > 255 || !c->cart) return;
    int32_t& flags = c->cart->flags[n];
    if (nargs == 2) {
        flags = a2 & 255;
        return;
    }
    if (uint32_t(a2) > 7) return;
    flags = truth ? flags | (1 << a2) : flags & ~(1 << a2);
}
