// Memory bindings: peek/poke of bytes and 32-bit words, the bulk copies and
// fills, and reload/cstore of the ROM part, on the live cartridge record
// with the console state. Charges and refunds follow the work: a plain
// one-byte access gives back part of its call's cost.
#include <algorithm>
#include <string>

#include "cart/cart_partial.h"
#include "cart/working_cart.h"
#include "hardware/api/api.h"
#include "hardware/api/args.h"
#include "hardware/mem.h"
#include "hardware/runtime_link.h"
#include "platform/log.h"

namespace {
constexpr int32_t k_peek_refund = 2;
constexpr int32_t k_poke_refund = 3;
constexpr int32_t k_peek4_refund = 2;
constexpr int32_t k_poke4_refund = 2;
constexpr int32_t k_bulk_cap = 4096;  // reload/cstore charge at most this many bytes
constexpr int32_t k_reload_per_byte = 8;
constexpr int32_t k_cstore_per_byte = 64;
constexpr int32_t k_reload_whole = 32768;
constexpr int32_t k_cstore_whole = 0x40000;
constexpr int32_t k_label_charge = 16384;  // reading a cartridge file

// reload/cstore arguments: with fewer than 3 the whole ROM.
struct rom_range {
    int32_t dest = 0, src = 0, len = ORBO_ROM_SIZE;
    bool whole = true;
};

rom_range read_range(lua_State* L)
{
    rom_range r;
    if (ob_nargs(L) >= 3) {
        r = {ob_int(L, 1), ob_int(L, 2), ob_int(L, 3), false};
    }
    return r;
}

int32_t bulk_charge(const rom_range& r, int32_t per_byte, int32_t whole)
{
    return r.whole ? whole : std::min(r.len, k_bulk_cap) * per_byte;
}

// The file name of argument 4, or none when it is absent or nil. A value
// that is not text reads as an empty name, which is refused.
bool file_arg(lua_State* L, std::string* name)
{
    if (ob_nargs(L) < 4 || lua_isnil(L, 4)) return false;
    const char* s = lua_isstring(L, 4) ? lua_tolstring(L, 4, nullptr) : "";
    *name = s ? s : "";
    return true;
}
}  // namespace

int ob_peek(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    if (ob_nargs(L) == 1) orbo_refund_cpu(-k_peek_refund);
    return ob_push_int(L, orbo_peek(c, c->cart, ob_int(L, 1)));
}

int ob_poke(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    if (ob_nargs(L) == 2) orbo_refund_cpu(-k_poke_refund);
    orbo_poke(c, c->cart, ob_int(L, 1), ob_int(L, 2));
    return 0;
}

// The four bytes at a..a+3, little-endian, as the raw bits of a number.
int ob_peek4(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    orbo_refund_cpu(-k_peek4_refund);
    int32_t a = ob_int(L, 1);
    uint32_t v = 0;
    for (int i = 0; i < 4; i++) v |= uint32_t(orbo_peek(c, c->cart, a + i)) << (8 * i);
    return ob_push_num(L, fix32(v));
}

int ob_poke4(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    if (ob_nargs(L) == 2) orbo_refund_cpu(-k_poke4_refund);
    int32_t a = ob_int(L, 1);
    uint32_t v = uint32_t(ob_num(L, 2));
    for (int i = 0; i < 4; i++) orbo_poke(c, c->cart, a + i, int32_t((v >> (8 * i)) & 0xff));
    return 0;
}

// Charge len + 1 with len taken as unsigned (a negative length charges the minimum).
int ob_memcpy(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    int32_t len = ob_int(L, 3);
    orbo_spend_cpu(int32_t(uint32_t(len) + 1u));
    orbo_memcpy(c, c->cart, ob_int(L, 1), ob_int(L, 2), len);
    return 0;
}

int ob_memset(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    int32_t len = ob_int(L, 3);
    orbo_spend_cpu(int32_t((int64_t(len) + 1) / 2));
    orbo_memset(c, c->cart, ob_int(L, 1), ob_int(L, 2) & 0xff, len);
    return 0;
}

// reload([dest, src, len], [filename]): from the loaded cartridge, or from
// another cartridge file; returns len, or 0 when the file side fails.
int ob_reload(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    rom_range r = read_range(L);
    orbo_spend_cpu(bulk_charge(r, k_reload_per_byte, k_reload_whole));
    std::string name;
    if (file_arg(L, &name)) {
        kiln_debug("  reload()ing %d bytes from: %s\n", r.len, name.c_str());
        return ob_push_int(L, orbo_script_reload_file(r.dest, r.src, r.len, name.c_str()));
    }
    orbo_reload(c, c->cart, orbo_working().cart.get(), r.dest, r.src, r.len);
    return ob_push_int(L, r.len);
}

// cstore([dest, src, len], [filename]): live memory into the ROM of a
// cartridge file (without a name, the cartridge's own stored data);
// returns len, or 0 when the file side fails or refuses the name.
int ob_cstore(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    rom_range r = read_range(L);
    orbo_spend_cpu(bulk_charge(r, k_cstore_per_byte, k_cstore_whole));
    std::string name;
    bool named = file_arg(L, &name);
    kiln_debug("ob_cstore: storing %d bytes as: %s\n", r.len, named ? name.c_str() : "");
    return ob_push_int(L, orbo_script_cstore_file(r.dest, r.src, r.len, named ? name.c_str() : nullptr));
}

// cartlabel(name, [dest]): whether the cartridge file name (named as for
// reload) loads: nil when it does not, false when it has no label, true when
// it has one. With dest, the label is written to memory there as the screen
// holds its pixels: 128 rows of 64 bytes, the left pixel of each byte in the
// low four bits.
int ob_cartlabel(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c || !lua_isstring(L, 1)) return 0;
    orbo_spend_cpu(k_label_charge);
    std::vector<uint8_t> label;
    int r = orbo_script_cart_label(lua_tostring(L, 1), &label);
    if (r < 0) return 0;
    if (r > 0 && ob_nargs(L) >= 2) {
        // Only what falls inside the 32 KiB of memory is written.
        int32_t dest = ob_int(L, 2);
        for (int32_t i = std::max(0, -dest); i < std::min(int32_t(label.size()), 0x8000 - dest); i++)
            orbo_poke(c, c->cart, dest + i, label[size_t(i)]);
    }
    return ob_push_bool(L, r > 0);
}
