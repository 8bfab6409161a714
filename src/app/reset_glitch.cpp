#include "app/reset_glitch.h"

#include "app/state.h"
#include "engine/math/fixed.h"
#include "hardware/machine.h"
#include "hardware/mem.h"
#include "runtime/pstate.h"

namespace {
constexpr int k_keep_addr = 0x5F2E;
constexpr int k_screen_mode_addr = 0x5F2C;
constexpr int k_hw_addr = 0x5F40;
constexpr int k_scramble_frame = 2;
constexpr int k_restart_frame = 5;

int rnd(int n) { return int(orbo_random(uint32_t(n))); }
bool chance(int n) { return rnd(n) == 0; }

// 0..1023 bytes from within 2 KiB of a destination 1024..31743, then
// 0..1023 bytes between two addresses below 31744.
void block_copy(orbo_machine* c)
{
    int dest = 1024 + rnd(31744 - 1024);
    int src = dest - 2048 + rnd(4096);
    if (src < 0) src = 0;
    orbo_memcpy(c, c->cart, dest, src, rnd(1024));
    orbo_memcpy(c, c->cart, rnd(31744), rnd(31744), rnd(1024));
}

void block_fill(orbo_machine* c) { orbo_memset(c, c->cart, rnd(18432), rnd(256), rnd(512)); }

void scramble(orbo_machine* c)
{
    int keep = orbo_peek(c, c->cart, k_keep_addr);
    if (chance(8)) orbo_poke(c, c->cart, k_screen_mode_addr, rnd(4));
    if (chance(8))
        for (int i = 0; i < 4; i++) orbo_poke(c, c->cart, k_hw_addr, rnd(256));
    int k = chance(4) ? 10 + rnd(30) : 2 + rnd(4);
    if (app.glitch_test) k = 2 * app.glitch_shots;
    int pokes = 10 * k, copies = k / 2, fills = k / 2;
    if (!app.glitch_test && chance(20)) pokes = 3000, copies = fills = 150;
    for (int i = 0; i < pokes; i++) orbo_poke(c, c->cart, rnd(32768), rnd(256));
    for (int i = 0; i < copies; i++) block_copy(c);
    for (int i = 0; i < fills; i++) block_fill(c);
    orbo_poke(c, c->cart, k_keep_addr, keep);
}
}  // namespace

void update_reset_glitch()
{
    if (orbo_reset_glitch <= 0) return;
    orbo_reset_glitch++;
    if (orbo_reset_glitch == k_scramble_frame) {
        if (orbo_machine* c = orbo_live_machine()) scramble(c);
    } else if (orbo_reset_glitch >= k_restart_frame) {
        orbo_reset_glitch = 0;
        pstate.pending_action = ACTION_RUN;
        pstate.pending_param = pstate.run_param;
    }
}

void orbo_update_reset_glitch() { update_reset_glitch(); }
