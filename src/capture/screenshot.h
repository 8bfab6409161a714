// Still pictures: the screen enlarged into an indexed PNG in the desktop folder.
#pragma once
#include <string>

#include "capture/capture_files.h"
#include "platform/bitmap.h"

// The palette entry written in place of index 0, so that no pixel of a
// screenshot holds index 0.
constexpr int ORBO_SCREENSHOT_ZERO_INDEX = 16;

enum orbo_png_shot_status : int {
    ORBO_SHOT_OK = 0,
    ORBO_SHOT_NO_NAME = 1,       // no free file name in the folder
    ORBO_SHOT_BAD_BITMAP = 2,    // not a depth-8 bitmap with pixels
    ORBO_SHOT_WRITE_FAILED = 3,  // encoding or writing failed; no file exists
};

// Writes the depth-8 screen bitmap, enlarged by settings.screenshot_scale
// (clamped to 1..32), to the first free "%s_%03d.png" in the desktop folder
// as a 256-colour PNG of the display palette. Success means the file exists
// afterwards. *path_out gets the name chosen.
int save_png_screenshot(const kiln_bitmap& screen, const capture_settings& settings,
                        std::string* path_out = nullptr);
