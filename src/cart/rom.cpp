#include "cart/rom.h"

#include "cart/address_map.h"

namespace {

constexpr int k_shared_base = orbo_base(ORBO_R_GFX_SHARED);
constexpr int k_map_base = orbo_base(ORBO_R_MAP);
constexpr int k_flags_base = orbo_base(ORBO_R_FLAGS);
constexpr int k_music_base = orbo_base(ORBO_R_MUSIC);
constexpr int k_sfx_base = orbo_base(ORBO_R_SFX);
constexpr int k_sfx_bytes = 68;

int note_low_byte(const orbo_note& n) { return (n.pitch & 63) | (n.waveform & 3) << 6; }

int note_high_byte(const orbo_note& n)
{
    return ((n.waveform >> 2) & 1) | (n.volume & 7) << 1 | (n.effect & 7) << 4 | (n.instrument ? 0x80 : 0);
}

int sfx_peek(const orbo_sfx& s, int off)
{
    if (off < 64) {
        const orbo_note& n = s.notes[off / 2];
        return off & 1 ? note_high_byte(n) : note_low_byte(n);
    }
    const int32_t header[4] = {s.mode, s.speed, s.loop_start, s.loop_end};
    return header[off - 64] & 0xff;
}

void sfx_poke(orbo_sfx& s, int off, int v)
{
    if (off < 64) {
        orbo_note& n = s.notes[off / 2];
        if (off & 1) {
            n.waveform = (n.waveform & 3) | (v & 1) << 2;
            n.volume = (v >> 1) & 7;
            n.effect = (v >> 4) & 7;
            n.instrument = v & 0x80 ? 128 : 0;
        } else {
            n.pitch = v & 63;
            n.waveform = (n.waveform & 4) | ((v >> 6) & 3);
        }
        return;
    }
    int32_t* header[4] = {&s.mode, &s.speed, &s.loop_start, &s.loop_end};
    *header[off - 64] = v;
}

// The byte of the shared region for map row `row` (32-63), from the sprite sheet.
int shared_gfx_byte(const orbo_cart* cart, int row, int x)
{
    int addr = k_shared_base + (row - 32) * 128 + x;
    return orbo_rom_peek(cart, addr);
}

}  // namespace

int orbo_rom_peek(const orbo_cart* cart, int addr)
{
    if (!cart || addr < 0 || addr >= ORBO_ROM_SIZE) return 0;
    if (addr < k_map_base) {
        int y = addr / 64, x = (addr % 64) * 2;
        return (cart_px(*cart->gfx, x, y) & 15) | (cart_px(*cart->gfx, x + 1, y) & 15) << 4;
    }
    if (addr < k_flags_base) {
        int a = addr - k_map_base;
        return cart_px(*cart->map, a % 128, a / 128);
    }
    if (addr < k_music_base) return cart->flags[addr - k_flags_base] & 0xff;
    if (addr < k_sfx_base) {
        int p = (addr - k_music_base) / 4, k = addr & 3;
        return (cart->music[p][k] & 127) | ((cart->music_flags[p] >> k) & 1) << 7;
    }
    int a = addr - k_sfx_base;
    return sfx_peek(cart->sfx[a / k_sfx_bytes], a % k_sfx_bytes);
}

void orbo_rom_poke(orbo_cart* cart, int addr, int value)
{
    if (!cart || addr < 0 || addr >= ORBO_ROM_SIZE) return;
    int v = value & 0xff;
    if (addr < k_map_base) {
        int y = addr / 64, x = (addr % 64) * 2;
        cart_px(*cart->gfx, x, y) = uint8_t(v & 15);
        cart_px(*cart->gfx, x + 1, y) = uint8_t(v >> 4);
        if (addr >= k_shared_base) {
            int a = addr - k_shared_base;
            cart_px(*cart->map, a & 127, 32 + a / 128) = uint8_t(v);
        }
    } else if (addr < k_flags_base) {
        int a = addr - k_map_base;
        cart_px(*cart->map, a % 128, a / 128) = uint8_t(v);
    } else if (addr < k_music_base) {
        cart->flags[addr - k_flags_base] = v;
    } else if (addr < k_sfx_base) {
        int p = (addr - k_music_base) / 4, k = addr & 3;
        cart->music[p][k] = v & 127;
        if (v & 0x80)
            cart->music_flags[p] |= 1 << k;
        else
            cart->music_flags[p] &= ~(1 << k);
    } else {
        int a = addr - k_sfx_base;
        sfx_poke(cart->sfx[a / k_sfx_bytes], a % k_sfx_bytes, v);
    }
}

void orbo_cart_to_rom(const orbo_cart* cart, uint8_t* rom)
{
    for (int a = 0; a < ORBO_ROM_SIZE; a++) rom[a] = uint8_t(orbo_rom_peek(cart, a));
}

void orbo_rom_to_cart(orbo_cart* cart, const uint8_t* rom)
{
    for (int a = 0; a < ORBO_ROM_SIZE; a++) orbo_rom_poke(cart, a, rom[a]);
}

void sync_shared_gfx_to_map(orbo_cart* cart)
{
    for (int r = 32; r < 64; r++)
        for (int x = 0; x < 128; x++) cart_px(*cart->map, x, r) = uint8_t(shared_gfx_byte(cart, r, x));
}

void sync_shared_map_to_gfx(orbo_cart* cart)
{
    for (int r = 32; r < 64; r++)
        for (int x = 0; x < 128; x++) {
            int v = cart_px(*cart->map, x, r);
            int row = 64 + 2 * (r - 32) + x / 64, px = 2 * (x % 64);
            cart_px(*cart->gfx, px, row) = uint8_t(v & 15);
            cart_px(*cart->gfx, px + 1, row) = uint8_t(v >> 4);
        }
}

bool orbo_cart_lower_map_used(const orbo_cart* cart)
{
    for (int r = 32; r < 64; r++)
        for (int x = 0; x < 128; x++)
            if (cart_px(*cart->map, x, r)) return true;
    return false;
}
