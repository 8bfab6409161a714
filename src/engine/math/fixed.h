// The console's only number type: a signed 32-bit raw value r standing for
// r / 65536. Integral part = r >> 16 (arithmetic, so the floor), fraction =
// r & 0xffff. All operations wrap as 32-bit two's complement unless stated.
#pragma once
#include <cstddef>
#include <cstdint>

using fix32 = int32_t;

constexpr fix32 FIX_ONE = 0x10000;
constexpr fix32 fix_from_int(int32_t i) { return fix32(uint32_t(i) << 16); }
constexpr int32_t fix_to_int(fix32 r) { return r >> 16; }

// Engine arithmetic, also used for constant folding by the compiler.
fix32 ob_fmul(fix32 a, fix32 b);
fix32 ob_fdiv(fix32 a, fix32 b);
fix32 ob_fmod(fix32 a, fix32 b);
fix32 ob_fpow(fix32 a, fix32 e);

// Text to number: returns 1 and stores the raw value on success, 0 on failure.
int luaO_str2d(const char* s, size_t len, fix32* out);
// Number to text: writes at most ORBO_NUMBER_TEXT bytes plus a NUL into buf
// and returns the length.
constexpr int ORBO_NUMBER_TEXT = 32;
int orbo_fixed_to_string(char* buf, fix32 r);
