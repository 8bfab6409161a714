// The cartridge hash identifies a cartridge by what its image carries: the
// label and the format version do not take part.
#include <openssl/evp.h>

#include <cstring>
#include <vector>

#include "cart/cart_image.h"
#include "cart/compress.h"
#include "cart/rom.h"

std::string orbo_sha1_hex(const void* data, size_t len)
{
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int md_len = 0;
    if (!EVP_Digest(data, len, md, &md_len, EVP_sha1(), nullptr) || md_len != 20) return std::string(40, '0');
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned i = 0; i < md_len; i++) {
        out += hex[md[i] >> 4];
        out += hex[md[i] & 15];
    }
    return out;
}

std::string hash_cart(const orbo_cart* cart)
{
    std::vector<uint8_t> buf(ORBO_32K_SIZE, 0);
    orbo_cart_to_rom(cart, buf.data());
    std::vector<uint8_t> code = compress_mini(cart->code);
    if (code.size() > size_t(ORBO_COMPRESSED_MAX))
        code = compress_mini(orbo_sha1_hex(cart->code.data(), cart->code.size()));
    if (!code.empty()) memcpy(buf.data() + ORBO_CODE_OFFSET, code.data(), code.size());
    return orbo_sha1_hex(buf.data(), buf.size());
}

void hash_cart(const orbo_cart* cart, char out[41])
{
    std::string h = hash_cart(cart);
    memcpy(out, h.c_str(), 41);
}
