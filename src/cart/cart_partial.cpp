#include "cart/cart_partial.h"

#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "cart/cart_env.h"
#include "cart/cart_image.h"
#include "cart/cart_loader.h"
#include "cart/cart_png.h"
#include "cart/cart_text.h"
#include "cart/embedded.h"
#include "cart/rom.h"
#include "cart/vdisk.h"
#include "cart/working_cart.h"
#include "platform/log.h"

namespace {

constexpr int k_hold_frames = 30;
constexpr size_t k_written_max = 0x40000;
constexpr int k_len_max = 0x8000;
// A cartridge file in either form is far smaller; a bigger one is not read.
constexpr off_t k_label_file_max = 1 << 20;

std::string g_written;  // "|name" for every name written, in order
int g_written_count = 0;

bool already_written(const std::string& file)
{
    std::string key = "|" + file;
    for (size_t at = g_written.find(key); at != std::string::npos; at = g_written.find(key, at + 1)) {
        size_t end = at + key.size();
        if (end == g_written.size() || g_written[end] == '|') return true;
    }
    return false;
}


int live_peek(int addr)
{
    auto& env = orbo_cart_env_get();
    return env.live_peek ? env.live_peek(addr) : 0;
}

void live_poke(int addr, int v)
{
    auto& env = orbo_cart_env_get();
    if (env.live_poke) env.live_poke(addr, v);
}

orbo_cart_ptr load_raw_rom(const char* file)
{
    FILE* f = orbo_fopen(file, "rb");
    if (!f) return nullptr;
    std::vector<uint8_t> rom(ORBO_ROM_SIZE, 0);
    size_t n = fread(rom.data(), 1, rom.size(), f);
    fclose(f);
    if (n == 0) return nullptr;
    orbo_cart_ptr cart = orbo_create_cart();
    orbo_rom_to_cart(cart.get(), rom.data());
    return cart;
}

bool inside_cstore(const std::string& path)
{
    namespace fs = std::filesystem;
    std::string root = fs::path(orbo_cart_root_path("cstore/")).lexically_normal().string();
    std::string p = fs::path(path).lexically_normal().string();
    return p.size() > root.size() && p.compare(0, root.size(), root) == 0;
}

}  // namespace

std::string& orbo_last_partial_file()
{
    static std::string name;
    return name;
}

void orbo_reset_written_names()
{
    g_written.clear();
    g_written_count = 0;
}

int reload_cart_partial(const char* file, int dest, int src, int len)
{
    if (orbo_last_partial_file() != file) {
        orbo_last_partial_file() = file;
        orbo_cart_hold(k_hold_frames);
    }
    orbo_cart_ptr cart = orbo_load_cart_via_kiln(file);
    if (!cart && std::string(file).find(".bin") != std::string::npos) cart = load_raw_rom(file);
    if (!cart) return 1;
    if (len > k_len_max) len = 0;
    for (int i = 0; i < len; i++) live_poke(dest + i, orbo_rom_peek(cart.get(), src + i));
    return 0;
}

int cstore_cart_partial(const char* file, int dest, int src, int len, bool also_working)
{
    if (!already_written(file)) {
        if (g_written_count >= ORBO_CSTORE_NAMES_MAX) return 3;
        std::string entry = std::string("|") + file;
        if (g_written.size() + entry.size() > k_written_max) return 3;
        g_written += entry;
        g_written_count++;
    }
    orbo_last_partial_file() = file;
    orbo_cart_hold(k_hold_frames);
    std::string name = file;
    bool png = name.find(".png") != std::string::npos;
    orbo_cart_ptr target = png ? load_orbo_cart_png(file) : orbo_load_cart(file);
    orbo_cart* working = orbo_working().cart.get();
    // A cartridge's own store starts as a copy of the cartridge: the next
    // load lays its whole ROM over the cartridge, so starting from an empty
    // record would wipe everything the program did not store.
    if (!target) target = also_working ? orbo_copy_cart(*working) : orbo_create_cart();
    if (len > k_len_max) len = 0;
    for (int i = 0; i < len; i++) {
        int v = live_peek(src + i);
        orbo_rom_poke(target.get(), dest + i, v);
        if (also_working) orbo_rom_poke(working, dest + i, v);
    }
    int r = png ? save_orbo_cart_png(target.get(), file) : orbo_save_cart(target.get(), file);
    return r == 0 ? 0 : 2;
}

