// The 26 glyph characters: code bytes 128..153 in memory, UTF-8 sequences of
// up to 7 bytes in text files.
#pragma once
#include <string>
#include <string_view>

constexpr int ORBO_GLYPH_FIRST = 128;
constexpr int ORBO_GLYPH_COUNT = 26;

// Entry i is the UTF-8 form of byte 128 + i, zero-padded to 8 bytes.
extern const char unicode_glyph[ORBO_GLYPH_COUNT][8];

// Glyph bytes become their UTF-8 sequences; every other byte is copied.
std::string convert_glyphs_to_escaped(std::string_view text);
// At each byte of 128 or more the entries are tried in order; the first whose
// whole sequence matches is replaced by its byte. Anything else is copied.
std::string convert_escaped_to_glyphs(std::string_view text);
