// Conversions between numbers and text. They decide how every literal is
// read and every number is printed, so both follow fixed rules:
//   text -> number: decimal through strtod, scaled by 65536 and truncated
//     toward zero after adding half of the smallest step's half (2^-17);
//     hexadecimal (0x) and binary (0b) are read digit by digit with 32-bit
//     wrap, and only 4 hex / 16 binary fraction digits count.
//   number -> text: at most four decimals, three when the value sits within
//     a ten-thousandth of a whole number, trailing zeros removed.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/math/fixed.h"

namespace {
// White space as the C locale's isspace knows it.
bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool contains_any(const char* s, size_t len, char a, char b)
{
    for (size_t i = 0; i < len; i++)
        if (s[i] == a || s[i] == b) return true;
    return false;
}

int digit_value(char c, int base)
{
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return -1;
    return d < base ? d : -1;
}

// Hexadecimal or binary text "[space][+-]0x|0b digits [. digits]" starting at
// s; returns the index just after the number, or 0 when nothing valid was read.
// bits is 4 (hexadecimal) or 1 (binary); 16 fraction bits count.
size_t read_radix(const char* s, size_t len, int bits, fix32* out)
{
    const int base = 1 << bits;
    const int max_frac = 16 / bits;
    const char mark = bits == 4 ? 'x' : 'b';
    size_t i = 0;
    while (i < len && is_space(s[i])) i++;
    bool neg = false;
    if (i < len && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
    if (i + 1 >= len || s[i] != '0' || (s[i + 1] | 0x20) != mark) return 0;
    i += 2;
    uint32_t whole = 0, frac = 0;
    int digits = 0, frac_digits = 0, d;
    for (; i < len && (d = digit_value(s[i], base)) >= 0; i++, digits++)
        whole = whole * uint32_t(base) + uint32_t(d);
    if (i < len && s[i] == '.') {
        for (i++; i < len && (d = digit_value(s[i], base)) >= 0; i++, digits++)
            if (frac_digits < max_frac) {
                frac = frac * uint32_t(base) + uint32_t(d);
                frac_digits++;
            }
    }
    if (digits == 0) return 0;
    if (i < len && (s[i] == 'p' || s[i] == 'P')) return 0;
    if (frac_digits > 0) frac <<= bits * (max_frac - frac_digits);
    uint32_t raw = (whole << 16) + frac;
    *out = fix32(neg ? 0u - raw : raw);
    return i;
}

// Decimal text through the platform's strtod; returns the index just after
// the number, or 0 when strtod read nothing.
size_t read_decimal(const char* s, size_t len, fix32* out)
{
    // strtod needs a terminated string; texts longer than a literal can be
    // (they come from scripts) take the heap.
    char local[128];
    std::vector<char> heap;
    char* buf = local;
    if (len >= sizeof local) {
        heap.resize(len + 1);
        buf = heap.data();
    }
    if (len > 0) memcpy(buf, s, len);  // s may be null when len is 0
    buf[len] = '\0';
    char* end;
    double d = strtod(buf, &end);
    if (end == buf) return 0;
    double v = std::trunc(d * 65536.0 + 0.00000762939453125);
    if (!(v >= -2147483648.0 && v <= 2147483647.0)) v = -2147483648.0;
    *out = fix32(v);
    return size_t(end - buf);
}
}  // namespace

int luaO_str2d(const char* s, size_t len, fix32* out)
{
    if (contains_any(s, len, 'n', 'N')) return 0;  // no inf, no nan
    fix32 v = 0;
    size_t end;
    if (contains_any(s, len, 'x', 'X')) end = read_radix(s, len, 4, &v);
    else if (contains_any(s, len, 'b', 'B')) end = read_radix(s, len, 1, &v);
    else end = read_decimal(s, len, &v);
    if (end == 0) return 0;
    while (end < len && is_space(s[end])) end++;
    if (end != len) return 0;
    *out = v;
    return 1;
}

int orbo_fixed_to_string(char* buf, fix32 r)
{
    const double d = r / 65536.0;
    char probe[32];
    snprintf(probe, sizeof probe, "%0.5f", d);
    const bool near_whole = strstr(probe, ".9999") || strstr(probe, ".0000");
    int n = snprintf(buf, ORBO_NUMBER_TEXT, near_whole ? "%0.3f" : "%0.4f", d);
    if (n >= ORBO_NUMBER_TEXT) n = ORBO_NUMBER_TEXT - 1;
    if (memchr(buf, '.', size_t(n))) {
        while (n > 0 && buf[n - 1] == '0') n--;
        if (n > 0 && buf[n - 1] == '.') n--;
    }
    buf[n] = '\0';
    return n;
}
