// A pod is the framework's container of numbered items. The data file
// "data.pod" is one, and byte-buffer items may hold nested pods that are read
// from memory the same way. An item's number is its position, from 0.
//
// File layout: chunks, each a 4-byte tag and a 32-bit little-endian size word.
// "CPOD" header (76 bytes) first, then one chunk per item: "CBMP"/"cBMP"
// bitmaps, "CPAL" palettes, "CFIL"/"cFIL" byte buffers (lower-case tags carry
// LZ4 block data). "CNOP" alone is an empty pod.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"

enum kiln_item_kind : int {
    KILN_ITEM_BITMAP = 4,
    KILN_ITEM_PALETTE = 5,
    KILN_ITEM_FILE = 12,
};

struct kiln_palette {
    uint8_t rgb[768] = {};  // 256 entries of red, green, blue
};

struct kiln_file {
    std::string name;            // at most 63 bytes
    std::vector<uint8_t> bytes;
};

struct kiln_pod_item {
    int kind = 0;
    kiln_bitmap_ptr bitmap;                 // kind 4
    std::unique_ptr<kiln_palette> palette;  // kind 5
    std::unique_ptr<kiln_file> file;        // kind 12
};

struct kiln_pod {
    std::string name;  // at most 32 bytes
    std::vector<kiln_pod_item> items;
};

using kiln_pod_ptr = std::unique_ptr<kiln_pod>;

// Typed access: nothing when the item is absent or of another kind.
const kiln_bitmap* kiln_pod_bitmap(const kiln_pod* pod, int item);
const kiln_palette* kiln_pod_palette(const kiln_pod* pod, int item);
const kiln_file* kiln_pod_file(const kiln_pod* pod, int item);

// Pod operations. Adding takes ownership of the object; the return value is
// the new item's number.
kiln_pod_ptr kiln_create_pod(const char* name = "");
int kiln_pod_count(const kiln_pod* pod);
int kiln_pod_add_bitmap(kiln_pod* pod, kiln_bitmap_ptr bitmap);
int kiln_pod_add_palette(kiln_pod* pod, std::unique_ptr<kiln_palette> palette);
int kiln_pod_add_file(kiln_pod* pod, std::unique_ptr<kiln_file> file);
// A byte buffer made from a name and bytes (the name is cut to 63 bytes).
int kiln_pod_add_bytes(kiln_pod* pod, const char* name, const void* data, size_t len);

// A stream the reader takes its bytes from: an open FILE or a byte range in
// memory. Reads past the end copy what is left and zero the rest of the
// field. The length is known for memory streams and for seekable files
// (`size` is KILN_STREAM_UNKNOWN otherwise).
constexpr uint64_t KILN_STREAM_UNKNOWN = ~uint64_t(0);

struct kiln_stream {
    FILE* file = nullptr;
    const uint8_t* data = nullptr;
    uint64_t size = KILN_STREAM_UNKNOWN;
    uint64_t pos = 0;
    bool hit_end = false;  // a read came back short
};

kiln_stream kiln_stream_memory(const void* data, size_t len);
kiln_stream kiln_stream_file(FILE* f);
// Copies n bytes (zero-filling what is missing); returns the count copied.
size_t kiln_stream_read(kiln_stream* s, void* dst, size_t n);
// Bytes left, or KILN_STREAM_UNKNOWN.
uint64_t kiln_stream_remaining(const kiln_stream* s);
bool kiln_stream_at_end(const kiln_stream* s);
// Moves the read position; false when it would leave 0..size.
bool kiln_stream_skip(kiln_stream* s, int64_t delta);

// Largest single allocation a pod read from a stream of unknown length makes.
constexpr uint64_t KILN_POD_MAX_ALLOC = uint64_t(256) << 20;

// Reading. Every loader returns nothing for input that is no pod; bad
// input never crashes them. `kiln_load_pod` falls back to the virtual disk
// reader when the path cannot be opened.
kiln_pod_ptr kiln_load_pod(const char* path);
kiln_pod_ptr kiln_load_pod_file(const char* name, kiln_stream* s);
kiln_pod_ptr kiln_load_pod_memory(const void* data, size_t len);

// The virtual disk of embedded files: fills `out` and returns true when
// `path` names one. Installed by the cartridge layer; none by default.
using kiln_vdisk_reader = bool (*)(const char* path, std::vector<uint8_t>* out);
void kiln_set_pod_vdisk_reader(kiln_vdisk_reader reader);

// Writing, the reader's inverse. With `compress` bitmaps and byte buffers
// are stored as "cBMP"/"cFIL" LZ4 blocks. Fails (false / non-zero) for an
// item of a kind the writer does not know.
bool kiln_write_pod(const kiln_pod* pod, bool compress, std::vector<uint8_t>* out);
// 0 on success, 1 when the file cannot be written, 2 when the pod cannot.
int kiln_save_pod(const kiln_pod* pod, const char* path, bool compress);
