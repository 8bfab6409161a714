#include "capture/screenshot.h"

#include <lodepng.h>

#include <vector>

#include "capture/capture_scale.h"
#include "cart/file_util.h"
#include "platform/log.h"

namespace {

// The largest screen accepted: the 128x128 console screen or a splash picture.
constexpr int k_max_side = 4096;

bool encode_indexed_png(const std::vector<uint8_t>& pixels, int w, int h, const kiln_palette* palette,
                        std::vector<unsigned char>* png)
{
    lodepng::State state;
    for (LodePNGColorMode* mode : {&state.info_raw, &state.info_png.color}) {
        mode->colortype = LCT_PALETTE;
        mode->bitdepth = 8;
        for (int i = 0; i < 256; i++) {
            uint8_t rgb[3];
            capture_palette_rgb(palette, i, rgb);
            if (lodepng_palette_add(mode, rgb[0], rgb[1], rgb[2], 255) != 0) return false;
        }
    }
    // Indices are written as they are, never re-ordered or reduced.
    state.encoder.auto_convert = 0;
    return lodepng::encode(*png, pixels.data(), unsigned(w), unsigned(h), state) == 0;
}

}  // namespace

int save_png_screenshot(const kiln_bitmap& screen, const capture_settings& settings, std::string* path_out)
{
    if (path_out) path_out->clear();
    if (screen.depth != 8 || screen.w <= 0 || screen.h <= 0 || screen.w > k_max_side || screen.h > k_max_side ||
        screen.pixels.size() < size_t(screen.w) * size_t(screen.h))
        return ORBO_SHOT_BAD_BITMAP;
    int scale = capture_clamp_scale(settings.screenshot_scale);
    std::string path = capture_free_file_name(capture_output_folder(settings.desktop_path), settings.base_name,
                                              capture_file_kind::png);
    if (path_out) *path_out = path;
    if (path.empty()) return ORBO_SHOT_NO_NAME;

    uint8_t map[256];
    for (int i = 0; i < 256; i++) map[i] = uint8_t(i == 0 ? ORBO_SCREENSHOT_ZERO_INDEX : i);
    int w = screen.w * scale, h = screen.h * scale;
    std::vector<uint8_t> pixels(size_t(w) * size_t(h));
    for (int y = 0; y < h; y++)
        capture_stretch_row(screen.row(y / scale), screen.w, scale, map, pixels.data() + size_t(y) * size_t(w));

    kiln_debug("saving screenshot to: %s\n", path.c_str());
    std::vector<unsigned char> png;
    if (!encode_indexed_png(pixels, w, h, settings.palette, &png) ||
        !kiln_write_file_atomic(path, png.data(), png.size()) || !orbo_file_exists(path))
        return ORBO_SHOT_WRITE_FAILED;
    return ORBO_SHOT_OK;
}
