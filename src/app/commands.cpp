// The console-facing script functions that only print or measure: help,
// reboot, shutdown/exit, scout, import, export, ls/dir, info. The ones that
// touch folders, save, and install live in commands_*.cpp.
#include "app/commands.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <filesystem>

#include "hardware/console.h"
#include "cart/cart_env.h"
#include "cart/cart_image.h"
#include "cart/cart_partial.h"
#include "cart/compress.h"
#include "cart/file_util.h"
#include "cart/working_cart.h"
#include "engine/token/token.h"
#include "hardware/api/api.h"
#include "hardware/runtime_link.h"

namespace {
constexpr int k_transfer_cycles = 4096;
constexpr int k_token_max = 8192;
constexpr int k_char_max = 65535;

int limit_colour(int value, int max) { return value <= max ? 6 : 9; }
}  // namespace

orbo_command_print_fn_t orbo_command_print_fn = orbo_print_col;

void orbo_command_print(const char* text, int colour) { orbo_command_print_fn(text, colour); }

void orbo_command_printf(int colour, const char* fmt, ...)
{
    char buf[4096];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    orbo_command_print(buf, colour);
}

// Outside a program these would show help, restart or quit; a running
// program gets nothing from them.
int ob_help(lua_State*) { return 0; }
int ob_reboot(lua_State*) { return 0; }
int ob_shutdown(lua_State*) { return 0; }

int ob_scout(lua_State*)
{
    orbo_command_print("sorry, scout is not available", 6);
    return 0;
}

// Nothing is imported or exported by a running program; the cost stays so
// that calling them still takes frame time.
int ob_import(lua_State*)
{
    orbo_spend_cpu(k_transfer_cycles);
    return 0;
}

int ob_export(lua_State* L)
{
    size_t len = 0;
    const char* name = lua_type(L, 1) == LUA_TSTRING ? lua_tolstring(L, 1, &len) : nullptr;
    if (!name || len == 0) {
        orbo_command_print("please specify a file", 6);
        return 0;
    }
    orbo_spend_cpu(k_transfer_cycles);
    return 0;
}

std::vector<std::string> orbo_cstore_listing()
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(orbo_cart_root_path("cstore/"), ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (orbo_listed_cart_name(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int ob_ls(lua_State* L)
{
    if (lua_gettop(L) > 0) return 0;
    std::vector<std::string> names = orbo_cstore_listing();
    lua_createtable(L, int(names.size()), 0);
    for (size_t i = 0; i < names.size(); i++) {
        lua_pushlstring(L, names[i].data(), names[i].size());
        lua_rawseti(L, -2, int(i + 1));
    }
    return 1;
}

int ob_info(lua_State*)
{
    orbo_working_state& w = orbo_working();
    if (!w.filename.empty()) {
        orbo_path_parts p = orbo_split_path(w.filename);
        orbo_command_printf(14, "file: %s%s", p.base.c_str(), p.ext.empty() ? ".ob" : p.ext.c_str());
    }
    orbo_merge_working_tabs();
    const std::string& code = w.cart->code;
    int tokens = count_tokens(code.c_str());
    int chars = int(code.size());
    std::vector<uint8_t> packed;
    int compressed = 0;
    orbo_code_for_image(code, &packed, &compressed);
    orbo_command_printf(limit_colour(tokens, k_token_max), "tokens:     %5d /  %d", tokens, k_token_max);
    orbo_command_printf(limit_colour(chars, k_char_max), "chars:      %5d / %d", chars, k_char_max);
    orbo_command_printf(limit_colour(compressed, ORBO_COMPRESSED_MAX), "compressed: %5d / %d", compressed,
                        ORBO_COMPRESSED_MAX);
    if (detect_external_changes()) orbo_command_print("external changes", 6);
    return 0;
}
