// Drawing bindings through a script state: argument conversion (missing,
// non-numeric, fractional, negative, huge), argument counts, results and
// charges.
#include <random>

#include "api_fixture.h"

using namespace hwtest;
using ApiGfx = api_test;

// The pixel rules themselves are the primitives' (tested there and in the
// cartridge suite); here what the bindings add: conversions and counts.
TEST_F(ApiGfx, ArgumentsConvertAndCountsSelectForms)
{
    run("pset(2.99, 3.5, 7)");  // floors
    EXPECT_EQ(px(2, 3), 7);
    run("pset('4', '5', '8')");  // numeric strings convert
    EXPECT_EQ(px(4, 5), 8);
    run("pset({}, nil, 9)");  // non-numbers read as 0
    EXPECT_EQ(px(0, 0), 9);
    run("pset(10) circfill(64)");  // fewer than 2 arguments: nothing
    EXPECT_EQ(ink(), 3);
    run("pset(20, 20)");  // colour absent: the pen (9, set by the last colour argument)
    EXPECT_EQ(num("pget(20, 20)"), fx(9));
    EXPECT_EQ(num("pget(20)"), 0);
    EXPECT_EQ(num("pget(32767, -32768)"), 0);
    // The colour-argument mode: integer bit 12 carries a pattern in the fraction.
    run("poke(0x5f34, 1) rectfill(0, 0, 3, 3, 0x1021.8000)");
    EXPECT_EQ(c->fill_pattern, 0x8000u);
    EXPECT_EQ(c->pen, 0x21);
    // Flips are truth values (1 true, nil false); n above 255 as unsigned draws nothing.
    fill_sprite(1);
    run("cls() spr(1, 0, 0, 1, 1, nil, 1)");
    EXPECT_EQ(px(0, 0), cart->gfx->row(7)[8]);
    run("cls() spr(257, 0, 0)");
    EXPECT_EQ(ink(), 0);
}

// print converts its argument as tostr does; the charge counts its characters.
TEST_F(ApiGfx, PrintConvertsItsArgumentAndCharges)
{
    EXPECT_EQ(run("return print('hi')"), 0);
    EXPECT_EQ(c->cursor_y, 6);
    struct { const char* arg; int chars; } cases[] = {{"12.5", 4}, {"nil", 5}, {"true", 4}, {"{}", 7}};
    for (const auto& k : cases) {
        charged();
        run(std::string("print(") + k.arg + ", 0, 20, 8)");
        EXPECT_EQ(charged(), 8 * k.chars + 2) << k.arg;
    }
    EXPECT_EQ(c->cursor_y, 20);  // set, not advanced: more than one argument
    EXPECT_EQ(c->pen, 8);
    run("print()");
    EXPECT_EQ(charged(), 0);
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
