#include "hardware/mem_map.h"

const orbo_region_info orbo_address_map[] = {
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
const int orbo_address_map_size = int(sizeof orbo_address_map / sizeof orbo_address_map[0]);

namespace {
// A table of the region of every 4-byte group, generated from the map (every
// region boundary is a multiple of 4), so that decoding is one lookup.
struct group_table {
    orbo_region group[0x2000];
    group_table()
    {
        for (int g = 0; g < 0x2000; g++) {
            group[g] = ORBO_R_NONE;
            for (const orbo_region_info& r : orbo_address_map)
                if (g * 4 >= r.first && g * 4 <= r.last) group[g] = r.region;
        }
    }
};
const group_table k_groups;
}  // namespace

orbo_region orbo_decode(int32_t addr)
{
    if (uint32_t(addr) > 0x7FFF) return ORBO_R_NONE;
    return k_groups.group[addr >> 2];
}
