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
