// Byte streams for the pod reader: a FILE or a range of memory. Every read
// copies what is there and zeroes the rest of the field, so a short read
// never leaves a field uninitialised; `hit_end` records that it happened.
#include "platform/pod.h"

#include <algorithm>
#include <cstring>

kiln_stream kiln_stream_memory(const void* data, size_t len)
{
    kiln_stream s;
    s.data = static_cast<const uint8_t*>(data);
    s.size = s.data ? len : 0;
    return s;
}

kiln_stream kiln_stream_file(FILE* f)
{
    kiln_stream s;
    s.file = f;
    if (!f) {
        s.size = 0;
        return s;
    }
    long here = ftell(f);
    if (here >= 0 && fseek(f, 0, SEEK_END) == 0) {
        long end = ftell(f);
        if (end >= here && fseek(f, here, SEEK_SET) == 0) {
            s.pos = uint64_t(here);
            s.size = uint64_t(end);
        }
    }
    return s;
}

size_t kiln_stream_read(kiln_stream* s, void* dst, size_t n)
{
    size_t got = 0;
    if (n == 0) return 0;
    if (s->file) {
        got = fread(dst, 1, n, s->file);
    } else if (s->data && s->pos < s->size) {
        got = size_t(std::min<uint64_t>(n, s->size - s->pos));
        memcpy(dst, s->data + s->pos, got);
    }
    if (got < n) {
        memset(static_cast<uint8_t*>(dst) + got, 0, n - got);
        s->hit_end = true;
    }
    s->pos += got;
    return got;
}

uint64_t kiln_stream_remaining(const kiln_stream* s)
{
    if (s->size == KILN_STREAM_UNKNOWN) return KILN_STREAM_UNKNOWN;
    return s->pos < s->size ? s->size - s->pos : 0;
}

bool kiln_stream_at_end(const kiln_stream* s)
{
    if (s->hit_end) return true;
    if (s->size == KILN_STREAM_UNKNOWN) return s->file ? feof(s->file) != 0 : true;
    return s->pos >= s->size;
}

bool kiln_stream_skip(kiln_stream* s, int64_t delta)
{
    if (delta < 0 && uint64_t(-delta) > s->pos) return false;
    uint64_t to = s->pos + uint64_t(delta);
    if (s->size != KILN_STREAM_UNKNOWN && to > s->size) return false;
    if (s->file) {
        if (fseek(s->file, long(delta), SEEK_CUR) != 0) return false;
        // A skip past the end of an unmeasured file is only found by reading.
    }
    s->pos = to;
    return true;
}
