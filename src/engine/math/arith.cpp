// Arithmetic of the virtual machine on raw 16.16 values. Products and
// quotients are formed in 64 bits; results keep their low 32 bits, so
// overflow wraps. The only saturating operation is the framework's fdiv.
#include "engine/math/fixed.h"

namespace {
void charge_nothing(int32_t) {}
}  // namespace

fix_charge_hook fix_charge_fn = charge_nothing;

fix32 ob_fmod(fix32 a, fix32 b)
{
    if (b == 0) return a;
    // The sign of b is ignored; |-32768| stays -32768. m is never -1, so
    // the remainders cannot overflow.
    const fix32 m = b < 0 ? fix_neg(b) : b;
    if (a < 0) a = fix_sub(m, fix_neg(a) % m);
    return a % m;
}

fix32 fmul(fix32 a, fix32 b)
{
    return ob_fmul(a, b);
}

fix32 fdiv(fix32 a, fix32 b)
{
    if (b == 0) return fix_div_by_zero(a);
    int64_t q = (int64_t(a) << 16) / b;
    if (q > 0x7fffffff) return 0x7fffffff;
    if (q < -0x7fffffff) return fix32(0x80000001);
    return fix32(q);
}

// Square-and-multiply on the integer part of the exponent, then one square
// root of the base per fraction bit (most significant first). Charges 8 per
// root (inside fsqrt) and 8 when the loop ends without a fraction to finish.
fix32 ob_fpow(fix32 a, fix32 e)
{
    if (e == 0) return FIX_ONE;
    if (e < 0) {
        e = fix_neg(e);
        a = fdiv(FIX_ONE, a);
    }
    fix32 i = fix32(uint32_t(e) & 0xffff0000u);
    fix32 f = e & 0xffff;
    fix32 result = FIX_ONE;
    for (fix32 t = a; i > 0xffff; i >>= 1, t = fmul(t, t))
        if (i & 0x10000) result = fmul(result, t);
    for (fix32 b = a; f > 0;) {
        if (f > 0xffff) {
            result = fmul(result, b);
            f -= 0x10000;
            if (f == 0) return result;
        } else {
            b = fsqrt(b);
            f *= 2;
        }
    }
    fix_charge_fn(8);
    return result;
}

fix32 orbo_arith(int op, fix32 a, fix32 b)
{
    switch (op) {
    case ORBO_OPADD: return fix_add(a, b);
    case ORBO_OPSUB: return fix_sub(a, b);
    case ORBO_OPMUL: return ob_fmul(a, b);
    case ORBO_OPDIV: return ob_fdiv(a, b);
    case ORBO_OPMOD: return ob_fmod(a, b);
    case ORBO_OPPOW: return ob_fpow(a, b);
    case ORBO_OPUNM: return fix_neg(a);
    default: return 0;
    }
}
