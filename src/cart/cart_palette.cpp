#include "cart/cart_palette.h"

namespace {
// The console colours of the shipped display palette (data/palette.txt).
orbo_rgb g_palette[16] = {
    {0x00, 0x00, 0x00}, {0x1c, 0x24, 0x48}, {0x6e, 0x3a, 0x8c}, {0x1f, 0x6e, 0x4c},
    {0x8c, 0x54, 0x34}, {0x5c, 0x58, 0x66}, {0xb9, 0xb5, 0xc0}, {0xf6, 0xf2, 0xe9},
    {0xe0, 0x34, 0x3f}, {0xff, 0x9b, 0x30}, {0xff, 0xdf, 0x4c}, {0x52, 0xcc, 0x5a},
    {0x3f, 0xa9, 0xf2}, {0x9a, 0x86, 0xe0}, {0xff, 0x6f, 0x9c}, {0xff, 0xc8, 0xa2},
};
}  // namespace

const orbo_rgb* orbo_cart_palette() { return g_palette; }

void orbo_cart_set_palette(const uint8_t rgb[48])
{
    for (int i = 0; i < 16; i++) g_palette[i] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
}

int orbo_nearest_colour(int r, int g, int b)
{
    int best = 0, best_d = 1 << 30;
    for (int i = 0; i < 16; i++) {
        int dr = r - g_palette[i].r, dg = g - g_palette[i].g, db = b - g_palette[i].b;
        int d = dr * dr + dg * dg + db * db;
        if (d < best_d) {
            best_d = d;
            best = i;
        }
    }
    return best;
}
