#include "platform/bitmap.h"

kiln_bitmap_ptr kiln_create_bitmap(int w, int h, int depth)
{
    if (w <= 0 || h <= 0 || (depth != 8 && depth != 32)) return nullptr;
    if (int64_t(w) * int64_t(h) > (int64_t(1) << 26)) return nullptr;
    auto bm = std::make_unique<kiln_bitmap>();
    bm->w = w;
    bm->h = h;
    bm->depth = depth;
    bm->pixels.assign(size_t(w) * size_t(h) * size_t(depth / 8), 0);
    bm->clip_x1 = w;
    bm->clip_y1 = h;
    return bm;
}
