// Loading a cartridge file through orbo_fopen, so names of embedded
// cartridges reach the virtual disk: PNG first (with the label from the
// picture), then text.
#pragma once
#include <string>

#include "cart/cart.h"

orbo_cart_ptr orbo_load_cart_via_kiln(const std::string& path);
