// Arithmetic of the virtual machine: wrap-around, division and modulo rules,
// powers with their CPU charges, the operator dispatcher, and the framework's
// saturating divide against a 64-bit reference.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/math/fixed.h"

namespace {
constexpr fix32 F(double v) { return fix32(v * 65536.0); }
constexpr fix32 I(int v) { return fix_from_int(v); }

// Collects the cycles charged through the hook while alive.
struct charge_meter {
    static inline int32_t total = 0;
    static void add(int32_t n) { total += n; }
    charge_meter() { total = 0; fix_charge_fn = add; }
    ~charge_meter() { fix_charge_fn = [](int32_t) {}; }
};

fix32 text(const char* s)
{
    fix32 v = 0;
    EXPECT_EQ(luaO_str2d(s, strlen(s), &v), 1) << s;
    return v;
}
}  // namespace

TEST(MathArith, AdditionSubtractionAndNegationWrap)
{
    EXPECT_EQ(orbo_arith(ORBO_OPADD, I(32767), I(1)), I(-32768));
    // Wrapping subtraction: one whole below -32768 is 32767, one step below
    // is 32767.99998.
    EXPECT_EQ(orbo_arith(ORBO_OPSUB, I(-32768), I(1)), I(32767));
    EXPECT_EQ(orbo_arith(ORBO_OPSUB, I(-32768), 1), fix32(0x7fffffff));
    EXPECT_EQ(orbo_arith(ORBO_OPUNM, fix32(0x80000000), 0), fix32(0x80000000));
    EXPECT_EQ(orbo_arith(ORBO_OPUNM, F(1.5), 12345), F(-1.5));
    EXPECT_EQ(orbo_arith(ORBO_OPADD, F(0.25), F(0.5)), F(0.75));
}

TEST(MathArith, MultiplicationFloorsAndWraps)
{
    EXPECT_EQ(ob_fmul(F(1.5), F(2)), F(3));
    EXPECT_EQ(ob_fmul(F(-1.5), F(2)), F(-3));
    EXPECT_EQ(ob_fmul(1, 1), 0);    // floored product of two smallest steps
    EXPECT_EQ(ob_fmul(-1, 1), -1);  // floor, not truncation
    EXPECT_EQ(ob_fmul(I(256), I(256)), 0);     // 65536 wraps to 0
    EXPECT_EQ(ob_fmul(I(200), I(200)), fix32(uint32_t(40000) << 16));
    // 0.1 * 10 is 0.99991, prints as 1 and is not equal to 1.
    fix32 p = ob_fmul(text("0.1"), I(10));
    EXPECT_EQ(p, 65530);
    char buf[ORBO_NUMBER_TEXT + 1];
    orbo_fixed_to_string(buf, p);
    EXPECT_STREQ(buf, "1");
    EXPECT_NE(p, FIX_ONE);
    EXPECT_EQ(fmul(F(3.25), F(-2)), ob_fmul(F(3.25), F(-2)));
}

TEST(MathArith, DivisionRules)
{
    EXPECT_EQ(ob_fdiv(I(1), 0), fix32(0x7fffffff));
    EXPECT_EQ(ob_fdiv(0, 0), fix32(0x7fffffff));
    EXPECT_EQ(ob_fdiv(I(-1), 0), fix32(0x80000001));
    EXPECT_EQ(ob_fdiv(I(1), 1), 0);  // quotient 2^32 wraps to 0
    EXPECT_EQ(ob_fdiv(I(1), I(3)), 0x5555);
    EXPECT_EQ(ob_fdiv(I(-1), I(3)), -0x5555);  // toward zero
    EXPECT_EQ(ob_fdiv(I(7), I(2)), F(3.5));
    EXPECT_EQ(ob_fdiv(fix32(0x80000000), -FIX_ONE), fix32(0x80000000));  // wraps
    // The framework divide clamps instead of wrapping.
    EXPECT_EQ(fdiv(I(1), 1), fix32(0x7fffffff));
    EXPECT_EQ(fdiv(I(-1), 1), fix32(0x80000001));
    EXPECT_EQ(fdiv(fix32(0x80000000), FIX_ONE), fix32(0x80000001));
    EXPECT_EQ(fdiv(I(1), 0), fix32(0x7fffffff));
    EXPECT_EQ(fdiv(0, 0), fix32(0x7fffffff));
    EXPECT_EQ(fdiv(I(-3), 0), fix32(0x80000001));
    EXPECT_EQ(fdiv(I(1), I(4)), F(0.25));
}

