// PNG cartridges: any bytes load without a fault; a loaded record saves and
// loads back to the same text.
#include <cstdlib>
#include <vector>

#include "cart/cart_png.h"
#include "cart/cart_text.h"
#include "platform/log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (kiln_log_set_stdout(false), true);
    (void)quiet;
    int status = -1;
    orbo_cart_ptr cart = load_orbo_cart_png_from_memory(data, size, &status);
    if (!cart) return 0;
    std::vector<unsigned char> png;
    if (orbo_cart_png_bytes(cart.get(), &png) != 0) return 0;
    orbo_cart_ptr again = load_orbo_cart_png_from_memory(png.data(), png.size(), &status);
    if (!again || orbo_cart_to_text(again.get()) != orbo_cart_to_text(cart.get())) abort();
    return 0;
}
