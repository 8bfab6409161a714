// PNG previews of a built data pod, for judging the assets by eye: the
// palette swatch, a font sample, a mock boot screen and every resource
// bitmap, each scaled up.
#include <lodepng.h>

#include <cstring>
#include <string>

#include "podbuild.h"

namespace {
bool save_png(const kiln_bitmap& bm, const kiln_palette& pal, int scale, const std::string& path)
{
    unsigned w = unsigned(bm.w * scale), h = unsigned(bm.h * scale);
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (unsigned y = 0; y < h; y++)
        for (unsigned x = 0; x < w; x++) {
            uint8_t* o = &rgba[(size_t(y) * w + x) * 4];
            int sx = int(x) / scale, sy = int(y) / scale;
            if (bm.depth == 8) {
                const uint8_t* c = pal.rgb + 3 * bm.row(sy)[sx];
                o[0] = c[0], o[1] = c[1], o[2] = c[2], o[3] = 255;
            } else {
                uint32_t v = reinterpret_cast<const uint32_t*>(bm.row(sy))[sx];
                o[0] = uint8_t(v >> 16), o[1] = uint8_t(v >> 8), o[2] = uint8_t(v), o[3] = uint8_t(v >> 24);
            }
        }
    if (lodepng::encode(path, rgba, w, h) != 0) {
        fprintf(stderr, "podbuild: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

void fill(kiln_bitmap* bm, int x0, int y0, int w, int h, uint8_t v)
{
    for (int y = std::max(0, y0); y < std::min(bm->h, y0 + h); y++)
        for (int x = std::max(0, x0); x < std::min(bm->w, x0 + w); x++) bm->row(y)[x] = v;
}

void blit(kiln_bitmap* dst, const kiln_bitmap& src, int x0, int y0)
{
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++)
            if (x0 + x >= 0 && x0 + x < dst->w && y0 + y >= 0 && y0 + y < dst->h)
                dst->row(y0 + y)[x0 + x] = src.row(y)[x];
}

// The console colours 0-15 over the extended 128-143, each with its number.
void palette_swatch(const kiln_palette& pal, const kiln_font* font, const std::string& dir)
{
    kiln_bitmap_ptr bm = kiln_create_bitmap(16 * 24, 2 * 24, 8);
    for (int row = 0; row < 2; row++)
        for (int i = 0; i < 16; i++) {
            int idx = row * 128 + i;
            fill(bm.get(), i * 24, row * 24, 24, 24, uint8_t(idx));
            char label[8];
            snprintf(label, sizeof label, "%d", idx);
            int text = (i == 0 || i == 1 || i == 5 || i == 2 || i == 3) ? 7 : 0;
            kiln_draw_text_ex(bm.get(), label, font, i * 24 + 2, row * 24 + 2, 1, row * 128 + text);
        }
    save_png(*bm, pal, 3, dir + "/palette.png");
}

void font_sample(const kiln_palette& pal, const kiln_font* font, const std::string& dir)
{
    kiln_bitmap_ptr bm = kiln_create_bitmap(128, 96, 8);
    std::string ascii, glyphs;
    for (int c = 32; c < 127; c++) ascii += char(c), ascii += (c - 31) % 32 == 0 ? "\n" : "";
    for (int c = 128; c <= 153; c++) glyphs += char(c), glyphs += (c - 127) % 13 == 0 ? "\n" : "";
    int y = kiln_draw_text_ex(bm.get(), ascii.c_str(), font, 0, 1, 1, 7);
    y = kiln_draw_text_ex(bm.get(), "\nthe quick brown fox jumps over\nTHE LAZY DOG. 0123456789 ?!",
                          font, 0, y, 1, 6);
    y = kiln_draw_text_ex(bm.get(), "\n", font, 0, y, 1, 6);
    y = kiln_draw_text_ex(bm.get(), glyphs.c_str(), font, 0, y + 6, 1, 10);
    for (int c = 1; c < 16; c++) kiln_draw_text_ex(bm.get(), "\x80", font, (c - 1) * 8, y + 12, 1, c);
    save_png(*bm, pal, 4, dir + "/font.png");
}

// Roughly what the console shows at the end of the boot sequence.
void boot_screen(const kiln_palette& pal, const kiln_font* font, const kiln_pod* res,
                 const std::string& dir)
{
    kiln_bitmap_ptr bm = kiln_create_bitmap(128, 128, 8);
    int y = 12;
    auto line = [&](const char* text, int col) {
        kiln_draw_text_ex(bm.get(), text, font, 0, y, 17, col);
        y += 6;
    };
    line("orbo 0.1.11f", 6);
    line("(c) hearthware. a tiny console.", 13);
    line("", 6);
    line("booting cartridge..", 6);
    line("", 6);
    line("directory: /games", 12);
    line("runtime error line 12", 14);
    line("  in update line 40", 13);
    line("warning: label is blank", 9);
    line("run cart and use f7 to capture", 10);
    if (const kiln_bitmap* logo = kiln_pod_bitmap(res, 2)) blit(bm.get(), *logo, 1, 1);
    if (const kiln_bitmap* anim = kiln_pod_bitmap(res, 212)) blit(bm.get(), *anim, 3, 90);
    if (const kiln_bitmap* ptr = kiln_pod_bitmap(res, 245)) blit(bm.get(), *ptr, 20, 92);
    fill(bm.get(), 0, 110, 128, 9, 8);
    if (const kiln_bitmap* icon = kiln_pod_bitmap(res, 227)) blit(bm.get(), *icon, 2, 111);
    kiln_draw_text_ex(bm.get(), "keyboard message", font, 14, 112, 1, 7);
    save_png(*bm, pal, 4, dir + "/boot.png");
}
}  // namespace

int write_previews(const char* pod_path, const char* dir)
{
    kiln_pod_ptr data = kiln_load_pod(pod_path);
    const kiln_file* res_bytes = kiln_pod_file(data.get(), 1);
    const kiln_file* font_bytes = kiln_pod_file(data.get(), 2);
    if (!res_bytes || !font_bytes) {
        fprintf(stderr, "podbuild: %s has no resource or font pod\n", pod_path);
        return 1;
    }
    kiln_pod_ptr res = kiln_load_pod_memory(res_bytes->bytes.data(), res_bytes->bytes.size());
    kiln_pod_ptr font_pod = kiln_load_pod_memory(font_bytes->bytes.data(), font_bytes->bytes.size());
    kiln_font_ptr font = kiln_load_font(font_pod.get());
    const kiln_palette* pal = kiln_pod_palette(res.get(), 1);
    if (!pal || !font) {
        fprintf(stderr, "podbuild: no palette or font\n");
        return 1;
    }
    palette_swatch(*pal, font.get(), dir);
    font_sample(*pal, font.get(), dir);
    boot_screen(*pal, font.get(), res.get(), dir);
    for (int i = 0; i < kiln_pod_count(res.get()); i++)
        if (const kiln_bitmap* bm = kiln_pod_bitmap(res.get(), i))
            save_png(*bm, *pal, bm->w <= 16 ? 8 : 4, std::string(dir) + "/res_" + std::to_string(i) + ".png");
    return 0;
}
