// The cartridges embedded in the player's data file: up to 64 of (hash, file
// name), each also written in text form to the virtual disk under its name.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "cart/cart.h"

struct kiln_pod;

constexpr int ORBO_EMBEDDED_MAX = 64;

// False when 64 are already mounted.
bool mount_embedded_cart(const orbo_cart* cart, const char* name);
void clear_embedded_carts();
int orbo_embedded_cart_count();
// The hash of the entry named name; with variants also the name with the
// cartridge extension added, and that + ".png". Empty when none.
std::string get_embedded_cart_hash_for_filename(const char* name, bool variants);
// The entry's name, empty when none.
std::string get_embedded_cart_filename_for_hash(const char* hash);

// Boots the head cart of the data file: clears the embedded carts; item 3 (a
// 32 KiB image) becomes the working cartridge with version 15; items 4 and
// later are mounted under their item names. When item 3 is missing, prints
// "head cart not found\n" and returns 1; 0 otherwise. The caller then starts
// the run (console mode, run request).
int orbo_boot_head_cart(const kiln_pod* data);
// The two halves of that: the head cart image (false when it is shorter than
// 32 KiB) and the items from 4 on.
bool orbo_boot_head_cart_image(const uint8_t* image, size_t len);
// The head cart has no file: when name is the one it was booted under, it
// becomes the working cartridge again exactly as booted (with the data it
// stored for itself) and the result is true; false otherwise.
bool orbo_reboot_head_cart(const std::string& name);
void orbo_mount_embedded_items(const kiln_pod* data);
