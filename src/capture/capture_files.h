// Where captures go and what they are called: the desktop folder, the base
// name from the data file's title, and the first numbered name that is free.
#pragma once
#include <string>
#include <string_view>

#include "platform/pod.h"
#include "platform/video.h"

// What every capture needs from the settings and the display; the caller
// fills it from the live values each time it saves.
struct capture_settings {
    std::string desktop_path;  // the desktop_path setting; "" means $HOME/Desktop
    std::string base_name;     // get_output_file_name_base(title of the data file)
    const kiln_palette* palette = &kiln_display_palette;  // grey ramp when null
    int screenshot_scale = 3;
    int gif_scale = 2;
};

// The title text with every byte that cannot stand in a file name ('/',
// control bytes) replaced by '_', cut to 200 bytes; "ORBO" when empty.
std::string get_output_file_name_base(std::string_view title);

// The folder captures are written to, ending in '/': desktop_path, else
// $HOME/Desktop, created when missing; the root folder when it cannot be.
std::string capture_output_folder(const std::string& desktop_path);

enum class capture_file_kind { gif, png };

// The first of folder + "%s_%d.gif" (or "%s_%03d.png") for n = 0, 1, ... that
// does not exist; "" when none of the first 100000 is free.
std::string capture_free_file_name(const std::string& folder, const std::string& base, capture_file_kind kind);

// The display palette entry as red, green, blue (grey ramp without a palette).
void capture_palette_rgb(const kiln_palette* palette, int index, uint8_t rgb[3]);
