// Code compression for the PNG and 32 KiB cartridge forms.
//
// Compressed form: ":c:\0", the text length as 16 bits high byte first,
// two zero bytes, then a token stream:
//   0 c        the character c
//   1..59      the character at that position of the character table
//   b b2       (b >= 60) copy (b2 >> 4) + 2 characters from
//              (b - 60) * 16 + (b2 & 15) characters back
// The compressor emits lengths 3..17 and offsets 1..3120, offset >= length.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

constexpr int ORBO_COMPRESSED_MAX = 15360;  // bytes of code space in a cartridge image
constexpr int ORBO_CODE_CAPACITY = 65537;   // the decoder's output capacity

// The compressed form, or the plain text when that is not longer.
std::vector<uint8_t> compress_mini(std::string_view text);
// Always the compressed form, even when it is longer than the text.
std::vector<uint8_t> compress_mini_forced(std::string_view text);
// Writes at most text.size() bytes (the result is never longer than the
// text) and returns the count.
int compress_mini(const char* text, uint8_t* out, int length);

// Decodes the compressed form in in[0..in_len) into out, which has room for
// capacity characters plus a NUL; out is cleared first. Returns the text
// length, or 1 (with an empty text) when the stored length exceeds the
// capacity. Decoding stops at the stored length, at the end of the input, or
// at a back-reference reaching before the start of the text.
int decompress_mini(const uint8_t* in, size_t in_len, char* out, int capacity);

// True when the bytes start with the compressed-form header.
bool is_compressed_code(const uint8_t* in, size_t in_len);
