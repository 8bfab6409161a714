// File helpers of cartridge storage: atomic writes and the path splitter.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Writes the bytes to a temporary file in the same folder and renames it over
// path, so a reader sees the old file or the whole new one, never a part.
// False when any step fails (the temporary file is then removed).
bool orbo_write_file_atomic(const std::string& path, const void* data, size_t len);
// Reads at most max bytes; false when the file cannot be opened or read.
bool orbo_read_file(const std::string& path, std::vector<unsigned char>* out, size_t max = size_t(1) << 26);
bool orbo_file_exists(const std::string& path);

// A path split into folder (with its trailing '/'), base name and extension
// (from the first '.' of the file name: "x.ob.png" gives "x" and ".ob.png").
struct orbo_path_parts {
    std::string dir, base, ext;
};
orbo_path_parts orbo_split_path(const std::string& path);
