#include "cart/cart_loader.h"

#include <vector>

#include "cart/cart_png.h"
#include "cart/cart_text.h"
#include "cart/vdisk.h"

orbo_cart_ptr orbo_load_cart_via_kiln(const std::string& path)
{
    if (path.empty()) return nullptr;
    FILE* f = orbo_fopen(path.c_str(), "rb");
    if (!f) return nullptr;
    std::vector<unsigned char> bytes;
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0 && bytes.size() < (size_t(64) << 20))
        bytes.insert(bytes.end(), buf, buf + n);
    orbo_cart_ptr cart = load_orbo_cart_png_from_memory(bytes.data(), bytes.size(), nullptr, true);
    if (!cart) {
        rewind(f);
        cart = orbo_load_cart_from_file(f);
    }
    fclose(f);
    return cart;
}
