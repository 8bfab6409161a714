#include <cstdio>

#include "cart/cart_file.h"
#include "cart/cart_image.h"
#include "cart/compress.h"
#include "commands.h"
#include "engine/token/token.h"
#include "platform/log.h"

// orbotool cartinfo FILE: hash, format version, code size, compressed size
// and token count of a cartridge as the console prepares it for use.
int cmd_cartinfo(int argc, char** argv)
{
    if (argc != 1) {
        orbotool_usage("cartinfo", stderr);
        return 2;
    }
    kiln_log_set_stdout(false);  // legacy notices would mix with the report
    orbo_cart_ptr cart = orbo_load_cart_file(argv[0]);
    if (!cart) {
        fprintf(stderr, "orbotool: cannot load cartridge %s\n", argv[0]);
        return 1;
    }
    int version = cart->version;
    orbo_convert_loaded_cart(cart.get());
    printf("hash: %s\n", hash_cart(cart.get()).c_str());
    printf("version: %d\n", version);
    printf("code: %zu chars\n", cart->code.size());
    printf("compressed: %zu bytes\n", compress_mini(cart->code).size());
    printf("tokens: %d\n", count_tokens(cart->code.c_str()));
    return 0;
}
