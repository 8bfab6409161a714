// The console's address map: one table of the regions of its 32 KiB. The
// cartridge's ROM image and the machine's memory both lay their bytes out
// by it; every base address is read from it, never repeated.
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
inline constexpr orbo_region_info orbo_address_map[] = {
    {0x0000, 0x0FFF, ORBO_R_GFX, true, "sprite sheet rows 0-63"},
    {0x1000, 0x1FFF, ORBO_R_GFX_SHARED, true, "sprite sheet rows 64-127, map rows 32-63"},
    {0x2000, 0x2FFF, ORBO_R_MAP, true, "map rows 0-31"},
    {0x3000, 0x30FF, ORBO_R_FLAGS, true, "sprite flags"},
    {0x3100, 0x31FF, ORBO_R_MUSIC, true, "music patterns"},
    {0x3200, 0x42FF, ORBO_R_SFX, true, "sound effects"},
    {0x4300, 0x5DFF, ORBO_R_GENERAL, false, "general-purpose memory"},
    {0x5E00, 0x5EFF, ORBO_R_CDATA, false, "persistent cartridge data"},
    {0x5F00, 0x5F3F, ORBO_R_DRAW, false, "draw state"},
    {0x5F40, 0x5F43, ORBO_R_AUDIO_MASK, false, "audio effect masks"},
    {0x5F44, 0x5F7F, ORBO_R_FLAGS_PLAIN, false, "flags"},
    {0x5F80, 0x5FFF, ORBO_R_GPIO, false, "GPIO pins"},
    {0x6000, 0x7FFF, ORBO_R_SCREEN, false, "screen"},
};
inline constexpr int orbo_address_map_size = int(sizeof orbo_address_map / sizeof orbo_address_map[0]);

// The first address of a region.
constexpr int32_t orbo_base(orbo_region r)
{
    for (const orbo_region_info& info : orbo_address_map)
        if (info.region == r) return info.first;
    return -1;
}

constexpr int ORBO_ROM_SIZE = orbo_base(ORBO_R_GENERAL);  // bytes of the ROM part, 0x0000 up

