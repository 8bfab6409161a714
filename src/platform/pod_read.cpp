// The pod reader. A pod is a run of chunks (4-byte tag, 32-bit LE size
// word): "CPOD" first, then one chunk per item; a zero tag, the end of the
// stream, or the next pod's "CPOD"/"CNOP" ends it.
//
// Hostile input: every size taken from the stream is checked before it is
// allocated (against the bytes left, or KILN_POD_MAX_ALLOC when the length
// is unknown; compressed payloads against the LZ4 expansion limit), LZ4
// input is decoded with bounds checks and must give exactly the stated
// length, and a chunk that runs past the end of the stream ends the read
// without adding its item.
#include <lz4.h>

#include <cstring>

#include "platform/log.h"
#include "platform/pod.h"

namespace {
// LZ4 cannot expand a block by more than this factor.
constexpr uint64_t k_lz4_max_ratio = 255;

uint32_t tag_of(const char* t)
{
    return uint32_t(uint8_t(t[0])) | uint32_t(uint8_t(t[1])) << 8 |
           uint32_t(uint8_t(t[2])) << 16 | uint32_t(uint8_t(t[3])) << 24;
}

const uint32_t TAG_CPOD = tag_of("CPOD"), TAG_CNOP = tag_of("CNOP"),
               TAG_CBMP = tag_of("CBMP"), TAG_cBMP = tag_of("cBMP"),
               TAG_CPAL = tag_of("CPAL"), TAG_CFIL = tag_of("CFIL"),
               TAG_cFIL = tag_of("cFIL");

bool read_u32(kiln_stream* s, uint32_t* v)
{
    uint8_t b[4];
    size_t got = kiln_stream_read(s, b, 4);
    *v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return got == 4;
}

// True when n more bytes may be allocated and read from the stream.
bool fits(const kiln_stream* s, uint64_t n)
{
    uint64_t left = kiln_stream_remaining(s);
    if (left == KILN_STREAM_UNKNOWN) return n <= KILN_POD_MAX_ALLOC;
    return n <= left;
}

bool read_exact(kiln_stream* s, uint8_t* dst, uint64_t n)
{
    return kiln_stream_read(s, dst, size_t(n)) == n;
}

// Either `n` raw bytes or a compressed length and LZ4 data giving exactly n.
bool read_payload(kiln_stream* s, bool compressed, uint8_t* dst, uint64_t n)
{
    if (!compressed) return fits(s, n) && read_exact(s, dst, n);
    uint32_t clen;
    if (!read_u32(s, &clen) || !fits(s, clen)) return false;
    std::vector<uint8_t> src(clen);
    if (!read_exact(s, src.data(), clen)) return false;
    uint8_t dummy = 0;
    int out = LZ4_decompress_safe(reinterpret_cast<const char*>(src.data()),
                                  reinterpret_cast<char*>(n ? dst : &dummy), int(clen), int(n));
    return out >= 0 && uint64_t(out) == n;
}

// A compressed payload of n bytes needs at least this many stream bytes.
bool compressed_could_fit(const kiln_stream* s, uint64_t n)
{
    uint64_t left = kiln_stream_remaining(s);
    if (left == KILN_STREAM_UNKNOWN) return n <= KILN_POD_MAX_ALLOC;
    return n <= left * k_lz4_max_ratio + 16;
}

bool read_bitmap(kiln_pod* pod, kiln_stream* s, bool compressed)
{
    uint32_t w, h, depth, attr, unused;
    read_u32(s, &w);
    read_u32(s, &h);
    read_u32(s, &depth);
    read_u32(s, &attr);
    if (!read_u32(s, &unused)) return false;
    if (w == 0 || h == 0 || w > 0x7fffffff || h > 0x7fffffff) return false;
    uint64_t bytes = uint64_t(w) * h * (depth / 8);
    if ((depth != 8 && depth != 32) || bytes > (uint64_t(1) << 28)) return false;
    if (!(compressed ? compressed_could_fit(s, bytes) : fits(s, bytes))) return false;
    kiln_bitmap_ptr bm = kiln_create_bitmap(int(w), int(h), int(depth));
    if (!bm) return false;
    bm->attr = attr;
    if (!read_payload(s, compressed, bm->pixels.data(), bytes)) return false;
    kiln_pod_add_bitmap(pod, std::move(bm));
    return true;
}

bool read_palette(kiln_pod* pod, kiln_stream* s)
{
    auto pal = std::make_unique<kiln_palette>();
    if (!read_exact(s, pal->rgb, sizeof pal->rgb)) return false;
    kiln_pod_add_palette(pod, std::move(pal));
    return true;
}

bool read_file_item(kiln_pod* pod, kiln_stream* s, bool compressed)
{
    uint32_t len;
    if (!read_u32(s, &len)) return false;
    char name[64];
    if (kiln_stream_read(s, name, 64) != 64) return false;
    name[63] = 0;
    if (!(compressed ? compressed_could_fit(s, len) : fits(s, len))) return false;
    auto f = std::make_unique<kiln_file>();
    f->name = name;
    f->bytes.resize(len);
    if (!read_payload(s, compressed, f->bytes.data(), len)) return false;
    kiln_pod_add_file(pod, std::move(f));
    return true;
}

bool read_header(kiln_pod* pod, kiln_stream* s)
{
    uint32_t one, count;
    read_u32(s, &one);
    char name[33] = {};
    kiln_stream_read(s, name, 32);
    pod->name = name;
    read_u32(s, &count);  // items are counted as they are read
    uint8_t pad[28];
    return kiln_stream_read(s, pad, 28) == 28;
}

// Reads one chunk; false ends the pod (its item, if any, is not added).
bool read_chunk(kiln_pod* pod, kiln_stream* s, uint32_t tag, uint32_t size)
{
    if (tag == TAG_CBMP || tag == TAG_cBMP) return read_bitmap(pod, s, tag == TAG_cBMP);
    if (tag == TAG_CPAL) return read_palette(pod, s);
    if (tag == TAG_CFIL || tag == TAG_cFIL) return read_file_item(pod, s, tag == TAG_cFIL);
    kiln_debug("kiln_load_pod_file: Unknown Chunk!\n");
    if (!fits(s, size)) return false;
    return kiln_stream_skip(s, size);
}
}  // namespace