std::string orbo_resolve_script_cart_name(const char* name)
{
    std::string n = name ? name : "";
    if (n.starts_with("__")) return {};
    std::string hash = get_embedded_cart_hash_for_filename(n.c_str(), true);
    if (!hash.empty()) return get_sandboxed_cstore_filename(hash);
    if (n.starts_with("/")) n.erase(0, 1);
    for (const auto& part : std::filesystem::path(n))
        if (part == "..") return {};
    std::string path = orbo_prefix_with_cstore_path(n, "");
    if (n.empty() || !inside_cstore(path)) return {};
    return path;
}

int orbo_script_reload_file(int dest, int src, int len, const char* name)
{
    std::string path = orbo_resolve_script_cart_name(name);
    if (path.empty()) return 0;
    std::string hash = get_embedded_cart_hash_for_filename(name, true);
    if (!hash.empty()) {
        FILE* f = fopen(path.c_str(), "rb");
        if (f) {
            fclose(f);
        } else {
            kiln_debug("sandboxed_cstore file not found: %s\n", path.c_str());
            kiln_debug("  --> using internal file: %s\n", name);
            path = get_embedded_cart_filename_for_hash(hash.c_str());
        }
    }
    return reload_cart_partial(path.c_str(), dest, src, len) == 0 ? len : 0;
}

int orbo_script_cstore_file(int dest, int src, int len, const char* name)
{
    if (!name) {
        std::string path = get_sandboxed_cstore_filename(orbo_working().hash);
        return cstore_cart_partial(path.c_str(), dest, src, len, true) == 0 ? len : 0;
    }
    if (std::string(name).size() > size_t(ORBO_CSTORE_NAME_LEN_MAX)) return 0;
    std::string path = orbo_resolve_script_cart_name(name);
    if (path.empty()) return 0;
    return cstore_cart_partial(path.c_str(), dest, src, len, false) == 0 ? len : 0;
}

bool orbo_listed_cart_name(const std::string& name)
{
    return name.find(".ob") != std::string::npos && name.find('~') == std::string::npos;
}

namespace {
// A plain file in "cstore/" under a name ls() lists (it holds ".ob" and no
// "~") without a folder part; empty otherwise. Only plain files: opening a
// pipe or a device could block the frame.
std::string plain_user_cart(const std::string& name, off_t* size)
{
    if (!orbo_listed_cart_name(name) || name.find('/') != std::string::npos) return {};
    std::string path = orbo_resolve_script_cart_name(name.c_str());
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    *size = st.st_size;
    return path;
}
}  // namespace

std::string orbo_user_cart_path(const std::string& name)
{
    off_t size = 0;
    return plain_user_cart(name, &size);
}

int orbo_script_cart_label(const char* name, std::vector<uint8_t>* label)
{
    std::string path;
    std::string hash = get_embedded_cart_hash_for_filename(name, true);
    if (!hash.empty()) {
        path = get_embedded_cart_filename_for_hash(hash.c_str());
    } else {
        // A huge file would take long to read.
        off_t size = 0;
        path = plain_user_cart(name, &size);
        if (path.empty() || size > k_label_file_max) return -1;
    }
    orbo_cart_ptr cart = orbo_load_cart_via_kiln(path);
    if (!cart) return -1;
    label->clear();
    return orbo_append_label(cart.get(), label) ? 1 : 0;
}
