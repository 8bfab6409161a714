// Random calls of the console's bindings through a script state. The input
// picks a binding and up to 11 arguments from a table of hostile values;
// the calls run as one script. Nothing may raise an error, every write must
// stay inside the console state (the sanitizers check), the sprite sheet
// must keep 4-bit pixels and the screen clip must stay inside the screen.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/lua/lauxlib.h"
#include "hardware/api/api.h"
#include "hardware/machine.h"
#include "hardware/runtime_link.h"
#include "runtime/runtime_api.h"

namespace {
// Bindings without a file or process side effect.
const char* k_calls[] = {
    "camera", "clip", "cls", "pset", "pget", "color", "print", "cursor", "tonum", "tostr", "spr", "sspr",
    "rect", "rectfill", "circ", "circfill", "line", "pal", "palt", "fillp", "map", "mget", "mset", "fget",
    "fset", "sget", "sset", "music", "sfx", "peek", "poke", "peek4", "poke4", "memcpy", "memset", "reload",
    "rnd", "srand", "flr", "ceil", "sgn", "abs", "min", "max", "mid", "cos", "sin", "sqrt", "atan2", "band",
    "bor", "bxor", "bnot", "shl", "shr", "lshr", "rotl", "rotr", "time", "t", "btn", "btnp", "_menuitem",
    "stat", "_paused", "_get_menu_item_selected", "_update_buttons", "_set_paused", "printh",
};
const char* k_values[] = {
    "0", "1", "-1", "0.5", "-0.5", "7", "8", "15", "16", "31", "63", "64", "127", "128", "255", "256",
    "0x4300", "0x5f00", "0x5f2d", "0x5f34", "0x6000", "0x7fff", "0x8000", "-0x8000", "0x7fff.ffff",
    "0x1000.8000", "32767", "-32768", "4096", "nil", "true", "false", "{}", "'12'", "'abc'", "''",
    "'0x10'", "print",
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orbo_cart_ptr cart = orbo_create_cart();
    orbo_recreate_live_machine();
    orbo_machine* c = orbo_live_machine();
    c->cart = cart.get();
    orbo_reset_runtime_hooks();
    orbo_bind_runtime_api();
    std::string code;
    for (size_t i = 0; i + 1 < size && i < 600;) {
        code += k_calls[data[i++] % std::size(k_calls)];
        int nargs = data[i++] % 12;
        code += "(";
        for (int k = 0; k < nargs && i < size; k++) {
            if (k) code += ",";
            code += k_values[data[i++] % std::size(k_values)];
        }
        code += ")\n";
    }
    lua_State* L = lua_newstate(orbo_lua_alloc, &c->heap);
    add_c_functions(L);
    if (luaL_loadstring(L, code.c_str()) != LUA_OK || lua_pcall(L, 0, 0, 0) != LUA_OK) {
        const char* m = lua_tostring(L, -1);
        fprintf(stderr, "%s\n%s\n", code.c_str(), m ? m : "?");
        abort();
    }
    lua_close(L);
    for (uint8_t v : cart->gfx->pixels)
        if (v > 15) abort();
    const kiln_bitmap* s = c->screen.get();
    if (s->clip_x0 < 0 || s->clip_y0 < 0 || s->clip_x1 > 128 || s->clip_y1 > 128) abort();
    c->cart = nullptr;
    return 0;
}
