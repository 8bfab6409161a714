// Animated GIF output: the frames of the ring, or any list of 128x128 frames
// of display palette indices, at 30 frames per second looping forever.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "capture/capture_files.h"
#include "capture/video_clip.h"

enum orbo_gif_status : int {
    ORBO_GIF_OK = 0,
    ORBO_GIF_NO_NAME = 1,      // no free file name in the folder
    ORBO_GIF_OPEN_FAILED = 2,  // the file cannot be created
    ORBO_GIF_WRITE_FAILED = 3, // a write failed; the partial file is removed
};

// Writes the frames to path (replacing any file there), each enlarged by
// scale (clamped to 1..32) with 16 colours, or 256 when any pixel is above 15,
// taken from the palette (grey ramp when null). No frame gives a file with
// the screen descriptor and colour map only.
int orbo_write_gif(const std::string& path, std::span<const uint8_t* const> frames, const kiln_palette* palette,
                   int scale);

// Writes the valid frames of the ring to the first free "%s_%d.gif" in the
// desktop folder, at settings.gif_scale. The ring is left as it was.
// Returns ORBO_GIF_OK or a failure code; *path_out gets the name chosen.
int save_gif(const video_clip& clip, const capture_settings& settings, std::string* path_out = nullptr);
