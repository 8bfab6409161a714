// The 16 console colours as RGB, used to draw labels into PNG cartridges and
// to read them back. The shell installs the display palette at start; until
// then a built-in palette stands in.
#pragma once
#include <cstdint>

struct orbo_rgb {
    uint8_t r, g, b;
};

const orbo_rgb* orbo_cart_palette();
// rgb holds 16 entries of red, green, blue.
void orbo_cart_set_palette(const uint8_t rgb[48]);
// The console colour nearest to an RGB value (squared distance; ties to the
// lower index).
int orbo_nearest_colour(int r, int g, int b);
