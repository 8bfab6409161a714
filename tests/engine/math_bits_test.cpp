// The script's rounding, bit and whole-number functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "engine/math/fixed.h"
#include "engine/math/mathlib.h"

namespace {
constexpr fix32 F(double v) { return fix32(v * 65536.0); }
constexpr fix32 I(int v) { return fix_from_int(v); }
}  // namespace

TEST(MathBits, RoundingAndMinMaxMid)
{
    EXPECT_EQ((std::tuple{orbo_flr(F(-0.5)), orbo_flr(-1), orbo_ceil(F(-0.5)), orbo_ceil(F(2.25)), orbo_ceil(I(2)),
                          orbo_ceil(F(32767.5)), orbo_abs(I(-32768)), orbo_abs(-1), orbo_sgn(0), orbo_sgn(-1)}),
              (std::tuple{I(-1), I(-1), 0, I(3), I(2), I(-32768), I(-32768), 1, I(1), I(-1)}));
    EXPECT_EQ(orbo_min(I(5), 0), 0);  // min(5): the missing argument is 0
    EXPECT_EQ(orbo_max(I(-2), I(3)), I(3));
    // The median for every order of three values, with ties.
    const fix32 v[][3] = {{1, 2, 3}, {5, 5, 1}, {-4, 7, 7}, {2, 2, 2}, {INT32_MIN, INT32_MAX, 0}};
    const fix32 median[] = {2, 5, 7, 2, 0};
    for (int s = 0; s < 5; s++) {
        int p[3] = {0, 1, 2};
        do {
            EXPECT_EQ(orbo_mid(v[s][p[0]], v[s][p[1]], v[s][p[2]]), median[s]) << s;
        } while (std::next_permutation(p, p + 3));
    }
}

TEST(MathBits, LogicShiftsAndRotations)
{
    using fn = fix32 (*)(fix32, fix32);
    const struct {
        fn f;
        fix32 a, n, want;
    } cases[] = {
        {orbo_band, F(1.5), F(0.75), F(0.5)},
        {orbo_bxor, I(12), I(10), I(6)},
        {orbo_shr, -1, I(40), -1},
        {orbo_shr, I(-4), I(32), -1},
        {orbo_shr, I(4), I(32), 0},
        {orbo_shr, I(1), I(-1), 0},            // a negative count shifts by 31
        {orbo_shr, INT32_MIN, I(-1), -1},
        {orbo_lshr, -1, I(16), 0xffff},
        {orbo_lshr, -1, I(32), 0},
        {orbo_lshr, -1, I(-1), 1},
        {orbo_shl, I(1), I(-1), 0},            // raw 0x10000 by 31
        {orbo_shl, 1, I(-1), INT32_MIN},
        {orbo_shl, I(1), I(32), 0},
        {orbo_shl, I(1), F(2.9), I(4)},        // the count is floored
        {orbo_shl, I(1), F(-0.5), 0},          // floor(-0.5) = -1: by 31
        {orbo_shl, I(3), I(-33), orbo_shl(I(3), I(31))},
        {orbo_rotr_num, I(1), I(16), 1},
        {orbo_rotl_num, I(1), I(16), 1},
        {orbo_rotl_num, F(0.5), 0, F(0.5)},
        {orbo_rotl_num, INT32_MIN, I(1), 1},
        {orbo_rotr_num, 1, I(1), INT32_MIN},
        {orbo_rotl_num, 0x12345678, I(36), 0x23456781},
        {orbo_rotr_num, 0x12345678, I(-4), 0x23456781},
    };
    for (auto& c : cases) EXPECT_EQ(c.f(c.a, c.n), c.want) << c.a << ", " << c.n;
    EXPECT_EQ(orbo_bnot(F(0.5)), fix32(0xffff7fff));
    for (int n = -40; n <= 40; n++)
        ASSERT_EQ(orbo_rotr_num(orbo_rotl_num(0x1234abcd, I(n)), I(n)), 0x1234abcd) << n;
}

TEST(MathBits, TostrOfNumbersAndTypeNames)
{
    char buf[ORBO_TOSTR_TEXT];
    EXPECT_EQ(orbo_tostr_number(buf, I(12), true), 11);
    EXPECT_STREQ(buf, "0x000c.0000");
    orbo_tostr_number(buf, -1, true);
    EXPECT_STREQ(buf, "0xffff.ffff");
    orbo_tostr_number(buf, INT32_MIN, true);
    EXPECT_STREQ(buf, "0x8000.0000");
    orbo_tostr_number(buf, -1, false);
    EXPECT_STREQ(buf, "-0");
    std::vector<char> other(ORBO_TOSTR_OTHER);
    orbo_tostr_typename(other.data(), "no value");
    EXPECT_STREQ(other.data(), "[no value]");
    std::string huge(10000, 'x');
    EXPECT_EQ(orbo_tostr_typename(other.data(), huge.c_str()), ORBO_TOSTR_OTHER - 1);
}
