// Text cartridges: any bytes load without a fault, and whatever loads writes
// a text that loads back to the same text.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cart/cart_text.h"
#include "cart/legacy.h"
#include "platform/log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (kiln_log_set_stdout(false), true);
    (void)quiet;
    FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!f) return 0;
    orbo_cart_ptr cart = orbo_load_cart_from_file(f);
    fclose(f);
    if (!cart) return 0;
    std::string text = orbo_cart_to_text(cart.get());
    FILE* g = fmemopen(text.data(), text.size(), "rb");
    orbo_cart_ptr again = orbo_load_cart_from_file(g);
    fclose(g);
    if (!again || orbo_cart_to_text(again.get()) != text) abort();
    apply_legacy_changes(cart.get());
    return 0;
}
