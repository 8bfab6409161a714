#include "app/display.h"

#include <cstring>

#include "hardware/console.h"
#include "app/state.h"
#include "runtime/pstate.h"
#include "hardware/machine.h"

void orbo_convert_screen(const kiln_bitmap& src, kiln_bitmap& dst, uint8_t table[16],
                         const uint8_t unlock[4], int m, bool running)
{
    if (src.w != 128 || src.h != 128 || dst.w != 128 || dst.h != 128 || src.depth != 8 ||
        dst.depth != 8)
        return;
    dst.pixels = src.pixels;
    uint8_t mask = memcmp(unlock, ORBO_PALETTE_UNLOCK, 4) == 0 ? 0x8F : 0x0F;
    for (int i = 0; i < 16; i++) table[i] &= mask;
    for (uint8_t& p : dst.pixels) p = table[p & 15];
    if (!running) return;
    if (m == 1 || m == 3) {
        for (int y = 0; y < 128; y++) {
            uint8_t* r = dst.row(y);
            for (int x = 127; x >= 0; x--) r[x] = r[x / 2];
        }
    }
    if (m == 2 || m == 3) {
        for (int y = 127; y >= 0; y--) memcpy(dst.row(y), dst.row(y / 2), 128);
    }
    if (m == 5 || m == 7) {
        for (int y = 0; y < 128; y++) {
            uint8_t* r = dst.row(y);
            for (int x = 0; x < 64; x++) r[127 - x] = r[x];
        }
    }
    if (m == 6 || m == 7) {
        for (int y = 64; y < 128; y++) memcpy(dst.row(y), dst.row(127 - y), 128);
    }
}

void blit_orbo_back_page_to_orbo_screen()
{
    if (!shell.display) return;
    orbo_machine* c = orbo_live_machine();
    bool running = pstate.app_mode == MODE_RUNNING && pstate.program_flag;
    orbo_convert_screen(*c->screen, *shell.display, c->screen_pal, &c->mem[0x5F60], c->screen_mode, running);
}
