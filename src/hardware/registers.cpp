// The draw-state registers 0x5F00-0x5F3F and the audio masks 0x5F40-0x5F43.
// Addresses without a register read and write shadow memory only.
#include <atomic>

#include "hardware/machine.h"
#include "hardware/mem_map.h"
#include "hardware/mem.h"

namespace {
constexpr int32_t k_draw_pal = orbo_base(ORBO_R_DRAW), k_screen_pal = k_draw_pal + 0x10;

int8_t as_signed(int v) { return int8_t(uint8_t(v)); }
}  // namespace

int orbo_register_read(const orbo_machine* c, int32_t addr)
{
    if (addr >= k_draw_pal && addr < k_draw_pal + 16) return c->draw_pal[addr - k_draw_pal];
    if (addr >= k_screen_pal && addr < k_screen_pal + 16) return c->screen_pal[addr - k_screen_pal];
    switch (addr) {
    case 0x5F20: case 0x5F21: case 0x5F22: case 0x5F23: return c->clip[addr - 0x5F20] & 0xff;
    case 0x5F25: return c->pen & 0xff;
    case 0x5F26: return c->cursor_x & 0xff;
    case 0x5F27: return c->cursor_y & 0xff;
    case 0x5F28: return c->camera_x & 0xff;
    case 0x5F29: return (c->camera_x >> 8) & 0xff;
    case 0x5F2A: return c->camera_y & 0xff;
    case 0x5F2B: return (c->camera_y >> 8) & 0xff;
    case 0x5F2C: return c->screen_mode & 0xff;
    case 0x5F31: return c->fill_pattern & 0xff;
    case 0x5F32: return (c->fill_pattern >> 8) & 0xff;
    case 0x5F33: return (c->fill_pattern >> 16) & 0xff;
    default: return c->mem[addr];  // plain bytes and the masks (read as written)
    }
}

void orbo_register_write(orbo_machine* c, int32_t addr, int v)
{
    v &= 0xff;
    if (addr >= k_draw_pal && addr < k_draw_pal + 16) {
        c->draw_pal[addr - k_draw_pal] = uint8_t(v);
        return;
    }
    if (addr >= k_screen_pal && addr < k_screen_pal + 16) {
        c->screen_pal[addr - k_screen_pal] = uint8_t(v);
        return;
    }
    if (orbo_decode(addr) == ORBO_R_AUDIO_MASK) {
        // The mixer reads the masks on its own thread.
        std::atomic_ref<int32_t>(c->audio_mask[addr - orbo_base(ORBO_R_AUDIO_MASK)]).store(v & 15, std::memory_order_relaxed);
        return;
    }
    switch (addr) {
    case 0x5F20: case 0x5F21: case 0x5F22: case 0x5F23:
        c->clip[addr - 0x5F20] = v;
        orbo_set_clip(c->screen.get(), c->clip[0], c->clip[1], c->clip[2], c->clip[3]);
        break;
    case 0x5F25: c->pen = v; break;
    case 0x5F26: c->cursor_x = v; break;
    case 0x5F27: c->cursor_y = v; break;
    // The low camera byte is OR-ed in sign-extended: 128-255 set every higher bit.
    case 0x5F28: c->camera_x = (c->camera_x & ~0xff) | as_signed(v); break;
    case 0x5F29: c->camera_x = int32_t(uint32_t(as_signed(v)) << 8) | (c->camera_x & 0xff); break;
    case 0x5F2A: c->camera_y = (c->camera_y & ~0xff) | as_signed(v); break;
    case 0x5F2B: c->camera_y = int32_t(uint32_t(as_signed(v)) << 8) | (c->camera_y & 0xff); break;
    case 0x5F2C: c->screen_mode = v; break;
    case 0x5F31: c->fill_pattern = (c->fill_pattern & ~0xffu) | uint32_t(v); break;
    case 0x5F32: c->fill_pattern = (c->fill_pattern & ~0xff00u) | uint32_t(v) << 8; break;
    case 0x5F33: c->fill_pattern = (c->fill_pattern & ~0x10000u) | uint32_t(v) << 16; break;
    default: break;  // plain memory: the shadow byte is all there is
    }
}

void orbo_reduce_screen_palette(orbo_machine* c)
{
    static const uint8_t unlock[4] = {0xAD, 0xDF, 0xAD, 0xED};
    bool extended = c->mem[0x5F60] == unlock[0] && c->mem[0x5F61] == unlock[1] && c->mem[0x5F62] == unlock[2] &&
                    c->mem[0x5F63] == unlock[3];
    uint8_t keep = extended ? 0x8F : 0x0F;
    for (uint8_t& e : c->screen_pal) e &= keep;
}

void orbo_clear_audio_masks(orbo_machine* c)
{
    for (int32_t& m : c->audio_mask) std::atomic_ref<int32_t>(m).store(0, std::memory_order_relaxed);
}