TEST(MathArith, ModuloRules)
{
    EXPECT_EQ(ob_fmod(I(5), 0), I(5));
    EXPECT_EQ(ob_fmod(I(-5), I(3)), I(1));
    EXPECT_EQ(ob_fmod(I(5), I(-3)), I(2));
    EXPECT_EQ(ob_fmod(F(5.5), I(2)), F(1.5));
    EXPECT_EQ(ob_fmod(I(-6), I(3)), 0);
    EXPECT_EQ(ob_fmod(F(-0.5), I(1)), F(0.5));
    EXPECT_EQ(ob_fmod(I(-5), I(-3)), I(1));
    // Floored modulo by |b| for every a and b other than -32768.
    std::mt19937 rng(7);
    for (int n = 0; n < 100000; n++) {
        fix32 a = fix32(rng()), b = fix32(rng());
        if (n % 3 == 0) b >>= 12;
        if (a == INT32_MIN || b == INT32_MIN || b == 0) continue;
        int64_t m = std::llabs(int64_t(b));
        int64_t want = ((int64_t(a) % m) + m) % m;
        ASSERT_EQ(ob_fmod(a, b), want) << a << " % " << b;
    }
    // The corners: |-32768| stays -32768 and -(-32768) wraps; nothing traps
    // and the 32-bit steps give these values.
    EXPECT_EQ(ob_fmod(INT32_MIN, INT32_MIN), 0);
    EXPECT_EQ(ob_fmod(INT32_MIN, INT32_MAX), -1);
    EXPECT_EQ(ob_fmod(-1, INT32_MIN), INT32_MAX);
    EXPECT_EQ(ob_fmod(INT32_MIN, 1), 0);
    EXPECT_EQ(ob_fmod(INT32_MIN, -1), 0);
}

TEST(MathArith, PowerValuesAndCharges)
{
    charge_meter meter;
    EXPECT_EQ(ob_fpow(I(2), F(0.5)), 0x16aab);  // 1.41667
    EXPECT_EQ(meter.total, 8);                    // one root, fraction ends early
    meter.total = 0;
    EXPECT_EQ(ob_fpow(I(2), I(-1)), F(0.5));
    EXPECT_EQ(meter.total, 8);                    // normal end
    EXPECT_EQ(ob_fpow(I(2), I(15)), I(-32768));
    EXPECT_EQ(ob_fpow(I(2), I(16)), 0);
    EXPECT_EQ(ob_fpow(0, I(-1)), fix32(0x7fffffff));
    meter.total = 0;
    EXPECT_EQ(ob_fpow(I(123), 0), FIX_ONE);
    EXPECT_EQ(meter.total, 0);
    EXPECT_EQ(ob_fpow(I(3), I(4)), I(81));
    EXPECT_EQ(ob_fpow(I(-3), I(3)), I(-27));
    EXPECT_EQ(ob_fpow(I(10), I(-2)), ob_fmul(fdiv(FIX_ONE, I(10)), fdiv(FIX_ONE, I(10))));
    meter.total = 0;
    // 16^0.75 = 16^0.5 * 16^0.25: two roots, early end.
    EXPECT_EQ(ob_fpow(I(16), F(0.75)), I(8));
    EXPECT_EQ(meter.total, 16);
    meter.total = 0;
    // Exponent 1/65536: sixteen roots.
    (void)ob_fpow(I(2), 1);
    EXPECT_EQ(meter.total, 16 * 8);
    meter.total = 0;
    // A zero base takes no root charge (fsqrt of 0 is free).
    EXPECT_EQ(ob_fpow(0, F(0.5)), 0);
    EXPECT_EQ(meter.total, 0);
    // Exponent -32768 negates to itself: integer loop never runs.
    meter.total = 0;
    EXPECT_EQ(ob_fpow(I(2), fix32(0x80000000)), FIX_ONE);
    EXPECT_EQ(meter.total, 8);
}

TEST(MathArith, DispatcherFollowsOperatorOrder)
{
    const fix32 a = F(7.25), b = F(-2.5);
    EXPECT_EQ(orbo_arith(0, a, b), fix_add(a, b));
    EXPECT_EQ(orbo_arith(1, a, b), fix_sub(a, b));
    EXPECT_EQ(orbo_arith(2, a, b), ob_fmul(a, b));
    EXPECT_EQ(orbo_arith(3, a, b), ob_fdiv(a, b));
    EXPECT_EQ(orbo_arith(4, a, b), ob_fmod(a, b));
    EXPECT_EQ(orbo_arith(5, I(3), I(2)), I(9));
    EXPECT_EQ(orbo_arith(6, a, b), fix_neg(a));
}

TEST(MathArith, MultiplyAndDivideMatch64BitReference)
{
    std::mt19937 rng(12345);
    for (int n = 0; n < 200000; n++) {
        fix32 a = fix32(rng()), b = fix32(rng());
        switch (n % 4) {  // mix magnitudes so results do not always wrap
        case 1: a >>= 10; b >>= 12; break;
        case 2: b >>= 16; break;
        case 3: a >>= 16; b >>= 8; break;
        }
        int64_t p = int64_t(a) * int64_t(b);
        int64_t fl = p >= 0 ? p / 65536 : -((-p + 65535) / 65536);  // floor
        ASSERT_EQ(ob_fmul(a, b), fix32(uint32_t(uint64_t(fl)))) << a << " * " << b;
        if (b == 0) continue;
        int64_t q = (int64_t(a) * 65536) / b;
        ASSERT_EQ(ob_fdiv(a, b), fix32(uint32_t(uint64_t(q)))) << a << " / " << b;
        int64_t c = q > INT32_MAX ? INT32_MAX : q < -INT32_MAX ? -INT32_MAX : q;
        ASSERT_EQ(fdiv(a, b), fix32(c)) << a << " / " << b;
    }
}
