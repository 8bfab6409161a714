// Square root, cosine, sine and arctangent: the tables and every angle
// against double math, and the worked values.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <tuple>

#include "engine/math/fixed.h"
#include "engine/math/mathlib.h"

namespace {
constexpr fix32 F(double v) { return fix32(v * 65536.0); }
constexpr fix32 I(int v) { return fix_from_int(v); }

struct charge_meter {
    static inline int32_t total = 0;
    static void add(int32_t n) { total += n; }
    charge_meter() { total = 0; fix_charge_fn = add; }
    ~charge_meter() { fix_charge_fn = [](int32_t) {}; }
};

}  // namespace

// Each entry against <cmath> (the program computes them with its own series).
TEST(MathTrig, TablesMatchTheirDefinitions)
{
    const long double pi = 3.14159265358979323846264338327950288L;
    auto check = [](const auto& table, int n, auto definition) {
        for (int i = 0; i <= n; i++) {
            long double v = definition(i) * 65536;
            ASSERT_EQ(table[i], std::lround(v)) << i;
            // No entry sits near a rounding tie, so the value is unambiguous.
            ASSERT_GT(std::fabs(std::fabs(v - std::floor(v)) - 0.5L), 1e-6L) << i;
        }
    };
    check(cos_val, 4096, [&](int i) { return std::cos(2 * pi * i / 16384); });
    check(atan_val, 2048, [&](int i) { return std::atan(i / 2048.0L) / (2 * pi); });
}

TEST(MathTrig, SquareRoot)
{
    charge_meter meter;
    EXPECT_EQ(fsqrt(I(2)), 0x16aab);
    EXPECT_EQ(fsqrt(I(3)), F(1.75));
    EXPECT_EQ(fsqrt(I(4)), I(2));
    EXPECT_EQ(fsqrt(F(0.25)), F(0.5));
    EXPECT_EQ(fsqrt(F(0.5)), 0xb4b4);  // 0.7059
    EXPECT_EQ(fsqrt(I(-1)), -2);
    EXPECT_EQ(meter.total, 6 * 8);
    meter.total = 0;
    EXPECT_EQ(fsqrt(I(32761)), I(181));
    EXPECT_EQ(fsqrt(I(32767)), I(181));
    EXPECT_EQ(fsqrt(0x7fffffff), I(181));
    EXPECT_EQ(fsqrt(0), 0);
    EXPECT_EQ(meter.total, 0);  // neither 0 nor the capped case charges
    // Tiny and negative arguments take the reciprocal path and must not trap
    // (their values mean nothing); the largest uncapped argument.
    const std::pair<fix32, fix32> odd[] = {{1, -2},       {2, -3},     {3, 0x1bb},      {-2, -3},
                                           {INT32_MIN, -262176}, {0xffff, FIX_ONE}, {0x7ff8ffff, 0xb50000}};
    for (auto [x, want] : odd) EXPECT_EQ(fsqrt(x), want) << x;
    // And it is a square root: one correction step from the whole-number root
    // stays within 3% (worst just below a square: 3.99 gives 2.047).
    for (int32_t x = 655; x <= 0x7ff8ffff; x += 65521) {
        double want = std::sqrt(x / 65536.0);
        ASSERT_NEAR(fsqrt(x) / 65536.0, want, want * 0.03 + 1e-4) << x;
    }
}

TEST(MathTrig, CosineAndSine)
{
    EXPECT_EQ((std::tuple{fsin(F(0.25)), fcos(F(0.5)), fcos(0), fsin(0), fcos(F(0.25)), fsin(F(0.75))}),
              (std::tuple{-FIX_ONE, -FIX_ONE, FIX_ONE, 0, 0, FIX_ONE}));
    EXPECT_EQ(fcos(I(1)), FIX_ONE);      // whole turns
    EXPECT_EQ(fcos(I(-3)), FIX_ONE);
    EXPECT_EQ(fcos(F(0.125)), cos_val[2048]);
    EXPECT_EQ(fsin(F(-0.25)), FIX_ONE);
    EXPECT_EQ(fcos(INT32_MIN), FIX_ONE);
    EXPECT_EQ(fcos(INT32_MAX), FIX_ONE);  // rounds to the next whole turn
    EXPECT_EQ(orbo_sin(F(0.25)), -FIX_ONE);
    EXPECT_EQ(orbo_cos(F(0.5)), -FIX_ONE);
    // Every angle against double math: the index error is half a step
    // (2*pi/16384/2 radians), plus the table's rounding.
    for (int32_t x = 0; x < 0x10000; x++) {
        double t = x / 65536.0 * 2 * M_PI;
        ASSERT_NEAR(fcos(x) / 65536.0, std::cos(t), 2.1e-4) << x;
        ASSERT_NEAR(fsin(x) / 65536.0, -std::sin(t), 2.1e-4) << x;
        ASSERT_EQ(fcos(x), fcos(x + I(7)));  // period of one turn
        ASSERT_EQ(fsin(x), fcos(x + 0x4000));
    }
}

TEST(MathTrig, ArcTangent)
{
    // The last six are extremes that must not trap: -(-32768) stays -32768
    // (the last: -dy wraps back to -32768), huge ratios saturate.
    const fix32 cases[][3] = {{I(1), 0, 0},           {0, I(-1), F(0.25)},     {I(-1), 0, F(0.5)},
                              {0, I(1), F(0.75)},      {I(1), I(-1), F(0.125)}, {0, 0, F(0.25)},
                              {I(-1), I(-1), F(0.375)}, {I(-1), I(1), F(0.625)}, {I(1), I(1), F(0.875)},
                              {0, INT32_MIN, F(0.75)}, {1, INT32_MIN, F(0.75)}, {1, INT32_MAX, F(0.75)},
                              {-1, INT32_MAX, F(0.75)}, {INT32_MIN, 0, F(0.5)}, {INT32_MIN, INT32_MIN, F(0.625)}};
    for (auto& c : cases) EXPECT_EQ(ftan2(c[0], c[1]), c[2]) << c[0] << ", " << c[1];
    EXPECT_EQ(fatan2(I(3), I(-4)), ftan2(I(3), I(-4)));
    EXPECT_EQ(orbo_atan2(I(1), I(-1)), F(0.125));
    // A sweep of directions against double math (result in [0, 1)).
    for (int a = 0; a < 3600; a++) {
        double t = a / 3600.0 * 2 * M_PI;
        fix32 dx = fix32(std::cos(t) * 1000 * 65536), dy = fix32(-std::sin(t) * 1000 * 65536);
        fix32 got = ftan2(dx, dy);
        ASSERT_GE(got, 0);
        ASSERT_LT(got, FIX_ONE);
        double err = std::fabs(got / 65536.0 - a / 3600.0);
        ASSERT_LT(std::min(err, 1 - err), 1.5e-4) << a;
    }
}
