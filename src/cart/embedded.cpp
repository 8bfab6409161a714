#include "cart/embedded.h"

#include <vector>

#include "cart/cart_env.h"
#include "cart/cart_file.h"
#include "cart/code_tabs.h"
#include "cart/cart_image.h"
#include "cart/cart_text.h"
#include "cart/vdisk.h"
#include "cart/working_cart.h"
#include "platform/log.h"
#include "platform/pod.h"

namespace {
struct embedded_entry {
    std::string hash, name;
};
std::vector<embedded_entry> g_embedded;

constexpr int k_head_cart_item = 3;
constexpr int k_first_embedded_item = 4;

// The head cart as booted: its image and the file name it was given (the
// sandboxed cstore name of its hash, for it has no file of its own).
std::vector<uint8_t> g_head_image;
std::string g_head_name;

bool boot_image(const uint8_t* image, size_t len)
{
    orbo_cart_ptr cart = orbo_cart_from_32k(image, len);
    if (!cart) return false;
    cart->version = ORBO_CART_VERSION;
    prepare_loaded_cart(std::move(cart), nullptr);
    return true;
}
}  // namespace

// The hash is that of the cartridge as loading its text form gives it, so
// that the entry, a load by name and its sandboxed cstore file agree (the
// text form of an empty sprite sheet reads back with the sprite-0 mark).
bool mount_embedded_cart(const orbo_cart* cart, const char* name)
{
    if (int(g_embedded.size()) >= ORBO_EMBEDDED_MAX) return false;
    FILE* f = orbo_fopen_vdisk(name, "w");
    if (!f) return false;
    int r = orbo_save_cart_to_file(cart, f);
    fclose(f);
    std::string hash = hash_cart(cart);
    f = orbo_fopen_vdisk(name, "r");
    orbo_cart_ptr loaded = f ? orbo_load_cart_from_file(f) : nullptr;
    if (f) fclose(f);
    if (loaded) {
        orbo_convert_loaded_cart(loaded.get());
        loaded->code = orbo_normalise_tabs(loaded->code);
        hash = hash_cart(loaded.get());
    }
    g_embedded.push_back({hash, std::string(name).substr(0, 255)});
    kiln_debug("@ mount_embedded_cart: %s %s\n", hash.c_str(), name);
    return r == 0;
}

void clear_embedded_carts() { g_embedded.clear(); }

int orbo_embedded_cart_count() { return int(g_embedded.size()); }

std::string get_embedded_cart_hash_for_filename(const char* name, bool variants)
{
    std::string names[3] = {name};
    int count = 1;
    if (variants) {
        names[1] = inject_ob_extention(name);
        names[2] = names[1] + ".png";
        count = 3;
    }
    for (const auto& e : g_embedded)
        for (int i = 0; i < count; i++)
            if (e.name == names[i]) return e.hash;
    return {};
}

std::string get_embedded_cart_filename_for_hash(const char* hash)
{
    for (const auto& e : g_embedded)
        if (e.hash == hash) return e.name;
    return {};
}

bool orbo_boot_head_cart_image(const uint8_t* image, size_t len)
{
    if (!boot_image(image, len)) return false;
    g_head_image.assign(image, image + len);
    g_head_name = orbo_working().filename;
    return true;
}

bool orbo_reboot_head_cart(const std::string& name)
{
    return !g_head_name.empty() && name == g_head_name && boot_image(g_head_image.data(), g_head_image.size());
}

int orbo_boot_head_cart(const kiln_pod* data)
{
    clear_embedded_carts();
    const kiln_file* head = kiln_pod_file(data, k_head_cart_item);
    if (!head || !orbo_boot_head_cart_image(head->bytes.data(), head->bytes.size())) {
        orbo_cart_print("head cart not found\n", 6);
        return 1;
    }
    orbo_mount_embedded_items(data);
    return 0;
}

void orbo_mount_embedded_items(const kiln_pod* data)
{
    for (int i = k_first_embedded_item; data && i < int(data->items.size()); i++) {
        const kiln_file* item = kiln_pod_file(data, i);
        if (!item) continue;
        orbo_cart_ptr e = orbo_cart_from_32k(item->bytes.data(), item->bytes.size());
        if (!e) continue;
        e->version = ORBO_CART_VERSION;
        mount_embedded_cart(e.get(), item->name.c_str());
    }
}
