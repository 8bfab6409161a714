// The cartridge record: everything a cartridge file carries, in the form the
// console uses it. Pixels of gfx and label are 0..15, map cells 0..255.
// Invariants: gfx is 128x128 and map 128x64, both depth 8, always present;
// label is absent or 128x128 depth 8. code holds one byte per character
// (bytes 128..153 are the glyph characters) and never a NUL byte.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "cart/address_map.h"
#include "platform/bitmap.h"

constexpr int ORBO_CART_VERSION = 15;  // the format version this build writes
constexpr int ORBO_CODE_MAX = 65536;   // characters a cartridge program may hold

struct orbo_note {
    int32_t pitch = 0;       // 0..63
    int32_t waveform = 0;    // 0..7 (an sfx number 0..7 when instrument is set)
    int32_t volume = 0;      // 0..7, 0 silent
    int32_t effect = 0;      // 0..7
    int32_t instrument = 0;  // 0, or 128 when waveform names an sfx instrument
};

struct orbo_sfx {
    int32_t mode = 0;
    int32_t speed = 16;  // ticks per note
    int32_t loop_start = 0;
    int32_t loop_end = 0;
    orbo_note notes[32];
};

struct orbo_cart {
    std::string code;
    kiln_bitmap_ptr gfx;  // 128 x 128
    kiln_bitmap_ptr map;  // 128 x 64
    orbo_sfx sfx[64];
    int32_t music[64][4] = {};  // channel value: sfx 0..63, 64 and above disabled
    int32_t music_flags[64] = {};
    int32_t flags[256] = {};
    kiln_bitmap_ptr label;  // 128 x 128 or none
    int32_t version = 0;
};

void orbo_destroy_cart(orbo_cart* cart);

struct orbo_cart_deleter {
    void operator()(orbo_cart* cart) const { orbo_destroy_cart(cart); }
};
using orbo_cart_ptr = std::unique_ptr<orbo_cart, orbo_cart_deleter>;

// A record with the defaults of an empty cartridge.
orbo_cart_ptr orbo_create_cart();

// Subsystems that keep pointers into a record (the sound engine's channels,
// the runtime's ROM-source reference) register a hook that drops them; every
// hook runs before a record is freed. At most 8 hooks.
using orbo_cart_release_fn = void (*)(orbo_cart* cart);
void orbo_add_cart_release_hook(orbo_cart_release_fn fn);
void orbo_remove_cart_release_hook(orbo_cart_release_fn fn);

// Pixel and cell access without bounds checks beyond the asserts of the
// record's invariants; callers pass coordinates inside the bitmap.
inline uint8_t& cart_px(kiln_bitmap& bm, int x, int y) { return bm.pixels[size_t(y) * size_t(bm.w) + size_t(x)]; }
inline uint8_t cart_px(const kiln_bitmap& bm, int x, int y) { return bm.pixels[size_t(y) * size_t(bm.w) + size_t(x)]; }

// Default speed of sfx n in a new record.
inline int32_t orbo_default_sfx_speed(int n) { return n == 0 ? 1 : 16; }
// Default channel value of channel k in a new record (all disabled).
inline int32_t orbo_default_channel(int k) { return 0x41 + k; }

// A deep copy (the label included).
orbo_cart_ptr orbo_copy_cart(const orbo_cart& src);