kiln_pod_ptr kiln_load_pod_file(const char* name, kiln_stream* s)
{
    (void)name;
    kiln_pod_ptr pod = kiln_create_pod();
    bool first = true;
    while (!kiln_stream_at_end(s)) {
        uint32_t tag, size;
        if (!read_u32(s, &tag) || tag == 0) break;
        if (!read_u32(s, &size)) break;
        if (first) {
            if (tag != TAG_CPOD) return nullptr;
            first = false;
            if (!read_header(pod.get(), s)) break;
            continue;
        }
        if (tag == TAG_CPOD || tag == TAG_CNOP) {
            kiln_stream_skip(s, -8);  // the next pod starts here
            break;
        }
        if (!read_chunk(pod.get(), s, tag, size)) break;
    }
    if (pod->items.empty()) return nullptr;
    return pod;
}

kiln_pod_ptr kiln_load_pod_memory(const void* data, size_t len)
{
    kiln_stream s = kiln_stream_memory(data, len);
    return kiln_load_pod_file("memory", &s);
}

namespace {
kiln_vdisk_reader g_vdisk_reader = nullptr;
}

void kiln_set_pod_vdisk_reader(kiln_vdisk_reader reader) { g_vdisk_reader = reader; }

kiln_pod_ptr kiln_load_pod(const char* path)
{
    kiln_pod_ptr pod;
    if (FILE* f = fopen(path, "rb")) {
        kiln_stream s = kiln_stream_file(f);
        pod = kiln_load_pod_file(path, &s);
        fclose(f);
    } else if (g_vdisk_reader) {
        std::vector<uint8_t> bytes;
        if (g_vdisk_reader(path, &bytes)) pod = kiln_load_pod_memory(bytes.data(), bytes.size());
    }
    kiln_debug("kiln_load_pod: %s %s \n", path, pod ? "ok" : "failed");
    return pod;
}
