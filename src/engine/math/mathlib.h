// Host-side bodies of the script's math and bit functions, on raw values.
// Bindings read every argument as a number (a missing one counts as 0),
// call these, and apply the CPU adjustments of orbo_math_costs.
#pragma once
#include "engine/math/fixed.h"

fix32 orbo_flr(fix32 x);
fix32 orbo_ceil(fix32 x);
fix32 orbo_abs(fix32 x);
fix32 orbo_sgn(fix32 x);
fix32 orbo_min(fix32 a, fix32 b);
fix32 orbo_max(fix32 a, fix32 b);
fix32 orbo_mid(fix32 x, fix32 y, fix32 z);
fix32 orbo_sqrt(fix32 x);
fix32 orbo_sin(fix32 x);
fix32 orbo_cos(fix32 x);
fix32 orbo_atan2(fix32 dx, fix32 dy);
fix32 orbo_band(fix32 a, fix32 b);
fix32 orbo_bor(fix32 a, fix32 b);
fix32 orbo_bxor(fix32 a, fix32 b);
fix32 orbo_bnot(fix32 a);
// Bit counts are floor(n): n is a number, its whole part counts.
fix32 orbo_shl(fix32 a, fix32 n);
fix32 orbo_shr(fix32 a, fix32 n);
fix32 orbo_lshr(fix32 a, fix32 n);
fix32 orbo_rotl_num(fix32 a, fix32 n);  // script rotl (orbo_rotl is the raw rotation)
fix32 orbo_rotr_num(fix32 a, fix32 n);
// rnd: the bound is the raw value taken as unsigned; a call without argument
// passes ORBO_RND_DEFAULT (1.0).
constexpr fix32 ORBO_RND_DEFAULT = FIX_ONE;
fix32 orbo_rnd(fix32 x);
void orbo_srand_num(fix32 x);  // script srand: the sign bit is dropped

// tostr of a number: "0x%04x.%04x" of the raw halves when hex, else the
// printed form. buf holds ORBO_TOSTR_TEXT bytes; returns the length.
constexpr int ORBO_TOSTR_TEXT = 32;
int orbo_tostr_number(char* buf, fix32 v, bool hex);
// tostr of a value that is neither number, string nor boolean: "[type]".
// The text is formed in a buffer of ORBO_TOSTR_OTHER bytes.
constexpr int ORBO_TOSTR_OTHER = 4096;
int orbo_tostr_typename(char* buf, const char* type_name);
// tonum of a string: true and *out set when the text converts.
bool orbo_tonum_text(const char* s, size_t len, fix32* out);

// CPU adjustments of the math functions beyond the call itself.
// A refund applies only when the call has exactly refund_argc arguments;
// spend is charged on every call. fsqrt adds its own 8 through
// fix_charge_fn when it computes (not for 0 or above 32760.99998).
struct orbo_math_cost {
    const char* name;
    int refund_argc;  // -1: no refund
    int32_t refund;   // cycles given back (pass -refund to refund_cpu)
    int32_t spend;    // cycles charged (pass to spend_cpu), 0: none
};
extern const orbo_math_cost orbo_math_costs[];
extern const size_t orbo_math_cost_count;
// The entry for a script function name, or nullptr when it costs nothing extra.
const orbo_math_cost* orbo_math_cost_of(const char* name);
