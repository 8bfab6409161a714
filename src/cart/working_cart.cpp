#include "cart/working_cart.h"

#include <sys/stat.h>

#include <vector>

#include "cart/cart_env.h"
#include "cart/cart_file.h"
#include "cart/cart_image.h"
#include "cart/cart_loader.h"
#include "cart/cart_png.h"
#include "cart/cart_text.h"
#include "cart/compress.h"
#include "cart/embedded.h"
#include "cart/file_util.h"
#include "cart/legacy.h"
#include "cart/rom.h"

namespace {

constexpr size_t k_backup_copy_max = 1048576;

const char k_over_size[] = "program over size limit\n";

bool label_is_blank(const orbo_cart* cart)
{
    const kiln_bitmap* l = cart->label.get();
    if (!l || l->pixels.empty()) return true;
    for (uint8_t p : l->pixels)
        if (p != l->pixels[0]) return false;
    return true;
}

// Size checks and warnings before a save; false when the save must stop.
bool check_sizes(const std::string& path)
{
    const std::string& code = orbo_working().cart->code;
    std::vector<uint8_t> bytes;
    int size = 0;
    bool fits = orbo_code_for_image(code, &bytes, &size);
    if (path.find(".png") != std::string::npos) {
        if (!fits) {
            orbo_cart_print("compressed code size too large\n", 8);
            orbo_cart_printf(8, "%d / %d bytes", size, ORBO_COMPRESSED_MAX);
            return false;
        }
        if (label_is_blank(orbo_working().cart.get())) {
            orbo_cart_print("warning: label is blank", 9);
            orbo_cart_print("run cart and use f7 to capture", 10);
        }
    } else if (size > ORBO_COMPRESSED_MAX) {
        orbo_cart_print("warning: compressed code too big", 9);
        orbo_cart_print("to be exported or saved as png", 9);
        orbo_cart_printf(9, "%d / %d bytes", size, ORBO_COMPRESSED_MAX);
        orbo_cart_print("(saving .ob anyway)\n", 9);
    }
    return true;
}

// Steps after the size limit: checks, backup, write. 0 on success.
int save_checked(const std::string& path)
{
    orbo_working_state& w = orbo_working();
    if (!check_sizes(path)) return 1;
    std::string name = inject_ob_extention(path);
    if (name != w.filename && orbo_file_exists(name)) {
        save_backup(name.c_str(), true);
        orbo_cart_message("** overwriting; saved backup **", 2500);
    }
    if (orbo_save_cart_file(w.cart.get(), name) != 0) {
        orbo_cart_message("** failed to save **", 1500);
        return 1;
    }
    w.filename = name;
    w.hash = hash_cart(w.cart.get());
    return 0;
}

void make_folder(const std::string& path) { mkdir(path.c_str(), 0755); }

}  // namespace

// Kept for the life of the process and never destroyed at exit: destroying
// the record runs the release hooks of subsystems that may be gone by then.
orbo_working_state& orbo_working()
{
    static orbo_working_state* state = new orbo_working_state;
    if (!state->cart) state->cart = orbo_create_cart();
    return *state;
}

void orbo_merge_working_tabs() { orbo_working().cart->code = merge_code_from_tabs(orbo_working().tabs); }

void orbo_split_working_tabs() { split_code_to_tabs(&orbo_working().tabs, orbo_working().cart->code); }

std::string inject_ob_extention(const std::string& name)
{
    if (name.find(".ob") != std::string::npos) return name;
    orbo_path_parts p = orbo_split_path(name);
    if (p.ext.find(".png") != std::string::npos) return p.dir + p.base + ".ob" + p.ext;
    return p.dir + p.base + p.ext + ".ob";
}

void orbo_mark_working_cart_graphics()
{
    kiln_bitmap& gfx = *orbo_working().cart->gfx;
    for (int i = 0; i < 4; i++) {
        cart_px(gfx, 2 + i, 2 + i) = 7;
        cart_px(gfx, 5 - i, 2 + i) = 7;
    }
}

std::string get_sandboxed_cstore_filename(const std::string& hash)
{
    return orbo_cart_root_path("cstore/__" + hash + ".ob");
}

std::string orbo_prefix_with_cstore_path(const std::string& name, const std::string& prefix)
{
    return orbo_cart_root_path("cstore/" + prefix + name);
}

