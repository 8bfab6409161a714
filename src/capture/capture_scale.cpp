#include "capture/capture_scale.h"

#include <algorithm>
#include <cstring>

int capture_clamp_scale(int scale) { return std::clamp(scale, 1, ORBO_CAPTURE_MAX_SCALE); }

void capture_stretch_row(const uint8_t* src, int w, int scale, const uint8_t map[256], uint8_t* dst)
{
    for (int x = 0; x < w; x++) {
        memset(dst, map[src[x]], size_t(scale));
        dst += scale;
    }
}
