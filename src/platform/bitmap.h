// The framework bitmap: depth 8 holds one palette index per pixel, depth 32
// one ARGB word per pixel. Pixels are stored row after row from the top, with
// no padding: row y starts at byte y * w * depth / 8. The clip rectangle is
// inclusive-exclusive (x0 <= x < x1, y0 <= y < y1) and starts as the whole
// bitmap.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

struct kiln_bitmap {
    int w = 0, h = 0, depth = 8;
    uint32_t attr = 0;
    std::vector<uint8_t> pixels;
    int clip_x0 = 0, clip_x1 = 0, clip_y0 = 0, clip_y1 = 0;

    int pitch() const { return w * depth / 8; }
    uint8_t* row(int y) { return pixels.data() + size_t(y) * size_t(pitch()); }
    const uint8_t* row(int y) const { return pixels.data() + size_t(y) * size_t(pitch()); }
    uint32_t* row32(int y) { return reinterpret_cast<uint32_t*>(row(y)); }
};

using kiln_bitmap_ptr = std::unique_ptr<kiln_bitmap>;

// Returns nothing for a size that is not positive, a depth other than 8 or
// 32, or a pixel count that would not fit in memory sensibly (over 64 Mi).
kiln_bitmap_ptr kiln_create_bitmap(int w, int h, int depth);
