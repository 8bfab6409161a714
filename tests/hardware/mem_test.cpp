// Console memory: the address map, every region's byte conversion, the
// register rules and the bulk operations.
#include <tuple>

#include "cart/cart_partial.h"
#include "cart/cart_env.h"
#include "hardware/mem_map.h"
#include "hw_fixture.h"

using namespace hwtest;

TEST(MemMap, RegionsTileTheAddressSpaceAndDecodeByTable)
{
    int32_t next = 0;
    for (int i = 0; i < orbo_address_map_size; i++) {
        const orbo_region_info& r = orbo_address_map[i];
        EXPECT_EQ(r.first, next) << r.name;
        EXPECT_EQ(r.rom, r.last < ORBO_ROM_SIZE) << r.name;
        EXPECT_EQ(orbo_decode(r.first), r.region) << r.name;
        EXPECT_EQ(orbo_decode(r.last), r.region) << r.name;
        next = r.last + 1;
    }
    EXPECT_EQ((std::tuple{next, orbo_decode(-1), orbo_decode(0x8000), orbo_decode(INT32_MIN), orbo_decode(0x5F43),
                          orbo_decode(0x5F44)}),
              (std::tuple{0x8000, ORBO_R_NONE, ORBO_R_NONE, ORBO_R_NONE, ORBO_R_AUDIO_MASK, ORBO_R_FLAGS_PLAIN}));
}

using Mem = console_test;

TEST_F(Mem, ScreenBytesPackTwoPixelsLowNibbleLeft)
{
    poke(0x6000, 0x1f);
    EXPECT_EQ(orbo_pget(c, 2, 0, 0), 15);
    EXPECT_EQ(orbo_pget(c, 2, 1, 0), 1);
    EXPECT_EQ(peek(0x6000), 0x1f);
    // A screen pixel may hold a larger value; a byte read masks each pixel.
    c->screen->row(127)[126] = 0x21;
    c->screen->row(127)[127] = 0x35;
    EXPECT_EQ(peek(0x7FFF), 0x51);
    EXPECT_EQ(c->mem[0x6000], 0x1f);  // shadow memory holds every byte written
}

TEST_F(Mem, GeneralMemoryCartDataAndGpio)
{
    poke(0x4300, 0x12);
    poke(0x5DFF, 0x34);
    EXPECT_EQ(peek(0x4300), 0x12);
    EXPECT_EQ(peek(0x5DFF), 0x34);
    poke(0x5E05, 0xab);
    EXPECT_EQ(c->cdata[1], 0xab00u);
    EXPECT_TRUE(c->cdata_dirty);
    EXPECT_EQ(peek(0x5E05), 0xab);
    c->cdata_dirty = false;
    orbo_reset_glitch = 1;
    poke(0x5E05, 0x11);
    orbo_reset_glitch = 0;
    EXPECT_EQ(c->cdata[1], 0xab00u);
    EXPECT_FALSE(c->cdata_dirty);
    poke(0x5F85, 77);
    EXPECT_EQ(gpio_read(c, 5), 77);
    gpio_write(c, 6, 78);
    EXPECT_EQ(peek(0x5F86), 78);
}

TEST_F(Mem, OutOfRangeReadsAreZeroWritesAreErrors)
{
    EXPECT_EQ(peek(-1), 0);
    EXPECT_EQ(peek(0x8000), 0);
    EXPECT_EQ(orbo_runtime_errors, 0);
    poke(0x8000, 1);
    EXPECT_EQ(orbo_runtime_errors, 1);
    EXPECT_EQ(orbo_last_runtime_error, "bad memory access");
    poke(-5, 1);
    EXPECT_EQ(orbo_runtime_errors, 2);
    orbo_reset_glitch = 1;  // errors are dropped while the console resets
    poke(0x8000, 1);
    orbo_reset_glitch = 0;
    EXPECT_EQ(orbo_runtime_errors, 2);
}

TEST_F(Mem, DetachedAccessReachesOnlyTheRom)
{
    orbo_cart_ptr other = orbo_create_cart();
    orbo_poke(nullptr, other.get(), 0x0010, 0x5a);
    EXPECT_EQ(orbo_peek(nullptr, other.get(), 0x0010), 0x5a);
    EXPECT_EQ(peek(0x0010), 0);  // the live record is another one
    orbo_poke(nullptr, other.get(), 0x4300, 9);
    orbo_poke(nullptr, other.get(), 0x6000, 9);
    EXPECT_EQ(orbo_peek(nullptr, other.get(), 0x4300), 0);
    EXPECT_EQ(orbo_runtime_errors, 0);
    orbo_poke(nullptr, other.get(), 0x8000, 9);
    EXPECT_EQ(orbo_runtime_errors, 1);
    // A whole ROM copied record to record.
    for (int a = 0; a < 0x4300; a++) orbo_poke(nullptr, other.get(), a, (a * 7 + 3) & 0xff);
    for (int a = 0; a < 0x4300; a++) orbo_poke(nullptr, cart.get(), a, orbo_peek(nullptr, other.get(), a));
    for (int a = 0; a < 0x4300; a++) ASSERT_EQ(peek(a), orbo_peek(nullptr, other.get(), a)) << a;
}

