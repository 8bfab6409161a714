#include "hardware/mem_map.h"

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
