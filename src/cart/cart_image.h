// The cartridge image: the bytes a PNG cartridge carries in its pixels and,
// without its last 5 bytes, the 32 KiB form of the player's data file.
//
//   0x0000  0x4300  ROM image (detached ROM access)
//   0x4300  0x3C00  code: compressed form (first byte ':'), or the plain text
//                   when compression would not make it smaller; zero-filled
//   0x8000  1       format version
//   0x8001  3       0, 1, 19
//   0x8004  1       platform character 'l'
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cart/cart.h"

constexpr int ORBO_IMAGE_SIZE = 0x8005;
constexpr int ORBO_32K_SIZE = 0x8000;
constexpr int ORBO_CODE_OFFSET = 0x4300;
constexpr int ORBO_CODE_SPACE = 0x3C00;

// The code bytes stored at 0x4300 for a program: its compressed form, except
// that a program beginning with ':' is always stored compressed (the loader
// reads any code beginning with ':' as compressed). False when the program
// does not fit: more than 15,360 bytes, or more than 65,535 characters (the
// length field has 16 bits). *size gets the byte count either way.
bool orbo_code_for_image(const std::string& code, std::vector<uint8_t>* out, int* size = nullptr);

// Fills a block of ORBO_IMAGE_SIZE bytes. 1 when the code does not fit.
int orbo_cart_to_image(const orbo_cart* cart, uint8_t* block);
// Reads ROM and code of a block of at least ORBO_32K_SIZE bytes into cart.
void orbo_image_to_cart(orbo_cart* cart, const uint8_t* block);

// The 32 KiB form; save returns 1 when the code does not fit.
int save_orbo_cart_32k(const orbo_cart* cart, uint8_t* block);
void load_orbo_cart_32k(orbo_cart* cart, const uint8_t* block);
// A new record from a 32 KiB image (version 0; the caller sets it). None
// when len is below 32 KiB. The data file's cartridge items may carry the
// label after the image: ORBO_LABEL_BYTES more bytes, 128 rows of 64, two
// pixels a byte with the left one in the low four bits.
orbo_cart_ptr orbo_cart_from_32k(const uint8_t* block, size_t len);
constexpr int ORBO_LABEL_BYTES = 0x2000;
// Appends the cartridge's 128 x 128 label in that form (the form screen
// memory holds pixels in too); false and nothing without one.
bool orbo_append_label(const orbo_cart* cart, std::vector<uint8_t>* block);

// 40 lower-case hex digits and a NUL: SHA-1 of the ROM image and compressed
// code in a zeroed 32 KiB buffer. Code too large for an image is replaced, for
// hashing only, by the hex SHA-1 of its text.
void hash_cart(const orbo_cart* cart, char out[41]);
std::string hash_cart(const orbo_cart* cart);
// Hex SHA-1 of any bytes.
std::string orbo_sha1_hex(const void* data, size_t len);
