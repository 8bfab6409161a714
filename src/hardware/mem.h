// Byte access to console memory through the address map, and the bulk
// operations. `state` may be absent (detached access to a cartridge record:
// only the ROM part reaches anything); `cart` backs the ROM regions.
#pragma once
#include <cstdint>

#include "cart/cart.h"

struct orbo_machine;

int orbo_peek(const orbo_machine* state, const orbo_cart* cart, int32_t addr);
void orbo_poke(orbo_machine* state, orbo_cart* cart, int32_t addr, int32_t value);
void orbo_memcpy(orbo_machine* state, orbo_cart* cart, int32_t dest, int32_t src, int32_t len);
void orbo_memset(orbo_machine* state, orbo_cart* cart, int32_t dest, int32_t value, int32_t len);
// Copies ROM bytes of `loaded` (the cartridge as loaded from its file) into
// memory; reading anywhere outside the ROM part gives 0.
void orbo_reload(orbo_machine* state, orbo_cart* cart, const orbo_cart* loaded, int32_t dest, int32_t src,
                 int32_t len);

// The draw-state and audio-mask registers (0x5F00-0x5F43) as bytes.
int orbo_register_read(const orbo_machine* c, int32_t addr);
void orbo_register_write(orbo_machine* c, int32_t addr, int value);
// The four audio-effect masks to 0 (read by the mixer on its own thread).
void orbo_clear_audio_masks(orbo_machine* c);

// At every display update: each screen palette entry is reduced in place to
// bits 0-3, or to bits 0-3 and 7 while 0x5F60-0x5F63 hold AD DF AD ED (the
// extended palette unlock).
void orbo_reduce_screen_palette(orbo_machine* c);
