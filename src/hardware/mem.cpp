// peek, poke and the bulk operations. Reads convert each region's structured
// form to bytes on the fly; writes store the byte in shadow memory (with a
// console state) and then into the structured form.
#include "hardware/mem.h"

#include "hardware/cdata.h"

#include "cart/cart_partial.h"
#include "cart/cart_env.h"
#include "cart/rom.h"
#include "hardware/machine.h"
#include "hardware/mem_map.h"
#include "hardware/runtime_link.h"

namespace {
constexpr int32_t k_len_max = 32767;
constexpr int k_reload_hold_frames = 30;

int screen_byte(const orbo_machine* c, int32_t addr)
{
    const uint8_t* p = c->screen->pixels.data() + size_t(addr - orbo_base(ORBO_R_SCREEN)) * 2;
    return (p[0] & 15) | (p[1] & 15) << 4;
}

void bad_access() { orbo_runtime_error("bad memory access"); }
}  // namespace

int orbo_peek(const orbo_machine* c, const orbo_cart* cart, int32_t addr)
{
    orbo_region r = orbo_decode(addr);
    if (r == ORBO_R_NONE) return 0;
    if (addr < ORBO_ROM_SIZE) return orbo_rom_peek(cart, addr);
    if (!c) return 0;
    switch (r) {
    case ORBO_R_CDATA: return (c->cdata[(addr - orbo_base(ORBO_R_CDATA)) / 4] >> (8 * (addr & 3))) & 0xff;
    case ORBO_R_DRAW:
    case ORBO_R_AUDIO_MASK: return orbo_register_read(c, addr);
    case ORBO_R_GPIO: return gpio_read(const_cast<orbo_machine*>(c), addr - orbo_base(ORBO_R_GPIO));
    case ORBO_R_SCREEN: return screen_byte(c, addr);
    default: return c->mem[addr];  // general memory and the plain flags
    }
}

void orbo_poke(orbo_machine* c, orbo_cart* cart, int32_t addr, int32_t value)
{
    orbo_region r = orbo_decode(addr);
    if (r == ORBO_R_NONE) {
        bad_access();
        return;
    }
    int v = value & 0xff;
    if (c) c->mem[addr] = uint8_t(v);
    if (addr < ORBO_ROM_SIZE) {
        orbo_rom_poke(cart, addr, v);
        return;
    }
    if (!c) return;
    switch (r) {
    case ORBO_R_CDATA: {
        if (orbo_reset_glitch > 0) return;
        int shift = 8 * (addr & 3);
        int i = (addr - orbo_base(ORBO_R_CDATA)) / 4;
        orbo_cdata_set_word(c, i, (c->cdata[i] & ~(0xffu << shift)) | uint32_t(v) << shift);
        return;
    }
    case ORBO_R_DRAW:
    case ORBO_R_AUDIO_MASK: orbo_register_write(c, addr, v); return;
    case ORBO_R_GPIO: gpio_write(c, addr - orbo_base(ORBO_R_GPIO), v); return;
    case ORBO_R_SCREEN: {
        uint8_t* p = c->screen->pixels.data() + size_t(addr - orbo_base(ORBO_R_SCREEN)) * 2;
        p[0] = uint8_t(v & 15);
        p[1] = uint8_t(v >> 4);
        return;
    }
    default: return;
    }
}

void orbo_memcpy(orbo_machine* c, orbo_cart* cart, int32_t dest, int32_t src, int32_t len)
{
    if (len < 1 || len > k_len_max) return;
    auto one = [&](int32_t i) {
        int64_t s = int64_t(src) + i, d = int64_t(dest) + i;
        int v = s >= 0 && s <= 0x7FFF ? orbo_peek(c, cart, int32_t(s)) : 0;
        if (d < 0 || d > 0x7FFF)
            bad_access();
        else
            orbo_poke(c, cart, int32_t(d), v);
    };
    // Copy away from the overlap: backwards when the destination is above.
    if (dest >= src)
        for (int32_t i = len - 1; i >= 0; i--) one(i);
    else
        for (int32_t i = 0; i < len; i++) one(i);
}

void orbo_memset(orbo_machine* c, orbo_cart* cart, int32_t dest, int32_t value, int32_t len)
{
    if (len < 1 || len > k_len_max) return;
    for (int32_t i = 0; i < len; i++) {
        int64_t d = int64_t(dest) + i;
        if (d < 0 || d > 0x7FFF)
            bad_access();
        else
            orbo_poke(c, cart, int32_t(d), value);
    }
}

void orbo_reload(orbo_machine* c, orbo_cart* cart, const orbo_cart* loaded, int32_t dest, int32_t src,
                 int32_t len)
{
    if (len > k_len_max) return;
    for (int32_t i = 0; i < len; i++) {
        int64_t s = int64_t(src) + i, d = int64_t(dest) + i;
        int v = s >= 0 && s < ORBO_ROM_SIZE ? orbo_rom_peek(loaded, int32_t(s)) : 0;
        if (d < 0 || d > 0x7FFF)
            bad_access();
        else
            orbo_poke(c, cart, int32_t(d), v);
    }
    // A plain reload after one from a named file stalls the program briefly.
    if (!orbo_last_partial_file().empty()) {
        orbo_last_partial_file().clear();
        orbo_cart_hold(k_reload_hold_frames);
    }
}
