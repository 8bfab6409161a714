#include "cart/cart_file.h"

#include <cstring>
#include <vector>

#include "cart/cart_image.h"
#include "cart/cart_png.h"
#include "cart/cart_text.h"
#include "cart/file_util.h"
#include "cart/legacy.h"
#include "cart/rom.h"

orbo_cart_ptr orbo_load_cart_file(const std::string& path)
{
    orbo_cart_ptr cart = load_orbo_cart_png(path.c_str());
    if (cart) return cart;
    cart = orbo_load_cart(path.c_str());
    if (cart || path.find(".bin") == std::string::npos) return cart;
    std::vector<unsigned char> bytes;
    if (!orbo_read_file(path, &bytes, ORBO_32K_SIZE) || bytes.size() < size_t(ORBO_ROM_SIZE)) return nullptr;
    bytes.resize(ORBO_32K_SIZE, 0);
    cart = orbo_cart_from_32k(bytes.data(), bytes.size());
    cart->version = ORBO_CART_VERSION;  // the image form carries no version: it is the current one
    return cart;
}

int orbo_save_cart_file(const orbo_cart* cart, const std::string& path)
{
    if (path.find(".png") != std::string::npos) return save_orbo_cart_png(cart, path.c_str());
    if (path.ends_with(".bin")) {
        std::vector<uint8_t> block(ORBO_32K_SIZE);
        if (save_orbo_cart_32k(cart, block.data())) return 1;
        return kiln_write_file_atomic(path, block.data(), block.size()) ? 0 : 2;
    }
    return orbo_save_cart(cart, path.c_str()) ? 2 : 0;
}

void orbo_convert_loaded_cart(orbo_cart* cart)
{
    apply_legacy_changes(cart);
    if (orbo_cart_lower_map_used(cart))
        sync_shared_map_to_gfx(cart);
    else
        sync_shared_gfx_to_map(cart);
}
