// Whole-file writes that a reader, or a crash, never sees half done.
#pragma once
#include <cstddef>
#include <string>

// Writes the bytes to a temporary file in the same folder and renames it over
// path, so a reader sees the old file or the whole new one, never a part.
// The new file gets the usual permissions (0666 less the umask the process
// started with). Safe to call from any thread. False when any step fails
// (the temporary file is then removed).
bool kiln_write_file_atomic(const std::string& path, const void* data, size_t len);
