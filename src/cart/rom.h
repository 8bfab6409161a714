// The ROM half of console memory (0x0000..0x42FF) as bytes of a cartridge
// record, read and written without any console state. The memory map wraps
// these for live access; here every address outside the ROM reads 0 and
// every write outside it is dropped.
//
//   0x0000..0x1FFF sprite sheet, 64 bytes per pixel row, even x in the low nibble
//   0x1000..0x1FFF also map rows 32..63 (cell (x, r) at 0x1000 + (r-32)*128 + x)
//   0x2000..0x2FFF map rows 0..31, one cell per byte
//   0x3000..0x30FF sprite flags
//   0x3100..0x31FF music: byte k of pattern p = channel value & 127 | flag bit k << 7
//   0x3200..0x42FF sfx, 68 bytes each: 32 note words (low byte first), then
//                  mode, speed, loop_start, loop_end
#pragma once
#include <cstdint>

#include "cart/cart.h"

int orbo_rom_peek(const orbo_cart* cart, int addr);
void orbo_rom_poke(orbo_cart* cart, int addr, int value);

// The whole ROM image, 0x4300 bytes.
void orbo_cart_to_rom(const orbo_cart* cart, uint8_t* rom);
void orbo_rom_to_cart(orbo_cart* cart, const uint8_t* rom);

// Reconcile the shared half: map rows 32..63 against sprite rows 64..127.
void sync_shared_gfx_to_map(orbo_cart* cart);
void sync_shared_map_to_gfx(orbo_cart* cart);
// True when any cell of map rows 32..63 is not 0.
bool orbo_cart_lower_map_used(const orbo_cart* cart);
