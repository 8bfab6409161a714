// Random sequences of drawing primitives and memory operations on a console.
// Each call must stay inside the console state: the sanitizers catch stray
// accesses, and the checks below catch writes outside the clip (for the
// drawing calls) and changes to the sheet, map and flags (for every call that
// may not write them).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "hardware/machine.h"
#include "hardware/draw_state.h"
#include "hardware/gfx.h"
#include "hardware/mem.h"
#include "hardware/runtime_link.h"

namespace {
struct reader {
    const uint8_t* p;
    size_t n;
    uint8_t byte() { return n ? (n--, *p++) : 0; }
    int32_t word()
    {
        // Mostly small coordinates, sometimes anything.
        uint8_t k = byte();
        if (k < 160) return int32_t(int8_t(byte())) * (k & 1 ? 1 : 3);
        uint32_t v = 0;
        for (int i = 0; i < 4; i++) v = v << 8 | byte();
        return int32_t(v);
    }
};

bool same_rom(const orbo_cart& a, const orbo_cart& b)
{
    return a.gfx->pixels == b.gfx->pixels && a.map->pixels == b.map->pixels &&
           std::memcmp(a.flags, b.flags, sizeof a.flags) == 0;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orbo_cart_ptr cart = orbo_create_cart();
    auto con = orbo_create_machine(cart.get());
    orbo_machine* c = con.get();
    reader r{data, size};
    for (int op = 0; op < 64 && r.n; op++) {
        uint8_t kind = r.byte();
        int nargs = r.byte() % 11;
        int32_t a = r.word(), b = r.word(), d = r.word(), e = r.word(), f = r.word();
        orbo_cart_ptr rom = orbo_copy_cart(*cart);
        std::vector<uint8_t> screen = c->screen->pixels;
        int x0 = c->screen->clip_x0, y0 = c->screen->clip_y0, x1 = c->screen->clip_x1, y1 = c->screen->clip_y1;
        bool draws = true, keeps_rom = true;
        switch (kind % 24) {
        case 0: orbo_pset(c, nargs, a, b, d); break;
        case 1: orbo_line(c, nargs, a, b, d, e, f); break;
        case 2: orbo_rect(c, nargs, a, b, d, e, f); break;
        case 3: orbo_rectfill(c, nargs, a, b, d, e, f); break;
        case 4: orbo_circ(c, nargs, a, b, d, f); break;
        case 5: orbo_circfill(c, nargs, a, b, d, f); break;
        case 6: orbo_spr(c, nargs, a, b, d, e, f, a & 1, b & 1); break;
        case 7: orbo_sspr(c, nargs, a, b, d, e, f, a, b, d, e & 1, f & 1); break;
        case 8: orbo_map(c, nargs, a, b, d, e, f, a, b); break;
        case 9: orbo_print(c, nargs, "ab\ncd\x7f" "ef", a, b, d); break;
        case 10: orbo_pget(c, nargs, a, b); break;
        case 11: orbo_pal(c, nargs, a, b, d); break;
        case 12: orbo_palt(c, nargs, a, b & 1); break;
        case 13: orbo_camera(c, nargs, a, b); break;
        case 14: orbo_clip(c, nargs, a, b, d, e); draws = false; break;
        case 15: orbo_fillp(c, nargs, a); break;
        case 16: orbo_cursor(c, nargs, a, b); break;
        case 17: orbo_cls(c, nargs, a); draws = false; break;
        case 18: orbo_sset(c, nargs, a, b, d); keeps_rom = false; break;
        case 19: orbo_mset(c, a, b, d); keeps_rom = false; break;
        case 20: orbo_fset(c, nargs, a, b, d & 1); keeps_rom = false; break;
        case 21: orbo_poke(c, cart.get(), a & 0xffff, b); draws = keeps_rom = false; break;
        case 22: orbo_memcpy(c, cart.get(), a & 0xffff, b & 0xffff, d & 0x7fff); draws = keeps_rom = false; break;
        case 23: orbo_memset(c, cart.get(), a & 0xffff, b, d & 0x7fff); draws = keeps_rom = false; break;
        }
        if (keeps_rom && !same_rom(*cart, *rom)) std::abort();
        if (draws)
            for (int y = 0; y < 128; y++)
                for (int x = 0; x < 128; x++)
                    if ((x < x0 || x >= x1 || y < y0 || y >= y1) && screen[y * 128 + x] != c->screen->row(y)[x])
                        std::abort();
    }
    return 0;
}
