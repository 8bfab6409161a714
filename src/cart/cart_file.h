// Cartridge files of any format, chosen by content and name: PNG
// (".ob.png"), text (".ob") and the raw 32 KiB image (".bin").
#pragma once
#include <string>

#include "cart/cart.h"

// PNG when the file decodes as one (label taken from the picture), else text;
// a name containing ".bin" that is neither is read as a raw image (at least
// the 0x4300 ROM bytes; a missing code part reads as no code; the version is
// the current one). None when
// nothing loads.
orbo_cart_ptr orbo_load_cart_file(const std::string& path);

// Writes by name: PNG when it contains ".png", the raw 32 KiB image when it
// ends in ".bin", text otherwise; always through a temporary file. 0 on
// success, 1 when the code does not fit the format, 2 when writing fails.
int orbo_save_cart_file(const orbo_cart* cart, const std::string& path);

// Legacy conversion and the shared-half reconciliation every freshly loaded
// record gets before use.
void orbo_convert_loaded_cart(orbo_cart* cart);
