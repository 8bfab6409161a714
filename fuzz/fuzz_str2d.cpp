// luaO_str2d on arbitrary bytes: it must never read past the given length or
// trap, and every value it accepts must print as text that reads back to
// within the printed precision of that value (the top values print as
// "32768", which reads back as -32768).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/math/fixed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly size bytes, so ASan sees any read beyond them.
    std::vector<char> text(data, data + size);
    fix32 v = 0;
    if (!luaO_str2d(text.data(), text.size(), &v)) return 0;
    char buf[ORBO_NUMBER_TEXT + 1];
    int n = orbo_fixed_to_string(buf, v);
    if (n <= 0 || n > ORBO_NUMBER_TEXT || size_t(n) != strlen(buf)) abort();
    fix32 back = 0;
    if (!luaO_str2d(buf, size_t(n), &back)) abort();
    if (strcmp(buf, "32768") == 0) {
        if (back != INT32_MIN) abort();
        return 0;
    }
    int64_t err = int64_t(back) - int64_t(v);
    if (err < -8 || err > 8) abort();
    return 0;
}
