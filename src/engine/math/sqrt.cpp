// Square root of a raw 16.16 value: the whole-number root followed by one
// Bakhshali step. Arguments below 1.0 are inverted first (and the result
// inverted back) so the whole-number root always has something to work on.
// Negative arguments run the same steps and give meaningless values; they
// must not trap. Intermediate products and quotients are 64-bit; quotients
// truncate toward zero and keep their low 32 bits.
#include <cmath>

#include "engine/math/fixed.h"

namespace {
constexpr fix32 low32(int64_t v) { return fix32(uint32_t(uint64_t(v))); }

// (n << 16) / den with the engine's divide-by-zero rule (keyed on n's sign).
fix32 shifted_quotient(fix32 n, int64_t den)
{
    if (den == 0) return n >= 0 ? fix32(0x7fffffff) : fix32(0x80000001);
    return low32((int64_t(n) << 16) / den);
}

// Largest whole k with k*k <= n (0 <= n < 32768). The double estimate is
// only a starting point; the corrections make the result exact.
int32_t whole_root(int32_t n)
{
    int32_t k = int32_t(std::sqrt(double(n)));
    while (k * k > n) k--;
    while ((k + 1) * (k + 1) <= n) k++;
    return k;
}
}  // namespace

fix32 fsqrt(fix32 x)
{
    if (x == 0) return 0;
    if (x > 0x7ff8ffff) return 181 << 16;
    const bool invert = x <= 0xffff;
    if (invert) x = low32((int64_t(1) << 32) / x);
    // a = floor(sqrt(x)) as a whole number: one less than the smallest
    // k*1.0 whose square exceeds x. Negative x has k = 0, so a = -1.0.
    const fix32 a = x < 0 ? -FIX_ONE : fix_from_int(whole_root(x >> 16));
    const fix32 r = fix_sub(x, low32((int64_t(a) * a) >> 16));
    const fix32 d = shifted_quotient(r, 2 * int64_t(a));
    const fix32 b = fix_add(a, d);
    const fix32 e = shifted_quotient(low32((int64_t(d) * d) >> 16), 2 * int64_t(b));
    fix32 result = fix_sub(b, e);
    if (invert) result = result == 0 ? 0x7fffffff : low32((int64_t(1) << 32) / result);
    fix_charge_fn(8);
    return result;
}
