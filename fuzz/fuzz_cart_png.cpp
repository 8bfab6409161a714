// PNG cartridges. Input beginning with the PNG signature is loaded as a PNG
// file: any bytes load without a fault, and a loaded record saves and loads
// back to the same text. Any other input is the hidden data block itself
// (zero-padded), so the ROM and code parsing behind the pixels is reached
// without having to get past the PNG checksums.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cart/cart_image.h"
#include "cart/cart_png.h"
#include "cart/cart_text.h"
#include "platform/log.h"

namespace {
// The decoder cuts an old 60 fps shim from the end of the code, so a code
// ending in one need not survive a second trip.
bool has_shim(const orbo_cart* cart) { return cart->code.find("_update60()") != std::string::npos; }

void check_png(const uint8_t* data, size_t size)
{
    int status = -1;
    orbo_cart_ptr cart = load_orbo_cart_png_from_memory(data, size, &status, true);
    if (!cart) return;
    std::vector<unsigned char> png;
    if (orbo_cart_png_bytes(cart.get(), &png) != 0) return;
    orbo_cart_ptr again = load_orbo_cart_png_from_memory(png.data(), png.size(), &status, true);
    if (!again || (!has_shim(cart.get()) && orbo_cart_to_text(again.get()) != orbo_cart_to_text(cart.get()))) abort();
}

void check_block(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> block(ORBO_IMAGE_SIZE, 0);
    memcpy(block.data(), data, std::min(size, block.size()));
    orbo_cart_ptr cart = orbo_create_cart();
    orbo_image_to_cart(cart.get(), block.data());
    if (cart->code.size() > 65537) abort();
    std::vector<uint8_t> again(ORBO_32K_SIZE);
    if (save_orbo_cart_32k(cart.get(), again.data()) != 0) return;
    orbo_cart_ptr back = orbo_cart_from_32k(again.data(), again.size());
    if (!back || (!has_shim(cart.get()) && orbo_cart_to_text(back.get()) != orbo_cart_to_text(cart.get()))) abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (kiln_log_set_stdout(false), true);
    (void)quiet;
    if (size >= 8 && memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0)
        check_png(data, size);
    else
        check_block(data, size);
    return 0;
}