TEST_F(Mem, CameraRegistersAreSignedSixteenBits)
{
    poke(0x5F28, 200);
    EXPECT_EQ(c->camera_x, -56);
    poke(0x5F28, 10);
    poke(0x5F29, 1);
    EXPECT_EQ(c->camera_x, 266);
    poke(0x5F2B, 0xff);
    poke(0x5F2A, 0xfe);
    EXPECT_EQ(c->camera_y, -2);
    EXPECT_EQ(peek(0x5F2A), 0xfe);
    EXPECT_EQ(peek(0x5F2B), 0xff);
    orbo_camera(c, 2, -300, 1000);
    EXPECT_EQ(c->camera_x, -300);
    EXPECT_EQ(c->camera_y, 1000);
    orbo_camera(c, 2, 0x12345, 0);  // the integer part's low 16 bits, signed
    EXPECT_EQ(c->camera_x, 0x2345);
    orbo_camera(c, 0, 9, 9);
    EXPECT_EQ(c->camera_x, 0);
    EXPECT_EQ(c->camera_y, 0);
}

TEST_F(Mem, ClipFillPatternPaletteAndMaskRegisters)
{
    poke(0x5F20, 10);
    poke(0x5F23, 200);
    EXPECT_EQ(c->screen->clip_x0, 10);
    EXPECT_EQ(c->screen->clip_y1, 128);  // the bitmap clip is lowered to the screen
    EXPECT_EQ(peek(0x5F23), 200);        // the register keeps the byte
    poke(0x5F33, 3);
    EXPECT_EQ(c->fill_pattern, 0x30000u);
    poke(0x5F31, 0x34);
    poke(0x5F32, 0x12);
    EXPECT_EQ(c->fill_pattern, 0x31234u);
    EXPECT_EQ(peek(0x5F33), 3);
    poke(0x5F33, 0);
    EXPECT_EQ(c->fill_pattern, 0x21234u);  // only bit 16 is cleared before the OR
    poke(0x5F40, 0xff);
    EXPECT_EQ(peek(0x5F40), 0xff);
    EXPECT_EQ(c->audio_mask[0], 15);
    poke(0x5F03, 0x93);
    EXPECT_EQ(c->draw_pal[3], 0x93);
    poke(0x5F1F, 0x8c);
    EXPECT_EQ(c->screen_pal[15], 0x8c);
    EXPECT_EQ(peek(0x5F1F), 0x8c);
    poke(0x5F2C, 3);
    EXPECT_EQ(c->screen_mode, 3);
    poke(0x5F25, 0x2c);
    EXPECT_EQ(c->pen, 0x2c);
    poke(0x5F26, 40);
    poke(0x5F27, 50);
    EXPECT_EQ(c->cursor_x, 40);
    EXPECT_EQ(c->cursor_y, 50);
    poke(0x5F35, 7);  // plain register bytes
    EXPECT_EQ(peek(0x5F35), 7);
}

TEST_F(Mem, ResetDrawStateKeepsCursorY)
{
    c->cursor_y = 42;
    c->cursor_x = 9;
    poke(0x5F20, 50);
    poke(0x5F05, 1);
    poke(0x5F31, 1);
    orbo_reset_draw_state(c);
    EXPECT_EQ((std::tuple{c->cursor_y, c->cursor_x, c->pen, c->draw_pal[0], c->draw_pal[5], c->fill_pattern,
                          c->screen->clip_x0, c->screen->clip_x1}),
              (std::tuple{42, 0, 6, 16, 5, 0u, 0, 128}));
}

TEST_F(Mem, MemcpyHandlesOverlapBothWays)
{
    for (int i = 0; i < 11; i++) poke(0x4300 + i, i + 1);
    orbo_memcpy(c, cart.get(), 0x4301, 0x4300, 10);
    for (int i = 0; i < 10; i++) EXPECT_EQ(peek(0x4301 + i), i + 1);
    for (int i = 0; i < 11; i++) poke(0x4300 + i, i + 1);
    orbo_memcpy(c, cart.get(), 0x4300, 0x4301, 10);
    for (int i = 0; i < 10; i++) EXPECT_EQ(peek(0x4300 + i), i + 2);
    EXPECT_EQ(orbo_runtime_errors, 0);
}

