// Drawing bindings through a script state: argument conversion (missing,
// non-numeric, fractional, negative, huge), argument counts, results and
// charges.
#include <random>

#include "api_fixture.h"

using namespace hwtest;
using ApiGfx = api_test;

TEST_F(ApiGfx, CoordinatesAreFloorsAndNonNumbersReadAsZero)
{
    run("pset(-0.5, 0, 7)");  // x = -1: outside the screen
    EXPECT_EQ(ink(), 0);
    run("pset(2.99, 3.5, 7)");
    EXPECT_EQ(px(2, 3), 7);
    run("pset('4', '5', '8')");  // numeric strings convert
    EXPECT_EQ(px(4, 5), 8);
    run("pset({}, nil, 9)");  // non-numbers read as 0
    EXPECT_EQ(px(0, 0), 9);
    run("pset(10)");  // fewer than 2 arguments: nothing
    EXPECT_EQ(ink(), 3);
    run("pset(20, 20)");  // colour absent: the pen (9, set by the last colour argument)
    EXPECT_EQ(px(20, 20), 9);
    EXPECT_EQ(num("pget(20, 20)"), fx(9));
    EXPECT_EQ(num("pget(20)"), 0);
    EXPECT_EQ(num("pget(-1, 0)"), 0);
    EXPECT_EQ(num("pget(32767, -32768)"), 0);
}

TEST_F(ApiGfx, ColourArgumentKeepsItsRawBitsAndPenFollows)
{
    EXPECT_EQ(num("(function() color(0x1c) return peek(0x5f25) end)()"), fx(28));
    run("pset(0, 0, 0x21)");
    EXPECT_EQ(num("pget(0, 0)"), fx(33));
    run("color()");
    EXPECT_EQ(num("peek(0x5f25)"), 0);
    // The colour-argument mode: integer bit 12 carries a pattern in the fraction.
    run("poke(0x5f34, 1) rectfill(0, 0, 3, 3, 0x1021.8000)");
    EXPECT_EQ(c->fill_pattern, 0x8000u);
    EXPECT_EQ(c->pen, 0x21);
}

TEST_F(ApiGfx, CountsSelectOptionalForms)
{
    fill_sprite(1);
    fill_sprite(2);
    run("spr(1, 0, 0, 2)");  // h missing: nothing
    EXPECT_EQ(ink(), 0);
    run("spr(1, 0, 0, 1.5, 1)");
    EXPECT_EQ(ink(), 12 * 8);
    EXPECT_EQ(charged(), 96);
    charged();
    run("cls() spr(257, 0, 0) spr(-1, 0, 0)");  // n above 255 as unsigned: nothing
    EXPECT_EQ(ink(), 0);
    EXPECT_EQ(charged(), 1024);
    run("spr(1, 124, 124)");  // the clipped area is charged
    EXPECT_EQ(charged(), 16);
    run("cls() spr(1, 0, 0, 1, 1, true, false)");
    EXPECT_EQ(px(0, 0), cart->gfx->row(0)[15]);
    run("cls() spr(1, 0, 0, 1, 1, nil, 1)");  // 1 is true, nil false
    EXPECT_EQ(px(0, 0), cart->gfx->row(7)[8]);
    // Mirrored and doubled, left edge at x = -6.
    run("cls() sspr(8, 0, 8, 8, 10, 10, -16, 16)");
    EXPECT_EQ(px(9, 10), cart->gfx->row(0)[8]);
    EXPECT_EQ(px(0, 10), cart->gfx->row(0)[12]);
    EXPECT_EQ(px(10, 10), 0);
    EXPECT_EQ(ink(), 10 * 16);
    run("cls() circ(64, 64, 0)");
    EXPECT_EQ(ink(), 1);
    run("cls() circfill(64, 64)");  // r defaults to 4
    EXPECT_EQ(px(68, 64), 6);
    EXPECT_EQ(px(69, 64), 0);
    run("cls() circfill(64)");  // fewer than 2: nothing
    EXPECT_EQ(ink(), 0);
}

TEST_F(ApiGfx, PrintConvertsItsArgumentAndCharges)
{
    EXPECT_EQ(run("return print('hi')"), 0);
    EXPECT_EQ(charged(), 8 * 2 + 2);
    EXPECT_EQ(c->cursor_y, 6);
    run("print(12.5, 0, 20, 8)");  // "12.5"
    EXPECT_EQ(charged(), 8 * 4 + 2);
    EXPECT_EQ(c->cursor_y, 20);  // set, not advanced: more than one argument
    EXPECT_EQ(c->pen, 8);
    run("print(nil, 0, 30)");  // "[nil]"
    EXPECT_EQ(charged(), 8 * 5 + 2);
    run("print(true, 0, 40)");
    EXPECT_EQ(charged(), 8 * 4 + 2);
    run("print({}, 0, 50)");  // "[table]"
    EXPECT_EQ(charged(), 8 * 7 + 2);
    run("print()");
    EXPECT_EQ(charged(), 0);
    // At the bottom the screen scrolls and the cursor stays.
    run("cls() cursor(0, 120) pset(0, 10, 7) print('hi')");
    EXPECT_EQ(c->cursor_y, 120);
    EXPECT_EQ(px(0, 4), 7);
    EXPECT_EQ(charged(), 1024 + 0x10000 + 18);
}

// Random calls of every drawing binding with hostile arguments never write
// outside the screen, the sheet or the map (the sanitizer build checks the
// accesses) and never raise an error.
TEST_F(ApiGfx, HostileArgumentsStayInside)
{
    const char* fns[] = {"pset", "pget", "line", "rect", "rectfill", "circ", "circfill", "spr", "sspr",
                         "map", "sget", "sset", "mget", "mset", "fget", "fset", "pal", "palt", "color",
                         "cursor", "camera", "clip", "fillp", "print", "cls"};
    const char* vals[] = {"0", "-1", "0.5", "-0.5", "127.99", "128", "255", "256", "-32768", "32767.99",
                          "0x7fff.ffff", "-0x8000", "nil", "true", "false", "{}", "'12'", "'x'", "1000",
                          "-1000", "8", "16"};
    std::mt19937 rng(1234);
    std::string code;
    for (int i = 0; i < 4000; i++) {
        code += fns[rng() % std::size(fns)];
        code += "(";
        int n = int(rng() % 11);
        for (int k = 0; k < n; k++) {
            if (k) code += ",";
            code += vals[rng() % std::size(vals)];
        }
        code += ")\n";
        if (i % 200 == 199) {
            run(code);
            code.clear();
        }
    }
    for (uint8_t v : cart->gfx->pixels) ASSERT_LT(v, 16);
    EXPECT_EQ(orbo_runtime_errors, 0);
}
