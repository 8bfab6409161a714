// The PNG cartridge: a 160x205 RGBA picture of a cartridge (template, label at
// (16,24), title lines, "orbo cartridge") whose every colour channel carries
// two bits of the cartridge image in its low bits. Byte j of the image is
// pixel j in row-major order: bits 0-1 in blue, 2-3 green, 4-5 red, 6-7 alpha.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "cart/cart.h"

constexpr int ORBO_PNG_W = 160;
constexpr int ORBO_PNG_H = 205;

struct kiln_font;

// Load statuses.
enum orbo_png_status : int {
    ORBO_PNG_OK = 0,
    ORBO_PNG_NOT_PNG = 1,       // not a decodable PNG
    ORBO_PNG_BAD_SIZE = 2,      // no file, or not 160 x 205
    ORBO_PNG_FUTURE = 3,        // a future format version
};
// The status of the last PNG load.
extern int orbo_png_load_status;

// The console font for title lines and text labels (none: no text drawn).
void orbo_cart_set_font(const kiln_font* font);
const kiln_font* orbo_cart_font();

// 0 on success; 1 when the code does not fit (nothing written); 2 when the
// file cannot be written.
int save_orbo_cart_png(const orbo_cart* cart, const char* path);
// The PNG file's bytes; 1 when the code does not fit, 2 when encoding fails.
int orbo_cart_png_bytes(const orbo_cart* cart, std::vector<unsigned char>* png);

// A new record (without a label) or none; *status gets the load status.
orbo_cart_ptr load_orbo_cart_png_from_file(FILE* file, int* status = nullptr);
// From bytes in memory; with_label also takes the label from the picture.
orbo_cart_ptr load_orbo_cart_png_from_memory(const unsigned char* data, size_t len, int* status = nullptr,
                                             bool with_label = false);
// Opens, loads and adds the label taken from the image.
orbo_cart_ptr load_orbo_cart_png(const char* path, int* status = nullptr);

// A .png path: the 128x128 area at (16,24) of a 160x205 image in the nearest
// console colours. A text cartridge whose third line is "__lua__": colour 5
// with the code's leading comment lines in colour 6. Otherwise none.
kiln_bitmap_ptr create_label_from_file(const char* path);

// The template image (compiled in), decoded to 160x205 RGBA.
const std::vector<unsigned char>& orbo_cart_template_rgba();
extern const unsigned char orbo_cart_template_png[];
extern const unsigned orbo_cart_template_png_size;
