// The console's only number type: a signed 32-bit raw value r standing for
// r / 65536. Integral part = r >> 16 (arithmetic, so the floor), fraction =
// r & 0xffff. All operations wrap as 32-bit two's complement unless stated.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

using fix32 = int32_t;

constexpr fix32 FIX_ONE = 0x10000;
constexpr fix32 fix_from_int(int32_t i) { return fix32(uint32_t(i) << 16); }
constexpr int32_t fix_to_int(fix32 r) { return r >> 16; }

// Wrapping helpers: signed overflow is undefined in C++, so go through
// unsigned arithmetic.
constexpr fix32 fix_add(fix32 a, fix32 b) { return fix32(uint32_t(a) + uint32_t(b)); }
constexpr fix32 fix_sub(fix32 a, fix32 b) { return fix32(uint32_t(a) - uint32_t(b)); }
constexpr fix32 fix_neg(fix32 a) { return fix32(0u - uint32_t(a)); }

// CPU charges made by the number code itself (square-root steps, powers).
// The engine points this at its cycle counter; by default it does nothing.
using fix_charge_hook = void (*)(int32_t cycles);
extern fix_charge_hook fix_charge_fn;

// Division by zero never traps: positive (and 0/0) saturate up, negative down.
constexpr fix32 fix_div_by_zero(fix32 a) { return a >= 0 ? fix32(0x7fffffff) : fix32(0x80000001); }

// Engine arithmetic, also used for constant folding by the compiler.
// Products and quotients are formed in 64 bits and keep their low 32 bits.
// Inline: the virtual machine's arithmetic instructions use them directly.
inline fix32 ob_fmul(fix32 a, fix32 b) { return fix32(uint32_t(uint64_t(int64_t(a) * int64_t(b) >> 16))); }
inline fix32 ob_fdiv(fix32 a, fix32 b)
{
    if (b == 0) return fix_div_by_zero(a);
    int64_t x = int64_t(a) * 65536;
    // A positive power-of-two divisor is a shift (rounding toward zero, as
    // the division does) instead of a 64-bit hardware division.
    if (b > 0 && (b & (b - 1)) == 0) {
        int s = __builtin_ctz(uint32_t(b));
        return fix32(uint32_t(uint64_t((x + ((x >> 63) & (int64_t(b) - 1))) >> s)));
    }
    return fix32(uint32_t(uint64_t(x / b)));
}
fix32 ob_fmod(fix32 a, fix32 b);
fix32 ob_fpow(fix32 a, fix32 e);

// Operator dispatch in the engine's operator order (same numbering as the
// script engine's arithmetic opcodes). Unary minus ignores b.
enum orbo_arith_op : int {
    ORBO_OPADD = 0,
    ORBO_OPSUB,
    ORBO_OPMUL,
    ORBO_OPDIV,
    ORBO_OPMOD,
    ORBO_OPPOW,
    ORBO_OPUNM,
};
fix32 orbo_arith(int op, fix32 a, fix32 b);

// Framework helpers shared with the platform layer.
fix32 fmul(fix32 a, fix32 b);  // same as ob_fmul
fix32 fdiv(fix32 a, fix32 b);  // saturating divide
fix32 fsqrt(fix32 x);          // charges 8 when it computes
fix32 fcos(fix32 x);           // x in turns
fix32 fsin(fix32 x);           // x in turns, result negated (screen y down)
fix32 ftan2(fix32 dx, fix32 dy);
fix32 fatan2(fix32 dx, fix32 dy);

// Quarter-turn cosine and eighth-turn arctangent tables in raw units:
// cos_val[i] = round(cos(2*pi*i/16384) * 65536), i = 0..4096;
// atan_val[i] = round(atan(i/2048) / (2*pi) * 65536), i = 0..2048.
extern const std::array<int32_t, 4097> cos_val;
extern const std::array<int32_t, 2049> atan_val;

// Random generator: two 32-bit words of process-global state.
void orbo_srand(uint32_t seed);
uint32_t orbo_random(uint32_t bound);
uint32_t orbo_rotl(uint32_t value, int count);
struct orbo_rng_state {
    uint32_t high, low;
};
orbo_rng_state orbo_rng_get();
void orbo_rng_set(orbo_rng_state s);

// Text to number: returns 1 and stores the raw value on success, 0 on failure.
int luaO_str2d(const char* s, size_t len, fix32* out);
// Number to text: writes at most ORBO_NUMBER_TEXT bytes plus a NUL into buf
// and returns the length.
constexpr int ORBO_NUMBER_TEXT = 32;
int orbo_fixed_to_string(char* buf, fix32 r);

// Numeric for loop. The prepared index is init - step; each pass computes
// next = index + step (wrapping) and continues while next <= limit (step > 0)
// or next >= limit (step <= 0). An ascending (or zero) step whose index was
// >= 0 and whose next value is <= 0 stops: the index wrapped past
// 32767.99998 (or a zero step sits at 0). Descending loops have no guard.
fix32 orbo_forprep(fix32 init, fix32 step);
// Advances *index and returns true when the loop body runs again.
bool orbo_forloop(fix32* index, fix32 step, fix32 limit);

// Table keys: a whole number 1..32767 (raw 0x10000..0x7fff0000 with a zero
// fraction) addresses array slot r >> 16; every other number is a hash key.
bool orbo_array_key(fix32 r, int32_t* slot);
