// Shared by the capture tests: recognisable frames, a distinct palette,
// settings aimed at a scratch folder, and GIFs read back by giflib itself.
#pragma once
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../cart/test_util.h"
#include "capture/capture_files.h"
#include "capture/video_clip.h"

namespace capturetest {

// Frame k: pixels 0..2 of row 0 hold k in three 4-bit digits, the rest a
// diagonal pattern of the 16 console colours.
inline kiln_bitmap frame_of(int k)
{
    kiln_bitmap bm = *kiln_create_bitmap(ORBO_CLIP_W, ORBO_CLIP_H, 8);
    for (int y = 0; y < ORBO_CLIP_H; y++)
        for (int x = 0; x < ORBO_CLIP_W; x++) bm.row(y)[x] = uint8_t((x + y) & 15);
    for (int d = 0; d < 3; d++) bm.row(0)[d] = uint8_t((k >> (4 * d)) & 15);
    return bm;
}

// The frame number of a decoded image enlarged by scale.
inline int frame_number(const SavedImage& img, int scale)
{
    int k = 0;
    for (int d = 0; d < 3; d++) k |= img.RasterBits[d * scale] << (4 * d);
    return k;
}

// Every entry different from its neighbours, so a wrong lookup shows.
inline const kiln_palette& test_palette()
{
    static kiln_palette pal = [] {
        kiln_palette p;
        for (int i = 0; i < 256; i++) {
            p.rgb[i * 3] = uint8_t(i);
            p.rgb[i * 3 + 1] = uint8_t(255 - i);
            p.rgb[i * 3 + 2] = uint8_t(i * 7);
        }
        return p;
    }();
    return pal;
}

inline capture_settings settings_in(const std::string& folder)
{
    capture_settings s;
    s.desktop_path = folder;
    s.base_name = "ORBO";
    s.palette = &test_palette();
    return s;
}

struct gif_closer {
    void operator()(GifFileType* g) const { DGifCloseFile(g, nullptr); }
};
using gif_ptr = std::unique_ptr<GifFileType, gif_closer>;

// The whole file decoded; *slurp_ok tells whether giflib accepted it all.
inline gif_ptr read_gif(const std::string& path, bool* slurp_ok = nullptr)
{
    int err = 0;
    gif_ptr g(DGifOpenFileName(path.c_str(), &err));
    bool ok = g && DGifSlurp(g.get()) == GIF_OK;
    if (slurp_ok) *slurp_ok = ok;
    return g;
}

}  // namespace capturetest
