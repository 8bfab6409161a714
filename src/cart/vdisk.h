// The virtual disk: in-memory files (the embedded cartridges) that file opens
// fall back to. A file is keyed by the file name and extension of the path it
// is opened with, at most 63 characters; there are at most 512 files, and a
// new file past that is refused. Files live until the program ends: closing a
// handle (plain fclose) keeps the file.
#pragma once
#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

constexpr int ORBO_VDISK_FILES = 512;

// Mode beginning with 'r': the file rewound, or none. 'w': the file emptied,
// or a new empty file. Anything else: none.
FILE* orbo_fopen_vdisk(const char* path, const char* mode);
// True for an open handle of a virtual-disk file.
bool vdisk_file_owned(FILE* file);
// The real file first; when that fails and the mode begins with 'r', the
// virtual-disk file of that name.
FILE* orbo_fopen(const char* path, const char* mode);
// True when the virtual disk holds a file under that path's key.
bool vdisk_file_exists(const char* path);
// The whole file under that path's key; false when there is none.
bool vdisk_read_file(const char* path, std::vector<uint8_t>* out);
// Lets the pod reader fall back to the virtual disk (call once at start).
void orbo_install_vdisk_pod_reader();
// Removes every file (tests and restarts).
void vdisk_clear();
