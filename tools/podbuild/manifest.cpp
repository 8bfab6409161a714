// Manifests: one pod per manifest file, one line per item.
//
//   pod NAME                  the pod's name (optional)
//   compress                  store bitmaps and buffers as LZ4 blocks
//   N file PATH [NAME]        byte buffer: the file's bytes (named after it)
//   N text TEXT...            byte buffer: the rest of the line
//   N palette PATH            palette source
//   N art PATH                the art file's images as items N, N+1, ...
//   N font PATH               byte buffer holding the font pod
//   N pod PATH                byte buffer holding the pod of another manifest
//   N cart PATH [NAME]        byte buffer: the 32 KiB image of a text
//                             cartridge (named after it; ".ob" or ".ob.png"),
//                             then its label when it has one (8 KiB)
//
// Item numbers must increase; numbers skipped are filled with an empty byte
// buffer so that every item keeps its number. Paths are relative to the
// manifest's folder, absolute when they start with "/", and relative to the
// output file's folder (the build folder, for generated inputs) when they
// start with "@". Lines starting with "//" are comments.
#include <fstream>
#include <sstream>

#include "cart/cart_file.h"
#include "cart/cart_image.h"
#include "cart/cart_text.h"
#include "podbuild.h"

namespace {
std::string folder_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string base_name(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string g_output_dir;

std::string resolve(const std::string& dir, const std::string& arg)
{
    if (!arg.empty() && arg[0] == '/') return arg;
    if (!arg.empty() && arg[0] == '@') return g_output_dir + arg.substr(1);
    return dir + arg;
}

bool read_bytes(const std::string& path, std::vector<uint8_t>* out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// The 32 KiB image of a text cartridge, converted as a load converts it.
bool cart_image_of(const std::string& path, std::vector<uint8_t>* block, std::string* err)
{
    orbo_cart_ptr cart = orbo_load_cart(path.c_str());
    if (!cart) return *err = path + ": not a text cartridge", false;
    orbo_convert_loaded_cart(cart.get());
    block->assign(ORBO_32K_SIZE, 0);
    if (save_orbo_cart_32k(cart.get(), block->data())) return *err = path + ": code too large for a cartridge image", false;
    orbo_append_label(cart.get(), block);
    return true;
}

// Appends one manifest line's items; `number` is the item number it names.
bool add_entry(kiln_pod* pod, const std::string& kind, std::istringstream& ls,
               const std::string& dir, std::vector<std::string>* deps, std::string* err)
{
    std::string arg;
    ls >> arg;
    std::string path = resolve(dir, arg);
    if (kind == "text") {
        std::string rest;
        std::getline(ls, rest);
        std::string text = arg + rest;
        kiln_pod_add_bytes(pod, "text", text.data(), text.size());
        return true;
    }
    deps->push_back(path);
    if (kind == "file") {
        std::vector<uint8_t> bytes;
        if (!read_bytes(path, &bytes)) return *err = path + ": cannot read", false;
        std::string name;
        ls >> name;
        kiln_pod_add_bytes(pod, (name.empty() ? base_name(path) : name).c_str(), bytes.data(), bytes.size());
        return true;
    }
    if (kind == "cart") {
        std::vector<uint8_t> block;
        if (!cart_image_of(path, &block, err)) return false;
        std::string name;
        ls >> name;
        kiln_pod_add_bytes(pod, (name.empty() ? base_name(arg) : name).c_str(), block.data(), block.size());
        return true;
    }
    if (kind == "palette") {
        auto pal = std::make_unique<kiln_palette>();
        if (!read_palette_source(path, pal.get(), err)) return false;
        kiln_pod_add_palette(pod, std::move(pal));
        return true;
    }
    if (kind == "art") {
        std::vector<kiln_bitmap_ptr> images;
        if (!read_art_source(path, &images, err)) return false;
        for (kiln_bitmap_ptr& bm : images) kiln_pod_add_bitmap(pod, std::move(bm));
        return true;
    }
    kiln_pod_ptr nested;
    bool compress = false;
    if (kind == "font") {
        kiln_font font;
        if (!read_font_source(path, &font, err)) return false;
        nested = kiln_font_to_pod(&font);
    } else if (kind == "pod") {
        nested = kiln_create_pod();
        if (!build_manifest(path, nested.get(), &compress, deps, err)) return false;
    } else {
        *err = "unknown item kind '" + kind + "'";
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!kiln_write_pod(nested.get(), compress, &bytes)) return *err = path + ": cannot write pod", false;
    kiln_pod_add_bytes(pod, base_name(path).c_str(), bytes.data(), bytes.size());
    return true;
}
}  // namespace

void set_manifest_output(const std::string& out_path) { g_output_dir = folder_of(out_path); }

bool build_manifest(const std::string& path, kiln_pod* out, bool* compressed,
                    std::vector<std::string>* deps, std::string* err)
{
    std::ifstream in(path);
    if (!in) return *err = path + ": cannot open", false;
    deps->push_back(path);
    std::string line, dir = folder_of(path);
    bool compress = false;
    for (int number = 1; std::getline(in, line); number++) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream ls(line);
        std::string first, kind;
        ls >> first;
        if (first.empty() || first.compare(0, 2, "//") == 0) continue;
        auto fail = [&](const std::string& what) {
            *err = path + ":" + std::to_string(number) + ": " + what;
            return false;
        };
        if (first == "pod") {
            ls >> out->name;
            if (out->name.size() > 32) out->name.resize(32);
            continue;
        }
        if (first == "compress") {
            compress = true;
            continue;
        }
        if (first.find_first_not_of("0123456789") != std::string::npos || first.size() > 5)
            return fail("expected an item number");
        int item = std::stoi(first);
        if (item < kiln_pod_count(out)) return fail("item numbers must increase");
        while (kiln_pod_count(out) < item) kiln_pod_add_bytes(out, "", nullptr, 0);
        ls >> kind;
        std::string inner;
        if (!add_entry(out, kind, ls, dir, deps, &inner)) return fail(inner);
    }
    *compressed = compress;
    return true;
}
