// Font loading and text layout. Pen positions are kept within +-2^30 so
// that no text, however long, overflows them; every pixel write is tested
// against the destination's clip rectangle clamped to the bitmap.
#include "platform/font.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int k_pen_limit = 1 << 30;

int clamp_pen(long long v) { return int(std::clamp<long long>(v, -k_pen_limit, k_pen_limit)); }

void blit_glyph(kiln_bitmap* dst, const kiln_bitmap& g, int px, int py, int flags, int value)
{
    int x0 = std::max(std::max(dst->clip_x0, 0), px);
    int y0 = std::max(std::max(dst->clip_y0, 0), py);
    int x1 = std::min(std::min(dst->clip_x1, dst->w), int(std::min<long long>(k_pen_limit, (long long)px + g.w)));
    int y1 = std::min(std::min(dst->clip_y1, dst->h), int(std::min<long long>(k_pen_limit, (long long)py + g.h)));
    for (int y = y0; y < y1; y++) {
        const uint8_t* src = g.row(y - py);
        for (int x = x0; x < x1; x++) {
            uint8_t ink = src[x - px];
            if (!ink) continue;
            uint32_t v = (flags & KILN_TEXT_VALUE) ? uint32_t(value) : ink;
            if (dst->depth == 8)
                dst->row(y)[x] = uint8_t(v);
            else
                dst->row32(y)[x] = v;
        }
    }
}

bool drawable(const kiln_bitmap* dst)
{
    return dst && (dst->depth == 8 || dst->depth == 32) &&
           dst->pixels.size() >= size_t(dst->w) * size_t(dst->h) * size_t(dst->depth / 8);
}
}  // namespace

kiln_font_ptr kiln_load_font(const kiln_pod* pod)
{
    const kiln_file* header = kiln_pod_file(pod, 0);
    if (!header || header->bytes.size() < 3) return nullptr;
    auto font = std::make_unique<kiln_font>();
    font->first = header->bytes[0];
    font->last = header->bytes[1];
    font->spacing = header->bytes[2];
    if (font->last < font->first) return nullptr;
    for (int c = font->first; c <= font->last; c++) {
        const kiln_bitmap* g = kiln_pod_bitmap(pod, 1 + c - font->first);
        kiln_bitmap_ptr copy;
        if (g && g->depth == 8) {
            copy = std::make_unique<kiln_bitmap>(*g);
            font->height = std::max(font->height, g->h);
        }
        font->glyphs.push_back(std::move(copy));
    }
    return font;
}

kiln_pod_ptr kiln_font_to_pod(const kiln_font* font)
{
    kiln_pod_ptr pod = kiln_create_pod("font");
    const uint8_t header[3] = {uint8_t(font->first), uint8_t(font->last), uint8_t(font->spacing)};
    kiln_pod_add_bytes(pod.get(), "font", header, sizeof header);
    for (const kiln_bitmap_ptr& g : font->glyphs) {
        if (g) {
            kiln_pod_add_bitmap(pod.get(), std::make_unique<kiln_bitmap>(*g));
        } else {
            kiln_pod_add_bytes(pod.get(), "", nullptr, 0);  // keeps the numbering
        }
    }
    return pod;
}

const kiln_bitmap* kiln_font_glyph(const kiln_font* font, int c)
{
    if (!font || c < font->first || c > font->last) return nullptr;
    size_t i = size_t(c - font->first);
    return i < font->glyphs.size() ? font->glyphs[i].get() : nullptr;
}

int kiln_draw_text_ex(kiln_bitmap* dst, const char* text, const kiln_font* font, int x, int y,
                      int flags, int value)
{
    if (!text || !font) return y;
    if (!drawable(dst)) dst = nullptr;
    int right = dst ? std::min(dst->clip_x1, dst->w) : k_pen_limit;
    int pen_x = x, pen_y = y, line_h = 0;
    auto new_line = [&] {
        pen_y = clamp_pen((long long)pen_y + (line_h ? line_h : font->height) + 1);
        pen_x = x;
        line_h = 0;
    };
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p && *p != 127; p++) {
        if (*p == 10) {
            new_line();
            continue;
        }
        const kiln_bitmap* g = kiln_font_glyph(font, *p);
        if (!g) continue;
        if ((flags & KILN_TEXT_WRAP) && pen_x != x && (long long)pen_x + g->w > right) new_line();
        if (dst) blit_glyph(dst, *g, pen_x, pen_y, flags, value);
        line_h = std::max(line_h, g->h);
        pen_x = clamp_pen((long long)pen_x + g->w + font->spacing);
    }
    return pen_y;
}

int kiln_text_width(const char* text, const kiln_font* font)
{
    if (!text || !font) return 0;
    long long widest = 0, pen = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p && *p != 127; p++) {
        if (*p == 10) {
            pen = 0;
            continue;
        }
        const kiln_bitmap* g = kiln_font_glyph(font, *p);
        if (!g) continue;
        widest = std::max(widest, pen + g->w);
        pen += g->w + font->spacing;
    }
    return int(std::min<long long>(widest, k_pen_limit));
}
