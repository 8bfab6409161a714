#include "cart/cart_palette.h"

namespace {
orbo_rgb g_palette[16] = {
    {0, 0, 0},       {30, 38, 72},    {110, 36, 86},   {26, 112, 76},  {138, 84, 50},   {84, 82, 96},
    {178, 176, 188}, {248, 244, 236}, {230, 54, 70},   {246, 150, 46}, {246, 222, 78},  {84, 206, 96},
    {66, 166, 230},  {128, 118, 176}, {238, 134, 182}, {246, 202, 162},
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
