// The script's math and bit functions on raw 16.16 values. Every result
// wraps as 32-bit two's complement; nothing here can fail.
#include "engine/math/mathlib.h"

#include <cstdio>
#include <cstring>

namespace {
fix32 from_bits(uint32_t v) { return fix32(v); }
uint32_t bits(fix32 v) { return uint32_t(v); }
}  // namespace

fix32 orbo_flr(fix32 x) { return from_bits(bits(x) & 0xffff0000u); }
fix32 orbo_ceil(fix32 x) { return from_bits((bits(x) + 0xffffu) & 0xffff0000u); }
fix32 orbo_abs(fix32 x) { return x < 0 ? fix_neg(x) : x; }  // abs(-32768) stays -32768
fix32 orbo_sgn(fix32 x) { return x < 0 ? -FIX_ONE : FIX_ONE; }
fix32 orbo_min(fix32 a, fix32 b) { return a < b ? a : b; }
fix32 orbo_max(fix32 a, fix32 b) { return a > b ? a : b; }

fix32 orbo_mid(fix32 x, fix32 y, fix32 z)
{
    if ((x <= y && y <= z) || (z <= y && y <= x)) return y;
    if ((y <= x && x <= z) || (z <= x && x <= y)) return x;
    return z;
}

fix32 orbo_sqrt(fix32 x) { return fsqrt(x); }
fix32 orbo_sin(fix32 x) { return fsin(x); }
fix32 orbo_cos(fix32 x) { return fcos(x); }
fix32 orbo_atan2(fix32 dx, fix32 dy) { return ftan2(dx, dy); }

fix32 orbo_band(fix32 a, fix32 b) { return a & b; }
fix32 orbo_bor(fix32 a, fix32 b) { return a | b; }
fix32 orbo_bxor(fix32 a, fix32 b) { return a ^ b; }
fix32 orbo_bnot(fix32 a) { return ~a; }

// Counts above 31 clear everything; negative counts shift by n + 32.
fix32 orbo_shl(fix32 a, fix32 n)
{
    const int32_t c = n >> 16;
    return c > 31 ? 0 : from_bits(bits(a) << (c & 31));
}

fix32 orbo_lshr(fix32 a, fix32 n)
{
    const int32_t c = n >> 16;
    return c > 31 ? 0 : from_bits(bits(a) >> (c & 31));
}

// Counts of 32 and above leave only the sign.
fix32 orbo_shr(fix32 a, fix32 n)
{
    const int32_t c = n >> 16;
    if (c >= 32) return a < 0 ? -1 : 0;
    return a >> (c & 31);
}

fix32 orbo_rotl_num(fix32 a, fix32 n) { return from_bits(orbo_rotl(bits(a), (n >> 16) & 31)); }
fix32 orbo_rotr_num(fix32 a, fix32 n) { return from_bits(orbo_rotl(bits(a), (32 - (n >> 16)) & 31)); }

fix32 orbo_rnd(fix32 x) { return from_bits(orbo_random(bits(x))); }
void orbo_srand_num(fix32 x) { orbo_srand(bits(x) & 0x7fffffffu); }

int orbo_tostr_number(char* buf, fix32 v, bool hex)
{
    if (!hex) return orbo_fixed_to_string(buf, v);
    return snprintf(buf, ORBO_TOSTR_TEXT, "0x%04x.%04x", bits(v) >> 16, bits(v) & 0xffffu);
}

int orbo_tostr_typename(char* buf, const char* type_name)
{
    int n = snprintf(buf, ORBO_TOSTR_OTHER, "[%s]", type_name);
    return n < ORBO_TOSTR_OTHER ? n : ORBO_TOSTR_OTHER - 1;
}

bool orbo_tonum_text(const char* s, size_t len, fix32* out)
{
    return luaO_str2d(s, len, out) == 1;
}

const orbo_math_cost orbo_math_costs[] = {
    {"flr", 1, 2, 0},   {"ceil", 1, 2, 0},  {"bnot", 1, 2, 0},
    {"band", 2, 3, 0},  {"bor", 2, 3, 0},   {"bxor", 2, 3, 0},
    {"shl", 2, 3, 0},   {"shr", 2, 3, 0},   {"lshr", 2, 3, 0},
    {"rotl", 2, 3, 0},  {"rotr", 2, 3, 0},
    {"sqrt", -1, 0, 16}, {"rnd", -1, 0, 4},
};
const size_t orbo_math_cost_count = sizeof orbo_math_costs / sizeof orbo_math_costs[0];

const orbo_math_cost* orbo_math_cost_of(const char* name)
{
    for (const orbo_math_cost& c : orbo_math_costs)
        if (strcmp(c.name, name) == 0) return &c;
    return nullptr;
}