TEST_F(Mem, MemcpyPastTheEndWritesWhatFitsAndRecordsTheRest)
{
    for (int i = 0; i < 32; i++) poke(i, i + 100);
    orbo_memcpy(c, cart.get(), 0x7ff0, 0x0, 32);
    EXPECT_EQ(orbo_runtime_errors, 16);
    EXPECT_EQ(peek(0x7ff0), (100 & 15) | (100 >> 4) << 4);
    // Sources outside memory read 0; lengths out of range do nothing.
    orbo_memcpy(c, cart.get(), 0x4300, -2, 4);
    EXPECT_EQ(peek(0x4300), 0);
    EXPECT_EQ(peek(0x4302), 100);
    poke(0x4400, 1);
    orbo_memcpy(c, cart.get(), 0x4400, 0x4300, 0);
    orbo_memcpy(c, cart.get(), 0x4400, 0x4300, 32768);
    orbo_memcpy(c, cart.get(), 0x4400, 0x4300, -5);
    EXPECT_EQ(peek(0x4400), 1);
    // The screen copied onto itself through packed bytes stays the same.
    for (int i = 0; i < 0x2000; i++) poke(0x6000 + i, i * 13);
    orbo_memcpy(c, cart.get(), 0x4300, 0x6000, 0x1b00);
    for (int i = 0; i < 0x1b00; i++) ASSERT_EQ(peek(0x4300 + i), (i * 13) & 0xff);
}

TEST_F(Mem, MemsetWritesEveryByteAsPoke)
{
    orbo_memset(c, cart.get(), 0x6000, 0x7c, 0x2000);
    EXPECT_EQ(px(0, 0), 0xc);
    EXPECT_EQ(px(127, 127), 0x7);
    orbo_memset(c, cart.get(), 0x7ffe, 1, 4);
    EXPECT_EQ(orbo_runtime_errors, 2);
    orbo_memset(c, cart.get(), 0x4300, 0x1ff, 1);
    EXPECT_EQ(peek(0x4300), 0xff);
    orbo_memset(c, cart.get(), 0x4300, 5, 32768);
    EXPECT_EQ(peek(0x4300), 0xff);
}

TEST_F(Mem, ReloadCopiesRomOnlyAndStallsAfterANamedReload)
{
    orbo_cart_ptr loaded = orbo_create_cart();
    orbo_poke(nullptr, loaded.get(), 0x10, 0x42);
    orbo_poke(nullptr, loaded.get(), 0x42ff, 0x33);
    poke(0x4300, 0x77);
    orbo_reload(c, cart.get(), loaded.get(), 0x10, 0x10, 1);
    EXPECT_EQ(peek(0x10), 0x42);
    orbo_reload(c, cart.get(), loaded.get(), 0x4400, 0x42ff, 2);  // past the ROM reads 0
    EXPECT_EQ(peek(0x4400), 0x33);
    EXPECT_EQ(peek(0x4401), 0);
    orbo_reload(c, cart.get(), loaded.get(), 0x7ffe, 0, 5);
    EXPECT_EQ(orbo_runtime_errors, 3);

    static int held = 0;
    orbo_cart_env_get().set_hold_frames = [](int frames) { held = frames; };
    orbo_last_partial_file() = "other.ob";
    orbo_reload(c, cart.get(), loaded.get(), 0, 0, 0);  // a length of 0 still stalls
    EXPECT_EQ(held, 30);
    EXPECT_TRUE(orbo_last_partial_file().empty());
    held = 0;
    orbo_reload(c, cart.get(), loaded.get(), 0, 0, 1);
    EXPECT_EQ(held, 0);
    orbo_last_partial_file() = "other.ob";
    orbo_reload(c, cart.get(), loaded.get(), 0, 0, 40000);  // too long: nothing at all
    EXPECT_EQ(orbo_last_partial_file(), "other.ob");
    orbo_cart_env_get().set_hold_frames = nullptr;
    orbo_last_partial_file().clear();
}

TEST_F(Mem, ScreenPaletteIsReducedAtDisplayUpdate)
{
    poke(0x5F13, 0xf7);
    orbo_reduce_screen_palette(c);
    EXPECT_EQ(peek(0x5F13), 0x07);
    poke(0x5F13, 0xf7);
    const int unlock[] = {0xAD, 0xDF, 0xAD, 0xED};
    for (int i = 0; i < 4; i++) poke(0x5F60 + i, unlock[i]);
    orbo_reduce_screen_palette(c);
    EXPECT_EQ(peek(0x5F13), 0x87);
    poke(0x5F63, 0);
    orbo_reduce_screen_palette(c);
    EXPECT_EQ(peek(0x5F13), 0x07);
}
