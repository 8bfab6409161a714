#include <cstdio>
#include <string>

#include "cart/cart_file.h"
#include "cart/cart_png.h"
#include "cart/rom.h"
#include "commands.h"

// orbotool convert IN OUT: a cartridge in any format to the format OUT's name
// selects (".ob.png", ".bin", else text).
int cmd_convert(int argc, char** argv)
{
    if (argc != 2) {
        fputs("usage: orbotool convert IN OUT\n", stderr);
        return 2;
    }
    orbo_cart_ptr cart = orbo_load_cart_file(argv[0]);
    if (!cart) {
        fprintf(stderr, "orbotool: cannot load cartridge %s\n", argv[0]);
        return 1;
    }
    // The image forms carry map rows 32..63 only in the sprite sheet.
    if (orbo_cart_lower_map_used(cart.get())) sync_shared_map_to_gfx(cart.get());
    int r = orbo_save_cart_file(cart.get(), argv[1]);
    if (r == 1) {
        fprintf(stderr, "orbotool: code too large for %s\n", argv[1]);
        return 1;
    }
    if (r) {
        fprintf(stderr, "orbotool: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
