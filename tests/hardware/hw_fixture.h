// A console over a fresh cartridge record, with the runtime hooks' counters reset.
#pragma once
#include <gtest/gtest.h>

#include "golden.h"
#include "hardware/machine.h"
#include "hardware/draw_state.h"
#include "hardware/gfx.h"
#include "hardware/mem.h"
#include "hardware/runtime_link.h"

namespace hwtest {

// A 16.16 raw value; integer parts past 32767 wrap as the script's numbers do.
constexpr int32_t fx(double v) { return int32_t(uint32_t(int64_t(v * 65536.0))); }

struct console_test : ::testing::Test {
    orbo_cart_ptr cart = orbo_create_cart();
    std::unique_ptr<orbo_machine> con = orbo_create_machine(cart.get());
    orbo_machine* c = con.get();

    void SetUp() override
    {
        orbo_reset_runtime_hooks();
        c->font = console_font();
    }
    int peek(int a) { return orbo_peek(c, cart.get(), a); }
    void poke(int a, int v) { orbo_poke(c, cart.get(), a, v); }
    uint8_t px(int x, int y) { return c->screen->row(y)[x]; }
    // Charges made since the last call.
    int64_t charged()
    {
        int64_t n = orbo_cpu_charged;
        orbo_cpu_charged = 0;
        orbo_cpu_charges = 0;
        return n;
    }
    // Non-zero pixels of the screen.
    int ink()
    {
        int n = 0;
        for (uint8_t v : c->screen->pixels) n += v != 0;
        return n;
    }
    // Sprite n filled with a pattern of its own: pixel (x, y) = (x + y + n) % 15 + 1.
    void fill_sprite(int n)
    {
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++) cart->gfx->row((n >> 4) * 8 + y)[(n & 15) * 8 + x] = uint8_t((x + y + n) % 15 + 1);
    }
};

}  // namespace hwtest
