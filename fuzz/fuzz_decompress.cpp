// Code decompression: any token stream decodes within bounds; any text
// compresses to a stream that decodes back to it.
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "cart/compress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> out(ORBO_CODE_CAPACITY + 1);
    int n = decompress_mini(data, size, out.data(), ORBO_CODE_CAPACITY);
    if (n < 0 || n > ORBO_CODE_CAPACITY) abort();
    if (size > 65535) return 0;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<uint8_t> c = compress_mini_forced(text);
    n = decompress_mini(c.data(), c.size(), out.data(), ORBO_CODE_CAPACITY);
    // The decoder cuts the old 60 fps shim; everything else comes back.
    if (size_t(n) > size || memcmp(out.data(), data, size_t(n)) != 0) abort();
    if (size_t(n) != size && text.find("_update60()") == std::string_view::npos) abort();
    return 0;
}
