#include "cart/cart_image.h"

#include <cstring>

#include "cart/compress.h"
#include "cart/rom.h"

bool orbo_code_for_image(const std::string& code, std::vector<uint8_t>* out, int* size)
{
    *out = compress_mini(code);
    bool stored_plain = out->size() == code.size() && !code.empty();
    if (stored_plain && code[0] == ':') *out = compress_mini_forced(code);
    if (size) *size = int(out->size());
    return code.size() <= 65535 && out->size() <= size_t(ORBO_CODE_SPACE);
}

int orbo_cart_to_image(const orbo_cart* cart, uint8_t* block)
{
    std::vector<uint8_t> code;
    if (!orbo_code_for_image(cart->code, &code)) return 1;
    memset(block, 0, ORBO_IMAGE_SIZE);
    orbo_cart_to_rom(cart, block);
    if (!code.empty()) memcpy(block + ORBO_CODE_OFFSET, code.data(), code.size());
    const uint8_t trailer[5] = {uint8_t(ORBO_CART_VERSION), 0, 1, 19, 'l'};
    memcpy(block + 0x8000, trailer, sizeof trailer);
    return 0;
}

void orbo_image_to_cart(orbo_cart* cart, const uint8_t* block)
{
    orbo_rom_to_cart(cart, block);
    const uint8_t* code = block + ORBO_CODE_OFFSET;
    if (is_compressed_code(code, ORBO_CODE_SPACE)) {
        std::vector<char> text(size_t(ORBO_CODE_CAPACITY) + 1);
        decompress_mini(code, ORBO_CODE_SPACE, text.data(), ORBO_CODE_CAPACITY);
        cart->code.assign(text.data());
    } else {
        cart->code.assign(reinterpret_cast<const char*>(code), strnlen(reinterpret_cast<const char*>(code), ORBO_CODE_SPACE));
    }
}

int save_orbo_cart_32k(const orbo_cart* cart, uint8_t* block)
{
    std::vector<uint8_t> image(ORBO_IMAGE_SIZE);
    if (orbo_cart_to_image(cart, image.data())) return 1;
    memcpy(block, image.data(), ORBO_32K_SIZE);
    return 0;
}

void load_orbo_cart_32k(orbo_cart* cart, const uint8_t* block) { orbo_image_to_cart(cart, block); }

orbo_cart_ptr orbo_cart_from_32k(const uint8_t* block, size_t len)
{
    if (len < size_t(ORBO_32K_SIZE)) return nullptr;
    orbo_cart_ptr cart = orbo_create_cart();
    load_orbo_cart_32k(cart.get(), block);
    if (len >= size_t(ORBO_32K_SIZE + ORBO_LABEL_BYTES)) {
        const uint8_t* packed = block + ORBO_32K_SIZE;
        cart->label = kiln_create_bitmap(128, 128, 8);
        for (int i = 0; i < ORBO_LABEL_BYTES; i++) {
            cart->label->pixels[2 * i] = packed[i] & 15;
            cart->label->pixels[2 * i + 1] = packed[i] >> 4;
        }
    }
    return cart;
}

bool orbo_append_label(const orbo_cart* cart, std::vector<uint8_t>* block)
{
    const kiln_bitmap* l = cart->label.get();
    if (!l || l->w != 128 || l->h != 128 || l->depth != 8) return false;
    for (int i = 0; i < ORBO_LABEL_BYTES; i++)
        block->push_back(uint8_t((l->pixels[2 * i] & 15) | (l->pixels[2 * i + 1] & 15) << 4));
    return true;
}
