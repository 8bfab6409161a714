// The text cartridge (".ob"): a header line, a version line, then sections
// opened by "__lua__", "__gfx__", "__gff__", "__map__", "__sfx__",
// "__music__" and "__label__" header lines. Each section keeps its own line
// counter for the whole file, so a repeated header continues where the
// earlier one stopped.
#pragma once
#include <cstdio>

#include "cart/cart.h"

// Lines longer than this are read as several lines.
constexpr int ORBO_TEXT_LINE_MAX = 196607;

// None when the file cannot be opened, is not a text cartridge, or is of a
// future version (then orbo_future_version is set).
orbo_cart_ptr orbo_load_cart(const char* path);
orbo_cart_ptr orbo_load_cart_from_file(FILE* file);

// 0 on success; 1 when the file cannot be opened or written.
int orbo_save_cart(const orbo_cart* cart, const char* path);
int orbo_save_cart_to_file(const orbo_cart* cart, FILE* file);
// The text form as bytes.
std::string orbo_cart_to_text(const orbo_cart* cart);

// '0'..'9' and 'a'..'f'; any other character gives 0.
int hexchar2int(int c);
