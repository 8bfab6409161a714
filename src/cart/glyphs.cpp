#include "cart/glyphs.h"

#include <cstring>

namespace {

// Code points of each glyph; a second one of 0 means none.
constexpr char32_t k_glyph_points[ORBO_GLYPH_COUNT][2] = {
    {0x2588, 0},  {0x2592, 0},      {0x1F431, 0}, {0x2B07, 0xFE0F}, {0x2591, 0},      {0x273D, 0},
    {0x25CF, 0},  {0x2665, 0},      {0x2609, 0},  {0xC6C3, 0},      {0x2302, 0},      {0x2B05, 0xFE0F},
    {0x1F610, 0}, {0x266A, 0},      {0x1F17E, 0xFE0F}, {0x25C6, 0}, {0x2026, 0},      {0x27A1, 0xFE0F},
    {0x2605, 0},  {0x29D7, 0},      {0x2B06, 0xFE0F}, {0x02C7, 0},  {0x2227, 0},      {0x274E, 0},
    {0x25A4, 0},  {0x25A5, 0},
};

constexpr int put_utf8(char* out, char32_t c)
{
    if (c < 0x80) {
        out[0] = char(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = char(0xC0 | c >> 6);
        out[1] = char(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = char(0xE0 | c >> 12);
        out[1] = char(0x80 | ((c >> 6) & 0x3F));
        out[2] = char(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | c >> 18);
    out[1] = char(0x80 | ((c >> 12) & 0x3F));
    out[2] = char(0x80 | ((c >> 6) & 0x3F));
    out[3] = char(0x80 | (c & 0x3F));
    return 4;
}

struct glyph_table {
    char entries[ORBO_GLYPH_COUNT][8] = {};
    constexpr glyph_table()
    {
        for (int i = 0; i < ORBO_GLYPH_COUNT; i++) {
            int n = put_utf8(entries[i], k_glyph_points[i][0]);
            if (k_glyph_points[i][1]) put_utf8(entries[i] + n, k_glyph_points[i][1]);
        }
    }
};

constexpr glyph_table k_table;

}  // namespace

const char unicode_glyph[ORBO_GLYPH_COUNT][8] = {
#define G(i) {k_table.entries[i][0], k_table.entries[i][1], k_table.entries[i][2], k_table.entries[i][3], \
              k_table.entries[i][4], k_table.entries[i][5], k_table.entries[i][6], 0}
    G(0),  G(1),  G(2),  G(3),  G(4),  G(5),  G(6),  G(7),  G(8),  G(9),  G(10), G(11), G(12),
    G(13), G(14), G(15), G(16), G(17), G(18), G(19), G(20), G(21), G(22), G(23), G(24), G(25),
#undef G
};

std::string convert_glyphs_to_escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        unsigned c = uint8_t(ch);
        if (c >= ORBO_GLYPH_FIRST && c < ORBO_GLYPH_FIRST + ORBO_GLYPH_COUNT)
            out += unicode_glyph[c - ORBO_GLYPH_FIRST];
        else
            out += ch;
    }
    return out;
}

std::string convert_escaped_to_glyphs(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (uint8_t(text[i]) >= 128) {
            int found = -1;
            size_t len = 0;
            for (int g = 0; g < ORBO_GLYPH_COUNT && found < 0; g++) {
                len = strlen(unicode_glyph[g]);
                if (text.substr(i, len) == std::string_view(unicode_glyph[g], len)) found = g;
            }
            if (found >= 0) {
                out += char(ORBO_GLYPH_FIRST + found);
                i += len;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}
