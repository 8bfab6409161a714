#include "capture/gif_writer.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "capture/capture_scale.h"
#include "platform/log.h"

namespace {

constexpr int k_delay_centis = 3;           // 100 / 30 frames per second, rounded
constexpr uint8_t k_disposal_background = 2; // restore to background colour

// Graphics-control block: packed field (disposal in bits 2..4, transparency
// flag clear), delay in hundredths, transparent index 0.
constexpr GifByteType k_graphics_control[4] = {k_disposal_background << 2, k_delay_centis, 0, 0};
constexpr GifByteType k_loop_app[] = "NETSCAPE2.0";
constexpr GifByteType k_loop_forever[3] = {1, 0, 0};  // sub-block 1, loop count 0

int colour_count(std::span<const uint8_t* const> frames)
{
    for (const uint8_t* f : frames)
        if (std::any_of(f, f + ORBO_CLIP_FRAME_BYTES, [](uint8_t p) { return p > 15; })) return 256;
    return 16;
}

bool put_screen(GifFileType* gif, int size, int colours, const kiln_palette* palette)
{
    std::vector<GifColorType> entries(static_cast<size_t>(colours));
    for (int i = 0; i < colours; i++) {
        uint8_t rgb[3];
        capture_palette_rgb(palette, i, rgb);
        entries[size_t(i)] = {rgb[0], rgb[1], rgb[2]};
    }
    ColorMapObject* map = GifMakeMapObject(colours, entries.data());
    if (!map) return false;
    // The encoder keeps its own copy of the map.
    int bits = GifBitSize(colours);
    bool ok = EGifPutScreenDesc(gif, size, size, bits, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    return ok;
}

bool put_loop_extension(GifFileType* gif)
{
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof k_loop_app - 1, k_loop_app) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof k_loop_forever, k_loop_forever) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool put_frame(GifFileType* gif, const uint8_t* frame, int scale, const uint8_t map[256], std::vector<GifPixelType>& row)
{
    int size = ORBO_CLIP_W * scale;
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof k_graphics_control, k_graphics_control) != GIF_OK ||
        EGifPutImageDesc(gif, 0, 0, size, size, false, nullptr) != GIF_OK)
        return false;
    for (int y = 0; y < ORBO_CLIP_H; y++)
        for (int r = 0; r < scale; r++) {
            // The encoder masks the line in place, so it is rebuilt each time.
            capture_stretch_row(frame + y * ORBO_CLIP_W, ORBO_CLIP_W, scale, map, row.data());
            if (EGifPutLine(gif, row.data(), size) != GIF_OK) return false;
        }
    return true;
}

bool write_stream(GifFileType* gif, std::span<const uint8_t* const> frames, const kiln_palette* palette, int scale)
{
    int colours = colour_count(frames);
    uint8_t map[256];
    for (int i = 0; i < 256; i++) map[i] = uint8_t(i % colours);
    std::vector<GifPixelType> row(size_t(ORBO_CLIP_W * scale));

    EGifSetGifVersion(gif, true);  // extensions need GIF89a
    if (!put_screen(gif, ORBO_CLIP_W * scale, colours, palette)) return false;
    for (size_t i = 0; i < frames.size(); i++) {
        if (i == 0 && !put_loop_extension(gif)) return false;
        if (!put_frame(gif, frames[i], scale, map, row)) return false;
    }
    return true;
}

}  // namespace

int orbo_write_gif(const std::string& path, std::span<const uint8_t* const> frames, const kiln_palette* palette,
                   int scale)
{
    // Opened here rather than by name so the file gets the usual 0666 less
    // umask; the encoder owns the descriptor from then on.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return ORBO_GIF_OPEN_FAILED;
    int error = 0;
    GifFileType* gif = EGifOpenFileHandle(fd, &error);
    if (!gif) {
        close(fd);
        unlink(path.c_str());
        return ORBO_GIF_OPEN_FAILED;
    }
    kiln_debug("saving video to: %s\n", path.c_str());
    bool ok = write_stream(gif, frames, palette, capture_clamp_scale(scale));
    // Closing flushes the last bytes, so its result counts too.
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    if (ok) return ORBO_GIF_OK;
    unlink(path.c_str());
    return ORBO_GIF_WRITE_FAILED;
}

int save_gif(const video_clip& clip, const capture_settings& settings, std::string* path_out)
{
    std::string path = capture_free_file_name(capture_output_folder(settings.desktop_path), settings.base_name,
                                              capture_file_kind::gif);
    if (path_out) *path_out = path;
    if (path.empty()) return ORBO_GIF_NO_NAME;
    std::span<const uint8_t* const> frames(clip.slots.data(), size_t(clip.video_clip_index));
    return orbo_write_gif(path, frames, settings.palette, settings.gif_scale);
}
