// Arbitrary font pods and texts through the font loader and the text
// layout, with a clip rectangle taken from the input. Input: 6 bytes of
// clip, flags and origin, a NUL-terminated text, then the font pod.
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/font.h"
#include "platform/log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (kiln_log_set_stdout(false), true);
    (void)quiet;
    if (size < 6) return 0;
    const uint8_t* end = static_cast<const uint8_t*>(memchr(data + 6, 0, size - 6));
    if (!end) return 0;
    std::string text(reinterpret_cast<const char*>(data + 6), size_t(end - data - 6));
    kiln_pod_ptr pod = kiln_load_pod_memory(end + 1, size_t(data + size - end - 1));
    kiln_font_ptr font = kiln_load_font(pod.get());
    if (!font) return 0;
    kiln_bitmap_ptr bm = kiln_create_bitmap(40, 30, (data[4] & 1) ? 32 : 8);
    bm->clip_x0 = int8_t(data[0]);
    bm->clip_y0 = int8_t(data[1]);
    bm->clip_x1 = int8_t(data[2]) * 2;
    bm->clip_y1 = int8_t(data[3]) * 2;
    int x = int8_t(data[5]) * 4, y = int8_t(data[4]) / 2;
    kiln_draw_text_ex(bm.get(), text.c_str(), font.get(), x, y, data[4] & 17, 7);
    kiln_text_width(text.c_str(), font.get());
    return 0;
}
