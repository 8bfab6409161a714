// Memory bindings: peek/poke and their word forms, the bulk operations,
// reload and cstore, with every charge and refund.

#include "cart/cart_env.h"
#include "cart/cart_partial.h"
#include "api_fixture.h"

using namespace hwtest;
using ApiMem = api_test;

// Byte layouts and edge addresses are the memory map's (tested there and in
// the cartridge suite); here the bindings' conversions, refunds and charges.
TEST_F(ApiMem, PeekPokeAndTheirRefunds)
{
    run("poke(0x6000, 0x1f)");
    EXPECT_EQ(refunded(), -3);
    EXPECT_EQ(num("peek(0x6000)"), fx(0x1f));
    EXPECT_EQ(refunded(), -2);
    EXPECT_EQ(num("peek(0x6000, 1)"), fx(0x1f));  // two arguments: no refund
    run("poke(0x4300, 0x1ab, 5)");                 // three arguments: no refund
    EXPECT_EQ(refunded(), 0);
    EXPECT_EQ(num("peek(0x4300)"), fx(0xab));
    run("poke(0x4301.9, 7.9)");  // floors of both
    EXPECT_EQ(num("peek(0x4301)"), fx(7));
    poke(0, 0x42);
    EXPECT_EQ(num("peek()"), fx(0x42));  // the missing address reads as 0
    EXPECT_EQ(charged(), 0);
    // Words: the raw bits, refunded by argument count (peek4 always).
    refunded();
    run("poke4(0x4300, 1.5)");
    EXPECT_EQ(refunded(), -2);
    EXPECT_EQ(num("peek4(0x4300, 9)"), fx(1.5));
    EXPECT_EQ(refunded(), -2);
    run("poke4(0x4304, -1, 0)");  // three arguments: no refund
    EXPECT_EQ(refunded(), 0);
    EXPECT_EQ(num("peek4(0x4304)"), fx(-1));  // the script's -1 is raw 0xffff0000
    run("poke4(0x7ffe, -1)");                 // two bytes inside, two past the end
    EXPECT_EQ(orbo_runtime_errors, 2);
    // The camera registers as a word: x = 0x0102, y = -2.
    run("poke4(0x5f28, 0xfffe.0102)");
    EXPECT_EQ(c->camera_x, 0x0102);
    EXPECT_EQ(c->camera_y, -2);
}

TEST_F(ApiMem, BulkOperationsChargeByLength)
{
    struct { const char* call; int64_t charge; } cases[] = {
        {"memcpy(0x4301, 0x4300, 10)", 11},
        {"memcpy(0x4400, 0x4300, -5)", -4},  // len as unsigned, + 1: the charge wraps negative
        {"memcpy(0x4400, 0x4300, 40000)", -32767},  // 40000 reads as -32768: nothing copied
        {"memcpy(0x4400, 0x4300, 100.9)", 101},
        {"memset(0x4500, 0x1ff, 9)", 5},
        {"memset(0x4500, 1, 0)", 0},
        {"memset(0x4500, 1, -3)", -1},
    };
    for (const auto& k : cases) {
        charged();
        run(k.call);
        EXPECT_EQ(charged(), k.charge) << k.call;
    }
    EXPECT_EQ(peek(0x4500), 0xff);
    EXPECT_EQ(peek(0x4508), 0xff);
    EXPECT_EQ(peek(0x4509), 0);
}

TEST_F(ApiMem, ReloadCopiesFromTheLoadedCartridge)
{
    orbo_cart* loaded = orbo_working().cart.get();
    for (int a = 0; a < ORBO_ROM_SIZE; a += 97) orbo_poke(nullptr, loaded, a, (a >> 3) & 0xff);
    orbo_poke(nullptr, loaded, 0x42ff, 0x5a);
    EXPECT_EQ(num("reload(0, 0)"), fx(ORBO_ROM_SIZE));  // two arguments: the whole ROM
    EXPECT_EQ(charged(), 32768);
    for (int a = 0; a < ORBO_ROM_SIZE; a++) ASSERT_EQ(peek(a), orbo_peek(nullptr, loaded, a)) << a;
    run("memset(0, 0, 0x4300)");
    charged();
    EXPECT_EQ(num("reload()"), fx(ORBO_ROM_SIZE));
    EXPECT_EQ(peek(0x42ff), 0x5a);
    EXPECT_EQ(charged(), 32768);
    EXPECT_EQ(num("reload(0x4300, 0x42ff, 2)"), fx(2));
    EXPECT_EQ(charged(), 16);
    EXPECT_EQ(num("reload(0x4300, 0, 10000)"), fx(10000));
    EXPECT_EQ(charged(), 4096 * 8);
    // Refused file names are charged all the same.
    EXPECT_EQ(num("reload(0, 0, 10, '__x.ob')"), 0);
    EXPECT_EQ(num("cstore(0, 0, 10, '__x.ob')"), 0);
    EXPECT_EQ(charged(), 80 + 640);
    EXPECT_EQ(num("cstore(0, 0, 10, '" + std::string(600, 'a') + "')"), 0);
    EXPECT_EQ(num("cstore(0, 0, 10000, {})"), 0);  // not a name: refused
    EXPECT_EQ(charged(), 640 + 4096 * 64);
    // A nil fourth argument is no file name.
    EXPECT_EQ(num("reload(0, 0, 10, nil)"), fx(10));
}
