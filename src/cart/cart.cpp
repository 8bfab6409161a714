#include "cart/cart.h"

#include <algorithm>

namespace {
constexpr int k_max_hooks = 8;
orbo_cart_release_fn g_release_hooks[k_max_hooks] = {};
}  // namespace

void orbo_add_cart_release_hook(orbo_cart_release_fn fn)
{
    for (auto& h : g_release_hooks)
        if (h == fn) return;
    for (auto& h : g_release_hooks)
        if (!h) {
            h = fn;
            return;
        }
}

void orbo_remove_cart_release_hook(orbo_cart_release_fn fn)
{
    for (auto& h : g_release_hooks)
        if (h == fn) h = nullptr;
}

orbo_cart_ptr orbo_create_cart()
{
    orbo_cart_ptr cart(new orbo_cart);
    cart->gfx = kiln_create_bitmap(128, 128, 8);
    cart->map = kiln_create_bitmap(128, 64, 8);
    cart->sfx[0].speed = orbo_default_sfx_speed(0);
    for (auto& pattern : cart->music)
        for (int k = 0; k < 4; k++) pattern[k] = orbo_default_channel(k);
    return cart;
}

void orbo_destroy_cart(orbo_cart* cart)
{
    if (!cart) return;
    for (auto h : g_release_hooks)
        if (h) h(cart);
    delete cart;
}

orbo_cart_ptr orbo_copy_cart(const orbo_cart& src)
{
    orbo_cart_ptr cart(new orbo_cart);
    cart->code = src.code;
    cart->gfx = std::make_unique<kiln_bitmap>(*src.gfx);
    cart->map = std::make_unique<kiln_bitmap>(*src.map);
    std::copy(std::begin(src.sfx), std::end(src.sfx), std::begin(cart->sfx));
    for (int p = 0; p < 64; p++)
        for (int k = 0; k < 4; k++) cart->music[p][k] = src.music[p][k];
    std::copy(std::begin(src.music_flags), std::end(src.music_flags), std::begin(cart->music_flags));
    std::copy(std::begin(src.flags), std::end(src.flags), std::begin(cart->flags));
    if (src.label) cart->label = std::make_unique<kiln_bitmap>(*src.label);
    cart->version = src.version;
    return cart;
}
