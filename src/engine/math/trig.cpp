// Table-driven trigonometry on angles in turns (1.0 = a full turn).
// The tables are computed at compile time from their definitions with
// long double series, so they are fixed in the program and independent of
// the host's math library; the tests check every entry against <cmath>.
#include "engine/math/fixed.h"

namespace {
constexpr long double k_pi = 3.14159265358979323846264338327950288L;

// cos(t) for t in [0, pi/2] by its Taylor series; 16 terms reach below
// 1e-22, past the precision of long double.
constexpr long double series_cos(long double t)
{
    long double term = 1, sum = 1;
    for (int k = 1; k <= 16; k++) {
        term *= -t * t / ((2 * k - 1) * (2 * k));
        sum += term;
    }
    return sum;
}

// atan(x) for x in [0, 1]: reduced through atan(x) = pi/4 + atan((x-1)/(x+1))
// when x > 0.4, so the series argument stays below 0.43 in magnitude.
constexpr long double series_atan(long double x)
{
    long double base = 0;
    if (x > 0.4L) {
        base = k_pi / 4;
        x = (x - 1) / (x + 1);
    }
    long double power = x, sum = 0;
    for (int k = 0; k < 32; k++) {  // 0.43^64 < 1e-23
        sum += (k % 2 ? -power : power) / (2 * k + 1);
        power *= x * x;
    }
    return base + sum;
}

constexpr int32_t nearest(long double v) { return int32_t(v + 0.5L); }  // v >= 0

constexpr std::array<int32_t, 4097> make_cos()
{
    std::array<int32_t, 4097> t{};
    for (int i = 0; i <= 4096; i++) t[i] = nearest(series_cos(2 * k_pi * i / 16384) * 65536);
    return t;
}

constexpr std::array<int32_t, 2049> make_atan()
{
    std::array<int32_t, 2049> t{};
    for (int i = 0; i <= 2048; i++) t[i] = nearest(series_atan(i / 2048.0L) / (2 * k_pi) * 65536);
    return t;
}

}  // namespace

namespace {
constexpr auto k_cos = make_cos();
constexpr auto k_atan = make_atan();
static_assert(k_cos[0] == 65536 && k_cos[2048] == 46341 && k_cos[4096] == 0);
static_assert(k_atan[0] == 0 && k_atan[1024] == 4836 && k_atan[2048] == 8192);
}  // namespace

constinit const std::array<int32_t, 4097> cos_val = k_cos;
constinit const std::array<int32_t, 2049> atan_val = k_atan;

namespace {
// cos of an index of 16384 steps per turn, by symmetry from a quarter turn.
fix32 cos_index(int32_t i)
{
    const int32_t j = i < 8192 ? i : 16384 - i;
    return j > 4095 ? -cos_val[8192 - j] : cos_val[j];
}
}  // namespace

// The angle is rounded to the nearest of 16384 steps per turn.
fix32 fcos(fix32 x)
{
    return cos_index(int32_t((uint32_t(x) + 2) & 0xffff) >> 2);
}

// cos(x + 0.25), which is -sin(2*pi*x): screen y grows downward.
fix32 fsin(fix32 x)
{
    return cos_index(int32_t((uint32_t(x) + 16386) & 0xffff) >> 2);
}

// Angle of (dx, -dy) in turns, in [0, 1). The ratio is looked up in the
// eighth-turn table, through its reciprocal when it exceeds 1.
fix32 ftan2(fix32 dx, fix32 dy)
{
    const int64_t t = fix_neg(dy);  // 32-bit negation: -(-32768) stays -32768
    const int32_t h = dx < 0 ? 0x8000 : 0;
    uint32_t magnitude;
    int32_t sign;
    if (dx == 0) {
        if (t >= 0) return 0x4000;
        magnitude = 0x7fffffff;
        sign = -1;
    } else {
        const int64_t q = (t << 16) / dx;
        if (q < -0x7fffffffLL) {
            magnitude = 0x7fffffff;
            sign = -1;
        } else if (q > 0x7fffffffLL) {
            magnitude = 0x7fffffff;
            sign = 1;
        } else {
            magnitude = uint32_t(q < 0 ? -q : q);
            sign = q < 0 ? -1 : 1;
        }
    }
    if (magnitude <= 0x10000) {
        const uint32_t k = magnitude >> 5 < 2048 ? magnitude >> 5 : 2048;
        return (sign * atan_val[k] + h) & 0xffff;
    }
    uint32_t k = uint32_t((int64_t(1) << 32) / magnitude) >> 5;
    if (k > 2048) k = 2048;
    return ((16384 - atan_val[k]) * sign + h) & 0xffff;
}

fix32 fatan2(fix32 dx, fix32 dy)
{
    return ftan2(dx, dy);
}
