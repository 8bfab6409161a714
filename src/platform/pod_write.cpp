// The pod writer: the exact inverse of the reader. Size words: "CPOD" 68,
// "CBMP" pixel bytes + 20, "cBMP" the bytes that follow the size word,
// "CPAL" 768, "CFIL"/"cFIL" 0 (the reader takes the length from the chunk).
#include <lz4.h>

#include <algorithm>
#include <cstring>

#include "platform/pod.h"

namespace {
void put_u32(std::vector<uint8_t>* out, uint32_t v)
{
    for (int i = 0; i < 4; i++) out->push_back(uint8_t(v >> (8 * i)));
}

void put_bytes(std::vector<uint8_t>* out, const void* p, size_t n)
{
    const uint8_t* b = static_cast<const uint8_t*>(p);
    out->insert(out->end(), b, b + n);
}

void put_tag(std::vector<uint8_t>* out, const char* tag, uint32_t size)
{
    put_bytes(out, tag, 4);
    put_u32(out, size);
}

// Zero-padded fixed-width name field.
void put_name(std::vector<uint8_t>* out, const std::string& name, size_t width)
{
    size_t n = std::min(name.size(), width);
    put_bytes(out, name.data(), n);
    out->insert(out->end(), width - n, 0);
}

std::vector<uint8_t> lz4_block(const uint8_t* src, size_t n)
{
    std::vector<uint8_t> dst(static_cast<size_t>(LZ4_compressBound(int(n))));
    uint8_t dummy = 0;
    int c = LZ4_compress_default(reinterpret_cast<const char*>(n ? src : &dummy),
                                 reinterpret_cast<char*>(dst.data()), int(n), int(dst.size()));
    dst.resize(c > 0 ? size_t(c) : 0);
    return dst;
}

bool put_bitmap(std::vector<uint8_t>* out, const kiln_bitmap& bm, bool compress)
{
    if (bm.w <= 0 || bm.h <= 0 || (bm.depth != 8 && bm.depth != 32)) return false;
    size_t bytes = size_t(bm.w) * size_t(bm.h) * size_t(bm.depth / 8);
    if (bm.pixels.size() != bytes) return false;
    std::vector<uint8_t> packed;
    if (compress) {
        packed = lz4_block(bm.pixels.data(), bytes);
        if (packed.empty()) return false;
    }
    put_tag(out, compress ? "cBMP" : "CBMP",
            uint32_t(compress ? 20 + 4 + packed.size() : 20 + bytes));
    put_u32(out, uint32_t(bm.w));
    put_u32(out, uint32_t(bm.h));
    put_u32(out, uint32_t(bm.depth));
    put_u32(out, bm.attr);
    put_u32(out, 0);
    if (compress) {
        put_u32(out, uint32_t(packed.size()));
        put_bytes(out, packed.data(), packed.size());
    } else {
        put_bytes(out, bm.pixels.data(), bytes);
    }
    return true;
}

bool put_file(std::vector<uint8_t>* out, const kiln_file& f, bool compress)
{
    if (f.bytes.size() > 0x7fffffff) return false;
    put_tag(out, compress ? "cFIL" : "CFIL", 0);
    put_u32(out, uint32_t(f.bytes.size()));
    put_name(out, f.name.substr(0, 63), 64);
    if (compress) {
        std::vector<uint8_t> packed = lz4_block(f.bytes.data(), f.bytes.size());
        if (packed.empty()) return false;
        put_u32(out, uint32_t(packed.size()));
        put_bytes(out, packed.data(), packed.size());
    } else {
        put_bytes(out, f.bytes.data(), f.bytes.size());
    }
    return true;
}

bool put_item(std::vector<uint8_t>* out, const kiln_pod_item& it, bool compress)
{
    switch (it.kind) {
    case KILN_ITEM_BITMAP:
        return it.bitmap && put_bitmap(out, *it.bitmap, compress);
    case KILN_ITEM_PALETTE:
        if (!it.palette) return false;
        put_tag(out, "CPAL", 768);
        put_bytes(out, it.palette->rgb, 768);
        return true;
    case KILN_ITEM_FILE:
        return it.file && put_file(out, *it.file, compress);
    default:
        return false;
    }
}
}  // namespace

bool kiln_write_pod(const kiln_pod* pod, bool compress, std::vector<uint8_t>* out)
{
    out->clear();
    if (!pod) return false;
    put_tag(out, "CPOD", 68);
    put_u32(out, 1);
    put_name(out, pod->name, 32);
    put_u32(out, uint32_t(pod->items.size()));
    out->insert(out->end(), 28, 0);
    for (const kiln_pod_item& it : pod->items)
        if (!put_item(out, it, compress)) {
            out->clear();
            return false;
        }
    return true;
}

int kiln_save_pod(const kiln_pod* pod, const char* path, bool compress)
{
    std::vector<uint8_t> bytes;
    if (!kiln_write_pod(pod, compress, &bytes)) return 2;
    FILE* f = fopen(path, "wb");
    if (!f) return 1;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fclose(f) == 0 && ok;
    return ok ? 0 : 1;
}
