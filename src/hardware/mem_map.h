// The console's address map: one table of regions and one decode function.
// Every byte access (peek, poke and the bulk operations built on them)
// decodes its address here and nowhere else.
#pragma once
#include <cstdint>

enum orbo_region : uint8_t {
    ORBO_R_GFX,         // 0x0000 sprite sheet rows 0-63
    ORBO_R_GFX_SHARED,  // 0x1000 sprite rows 64-127 = map rows 32-63
    ORBO_R_MAP,         // 0x2000 map rows 0-31
    ORBO_R_FLAGS,       // 0x3000 sprite flags
    ORBO_R_MUSIC,       // 0x3100 64 patterns of 4 bytes
    ORBO_R_SFX,         // 0x3200 64 sound effects of 68 bytes
    ORBO_R_GENERAL,     // 0x4300 general-purpose memory
    ORBO_R_CDATA,       // 0x5E00 persistent cartridge-data words
    ORBO_R_DRAW,        // 0x5F00 draw-state registers
    ORBO_R_AUDIO_MASK,  // 0x5F40 audio effect masks
    ORBO_R_FLAGS_PLAIN, // 0x5F44 flags other parts read; plain memory
    ORBO_R_GPIO,        // 0x5F80 GPIO pins
    ORBO_R_SCREEN,      // 0x6000 screen, 4 bits per pixel
    ORBO_R_NONE,        // outside 0x0000-0x7FFF
};

struct orbo_region_info {
    int32_t first, last;  // inclusive address range
    orbo_region region;
    bool rom;             // carried by a cartridge file (reload, cstore)
    const char* name;
};

// The regions in address order; they tile 0x0000-0x7FFF without gaps.
extern const orbo_region_info orbo_address_map[];
extern const int orbo_address_map_size;

constexpr int32_t ORBO_ROM_END = 0x4300;  // first address past the ROM part

// The region of addr; ORBO_R_NONE outside 0-0x7FFF (negative included).
orbo_region orbo_decode(int32_t addr);
