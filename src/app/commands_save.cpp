// save (name): the working cartridge to a file under the cartridge root, or
// as a PNG cartridge in hexadecimal text to the clipboard. Only a program
// run with -x saves; elsewhere save does nothing.
#include <string_view>

#include "app/commands.h"
#include "app/state.h"
#include "runtime/pstate.h"
#include "cart/cart_env.h"
#include "cart/cart_png.h"
#include "cart/file_util.h"
#include "cart/working_cart.h"
#include "hardware/api/api.h"
#include "platform/keys.h"

namespace {
const char* const k_clip_names[] = {"@clip", "@clip.ob", "@clip.png", "@clip.ob.png"};

bool is_clip_name(std::string_view name)
{
    for (const char* c : k_clip_names)
        if (name == c) return true;
    return false;
}

std::string to_hex(const std::vector<unsigned char>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// "_clip.ob.png" in the root folder, its bytes as hex text in
// "_clip.ob.png.hex", and that text on the clipboard.
bool save_to_clipboard()
{
    orbo_working_state& w = orbo_working();
    const kiln_bitmap* label = w.cart->label.get();
    if (!label || label->pixels.empty()) {
        orbo_command_print("warning: label is blank", 9);
        orbo_command_print("run cart and use f7 to capture", 10);
    }
    orbo_merge_working_tabs();
    std::string png = orbo_cart_root_path("_clip.ob.png");
    if (save_orbo_cart_png(w.cart.get(), png.c_str()) != 0) return false;
    std::vector<unsigned char> bytes;
    if (!orbo_read_file(png, &bytes) || bytes.empty()) return false;
    std::string hex = to_hex(bytes);
    if (!kiln_write_file_atomic(png + ".hex", hex.data(), hex.size())) return false;
    kiln_set_clipboard_text(hex.c_str());
    return true;
}

void save_to_file(const std::string& name)
{
    std::optional<std::string> rel = orbo_resolve_file(shell.current_dir, name);
    if (!rel) {
        // A name that leaves the cartridge root writes nothing anywhere.
        orbo_command_print("save: failed", 7);
        orbo_cart_message("** failed to save **", 1500);
        return;
    }
    std::string path = pstate.cart_root + *rel;
    if (save_working_cart(path.c_str()) != 0) return;  // reported by the saver
    orbo_path_parts p = orbo_split_path(inject_ob_extention(path));
    orbo_command_printf(6, "saved %s%s", p.base.c_str(), p.ext.c_str());
}
}  // namespace

int ob_save(lua_State* L)
{
    if (!pstate.exec_mode) return 0;
    size_t len = 0;
    int t = lua_type(L, 1);
    const char* name = t == LUA_TSTRING || t == LUA_TNUMBER ? lua_tolstring(L, 1, &len) : nullptr;
    if (!name || len == 0) {
        orbo_command_print("please specify filename", 6);
        return 0;
    }
    if (len > ORBO_COMMAND_NAME_MAX) {
        orbo_command_print("filename too long", 6);
        return 0;
    }
    std::string n(name, len);
    if (is_clip_name(n)) {
        orbo_command_print(save_to_clipboard() ? "saved to clipboard" : "failed to save to clipboard", 6);
        return 0;
    }
    save_to_file(n);
    return 0;
}
