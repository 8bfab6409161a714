// The console's address decode over the address map.
// Every byte access (peek, poke and the bulk operations built on them)
// decodes its address here and nowhere else.
#pragma once
#include <cstdint>

#include "cart/address_map.h"

// The region of addr; ORBO_R_NONE outside 0-0x7FFF (negative included).
orbo_region orbo_decode(int32_t addr);
