// File helpers of cartridge storage: whole-file reads and the path splitter
// (whole-file writes come from the platform).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "platform/atomic_file.h"

// Reads at most max bytes; false when the file cannot be opened or read.
bool orbo_read_file(const std::string& path, std::vector<unsigned char>* out, size_t max = size_t(1) << 26);
bool orbo_file_exists(const std::string& path);

// A path split into folder (with its trailing '/'), base name and extension
// (from the first '.' of the file name: "x.ob.png" gives "x" and ".ob.png").
struct orbo_path_parts {
    std::string dir, base, ext;
};
orbo_path_parts orbo_split_path(const std::string& path);
