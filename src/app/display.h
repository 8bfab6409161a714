// The console screen as shown: the display palette table (with the extended
// palette when unlocked) and the screen mode applied to a copy of it.
#pragma once
#include <cstdint>

#include "platform/bitmap.h"

// Unlock bytes for 0x5f60..0x5f63.
constexpr uint8_t ORBO_PALETTE_UNLOCK[4] = {0xAD, 0xDF, 0xAD, 0xED};

// Converts src into dst (both 128x128, 8-bit). The table is masked in place
// (0x8F unlocked, 0x0F otherwise). The screen mode applies only while a
// program runs.
void orbo_convert_screen(const kiln_bitmap& src, kiln_bitmap& dst, uint8_t table[16],
                         const uint8_t unlock[4], int screen_mode, bool program_running);

// The shell's step: pstate's console screen into pstate's display bitmap.
void blit_orbo_back_page_to_orbo_screen();
