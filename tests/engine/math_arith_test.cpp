// Arithmetic of the virtual machine: wrap-around, division and modulo rules,
// powers with their CPU charges, the operator dispatcher, and the framework's
// saturating divide.
#include <gtest/gtest.h>
#include <tuple>

#include "engine/math/fixed.h"

namespace {
constexpr fix32 F(double v) { return fix32(v * 65536.0); }
constexpr fix32 I(int v) { return fix_from_int(v); }
constexpr fix32 MAX = 0x7fffffff, MIN = INT32_MIN, NEG_MAX = fix32(0x80000001);

// Collects the cycles charged through the hook while alive.
struct charge_meter {
    static inline int32_t total = 0;
    static void add(int32_t n) { total += n; }
    charge_meter() { total = 0; fix_charge_fn = add; }
    ~charge_meter() { fix_charge_fn = [](int32_t) {}; }
};

struct binary_case {
    int op;
    fix32 a, b, want;
};
}  // namespace

// Every operator through the dispatcher, in its order: the wrap-around,
// floor and division-by-zero corners of each.
TEST(MathArith, OperatorsWrapFloorAndNeverTrap)
{
    const binary_case cases[] = {
        {ORBO_OPADD, I(32767), I(1), I(-32768)},
        {ORBO_OPADD, F(0.25), F(0.5), F(0.75)},
        {ORBO_OPSUB, I(-32768), I(1), I(32767)},
        {ORBO_OPSUB, I(-32768), 1, MAX},
        {ORBO_OPMUL, F(-1.5), F(2), F(-3)},
        {ORBO_OPMUL, 1, 1, 0},    // floored product of two smallest steps
        {ORBO_OPMUL, -1, 1, -1},  // floor, not truncation
        {ORBO_OPMUL, 6553, I(10), 65530},  // 0.1 * 10 is not 1
        {ORBO_OPMUL, I(256), I(256), 0},
        {ORBO_OPMUL, I(200), I(200), fix32(uint32_t(40000) << 16)},
        {ORBO_OPDIV, I(1), 0, MAX},
        {ORBO_OPDIV, 0, 0, MAX},
        {ORBO_OPDIV, I(-1), 0, NEG_MAX},
        {ORBO_OPDIV, I(1), 1, 0},  // quotient 2^32 wraps to 0
        {ORBO_OPDIV, I(-1), I(3), -0x5555},  // toward zero
        {ORBO_OPDIV, I(7), I(2), F(3.5)},
        {ORBO_OPDIV, MIN, -FIX_ONE, MIN},
        {ORBO_OPMOD, I(5), 0, I(5)},
        {ORBO_OPMOD, I(-5), I(3), I(1)},
        {ORBO_OPMOD, I(5), I(-3), I(2)},  // the divisor's sign is ignored
        {ORBO_OPMOD, I(-5), I(-3), I(1)},
        {ORBO_OPMOD, F(5.5), I(2), F(1.5)},
        {ORBO_OPMOD, F(-0.5), I(1), F(0.5)},
        {ORBO_OPMOD, I(-6), I(3), 0},
        // |-32768| stays -32768 and -(-32768) wraps; nothing traps.
        {ORBO_OPMOD, MIN, MIN, 0},
        {ORBO_OPMOD, MIN, MAX, -1},
        {ORBO_OPMOD, -1, MIN, MAX},
        {ORBO_OPMOD, MIN, -1, 0},
        {ORBO_OPPOW, I(3), I(2), I(9)},
        {ORBO_OPUNM, MIN, 0, MIN},
        {ORBO_OPUNM, F(1.5), 12345, F(-1.5)},
    };
    for (const binary_case& c : cases)
        EXPECT_EQ(orbo_arith(c.op, c.a, c.b), c.want) << c.op << ": " << c.a << ", " << c.b;
    EXPECT_EQ(fmul(F(3.25), F(-2)), ob_fmul(F(3.25), F(-2)));
}

// Power-of-two divisors take a shift: it must round toward zero exactly as
// the 64-bit division does, for negative dividends with and without fraction.
TEST(MathArith, PowerOfTwoDivisorsMatchTheDivision)
{
    const fix32 dividends[] = {0, 1, -1, 3, -3, F(-0.5), F(2.75), F(-2.75), I(-7), MAX, MIN, NEG_MAX, -0x12345};
    for (fix32 a : dividends) {
        for (int s = 0; s < 31; s++) {
            const fix32 b = fix32(1) << s;
            const fix32 want = fix32(uint32_t(uint64_t((int64_t(a) << 16) / b)));
            EXPECT_EQ(ob_fdiv(a, b), want) << a << " / " << b;
            EXPECT_EQ(ob_fdiv(a, -b), fix32(uint32_t(uint64_t((int64_t(a) << 16) / -int64_t(b))))) << a << " / -" << b;
        }
    }
}

TEST(MathArith, FrameworkDivideSaturates)
{
    EXPECT_EQ((std::tuple{fdiv(I(1), 1), fdiv(I(-1), 1), fdiv(MIN, FIX_ONE), fdiv(0, 0), fdiv(I(-3), 0),
                          fdiv(I(1), I(4))}),
              (std::tuple{MAX, NEG_MAX, NEG_MAX, MAX, NEG_MAX, F(0.25)}));
}

TEST(MathArith, PowerValuesAndCharges)
{
    struct {
        fix32 base, exponent, want;
        int32_t charge;
    } cases[] = {
        {I(2), F(0.5), 0x16aab, 8},    // 1.41667: one root, the fraction ends early
        {I(2), I(-1), F(0.5), 8},      // the loop ends normally
        {I(2), I(15), I(-32768), 8},
        {I(2), I(16), 0, 8},
        {0, I(-1), MAX, 8},
        {I(123), 0, FIX_ONE, 0},
        {I(-3), I(3), I(-27), 8},
        {I(16), F(0.75), I(8), 16},    // 16^0.5 * 16^0.25: two roots, early end
        {0, F(0.5), 0, 0},             // the root of 0 is free
        {I(2), MIN, FIX_ONE, 8},       // -(-32768) is itself: no integer step
    };
    for (auto& c : cases) {
        charge_meter meter;
        EXPECT_EQ(ob_fpow(c.base, c.exponent), c.want) << c.base << " ^ " << c.exponent;
        EXPECT_EQ(meter.total, c.charge) << c.base << " ^ " << c.exponent;
    }
    EXPECT_EQ(ob_fpow(I(10), I(-2)), ob_fmul(fdiv(FIX_ONE, I(10)), fdiv(FIX_ONE, I(10))));
    charge_meter meter;
    (void)ob_fpow(I(2), 1);  // exponent 1/65536: sixteen roots
    EXPECT_EQ(meter.total, 16 * 8);
}