void prepare_loaded_cart(orbo_cart_ptr cart, const char* path)
{
    orbo_working_state& w = orbo_working();
    w.cart = std::move(cart);
    orbo_cart* c = w.cart.get();
    if (orbo_cart_lower_map_used(c))
        sync_shared_map_to_gfx(c);
    else
        sync_shared_gfx_to_map(c);
    w.tabs.current = 0;
    orbo_split_working_tabs();
    orbo_merge_working_tabs();
    w.hash = hash_cart(c);
    w.filename = path && *path ? path : get_sandboxed_cstore_filename(w.hash);
    // Data the cartridge stored for itself with cstore() survives every load.
    orbo_cart_ptr stored = orbo_load_cart(get_sandboxed_cstore_filename(w.hash).c_str());
    if (stored)
        for (int a = 0; a < ORBO_ROM_SIZE; a++) orbo_rom_poke(c, a, orbo_rom_peek(stored.get(), a));
    w.tabs.current = 0;
}

int load_working_cart(const char* path)
{
    std::string p = path ? path : "";
    // A chain back to the head cart names it by its booted name.
    if (orbo_reboot_head_cart(p)) return 0;
    std::vector<std::string> names = {p};
    if (p.find(".ob") == std::string::npos) {
        names.push_back(inject_ob_extention(p));
        names.push_back(names.back() + ".png");
    }
    names.push_back(p + ".png");
    for (const std::string& name : names) {
        orbo_cart_ptr cart = orbo_load_cart_via_kiln(name);
        if (!cart) continue;
        apply_legacy_changes(cart.get());
        prepare_loaded_cart(std::move(cart), name.c_str());
        return 0;
    }
    return 1;
}

int save_working_cart(const char* path)
{
    orbo_merge_working_tabs();
    if (orbo_working().cart->code.size() > size_t(ORBO_CODE_MAX)) {
        orbo_cart_print(k_over_size, 6);
        return 1;
    }
    return save_checked(path ? path : "");
}

int save_backup(const char* path, bool copy_file)
{
    std::string p = path ? path : "";
    orbo_path_parts parts = orbo_split_path(p);
    if (p.empty()) parts = {"", "untitled", ".ob"};
    make_folder(orbo_cart_root_path("backup"));
    std::string target = orbo_cart_root_path("backup/" + parts.base + parts.ext);
    if (copy_file) {
        std::vector<unsigned char> bytes;
        if (!orbo_read_file(p, &bytes, k_backup_copy_max)) return 1;
        return kiln_write_file_atomic(target, bytes.data(), bytes.size()) ? 0 : 1;
    }
    orbo_merge_working_tabs();
    const orbo_cart* cart = orbo_working().cart.get();
    int r = p.find(".png") != std::string::npos ? save_orbo_cart_png(cart, target.c_str())
                                                : orbo_save_cart(cart, target.c_str());
    return r ? 1 : 0;
}

void do_quick_save()
{
    orbo_working_state& w = orbo_working();
    if (w.filename.empty()) {
        orbo_cart_message("*** no filename. not saved! ***", 1500);
        return;
    }
    if (w.filename.starts_with(orbo_cart_root_path("bbs/"))) {
        orbo_cart_message("* can not overwrite bbs cart! *", 1500);
        return;
    }
    orbo_merge_working_tabs();
    if (w.cart->code.size() > size_t(ORBO_CODE_MAX)) {
        orbo_cart_print(k_over_size, 6);
        orbo_cart_message("** save failed **", 1500);
        return;
    }
    std::string name = w.filename;
    if (save_checked(name) != 0) {
        orbo_cart_message("** save failed **", 1500);
        return;
    }
    orbo_path_parts parts = orbo_split_path(w.filename);
    char text[512];
    snprintf(text, sizeof text, "saved %s%s\n", parts.base.c_str(), parts.ext.c_str());
    orbo_cart_message(text, 1000);
}

namespace {
// The current file loaded and converted as a load would, when its hash
// differs from both the working cartridge as it is and the working hash.
orbo_cart_ptr load_external_change()
{
    orbo_working_state& w = orbo_working();
    if (w.filename.empty()) return nullptr;
    orbo_cart_ptr cart = orbo_load_cart_via_kiln(w.filename);
    if (!cart) return nullptr;
    apply_legacy_changes(cart.get());
    orbo_cart_ptr probe = orbo_copy_cart(*cart);
    if (orbo_cart_lower_map_used(probe.get()))
        sync_shared_map_to_gfx(probe.get());
    else
        sync_shared_gfx_to_map(probe.get());
    probe->code = orbo_normalise_tabs(probe->code);
    std::string h = hash_cart(probe.get());
    if (h == w.hash || h == hash_cart(w.cart.get())) return nullptr;
    return cart;
}
}  // namespace

void do_quick_load()
{
    orbo_cart_ptr cart = load_external_change();
    if (!cart) return;
    orbo_cart_message("loaded external changes", 1000);
    std::string name = orbo_working().filename;
    prepare_loaded_cart(std::move(cart), name.c_str());
}

int detect_external_changes() { return load_external_change() ? 1 : 0; }

int detect_unsaved_changes() { return 0; }
