#include "cart/cart_png.h"

#include <lodepng.h>

#include <cstring>
#include <string_view>

#include "cart/cart_env.h"
#include "cart/cart_image.h"
#include "cart/cart_palette.h"
#include "cart/file_util.h"
#include "cart/glyphs.h"
#include "platform/font.h"

int orbo_png_load_status = ORBO_PNG_OK;

namespace {

constexpr int k_label_x = 16, k_label_y = 24;
constexpr int k_title_x = 18, k_title_y0 = 167, k_title_y1 = 175;
constexpr int k_name_y = 187;
constexpr uint32_t k_title_argb = 0xfffff8f0;
constexpr uint32_t k_name_argb = 0xffa0a0a0;
constexpr size_t k_max_png_file = 64u << 20;
constexpr size_t k_max_png_pixels = (1 + ORBO_PNG_W * 8) * (ORBO_PNG_H + 7) + 7 * ORBO_PNG_H;
constexpr int k_title_chars = 31;

const kiln_font* g_font = nullptr;

uint32_t argb_of_colour(int c)
{
    const orbo_rgb& p = orbo_cart_palette()[c & 15];
    return 0xff000000u | uint32_t(p.r) << 16 | uint32_t(p.g) << 8 | p.b;
}

// Title line n (0 or 1) of the code: the text after "--" and one space,
// at most 31 characters; empty when that line is not a comment.
std::string title_line(const std::string& code, int n)
{
    size_t start = 0;
    for (int i = 0; i < n; i++) {
        size_t nl = code.find('\n', start);
        if (nl == std::string::npos) return {};
        start = nl + 1;
    }
    std::string_view line(code);
    line = line.substr(start, code.find('\n', start) - start);
    if (!line.starts_with("--")) return {};
    line.remove_prefix(2);
    if (line.starts_with(" ")) line.remove_prefix(1);
    return std::string(line.substr(0, k_title_chars));
}

void draw_text_clipped(kiln_bitmap* bm, const std::string& text, int x, int y, uint32_t argb, int x1)
{
    if (!g_font || text.empty()) return;
    int old_x1 = bm->clip_x1;
    bm->clip_x1 = x1;
    kiln_draw_text_ex(bm, text.c_str(), g_font, x, y, KILN_TEXT_VALUE, int(argb));
    bm->clip_x1 = old_x1;
}

// The picture without the data: template, label, title lines, format name.
kiln_bitmap_ptr draw_picture(const orbo_cart* cart)
{
    kiln_bitmap_ptr bm = kiln_create_bitmap(ORBO_PNG_W, ORBO_PNG_H, 32);
    const std::vector<unsigned char>& tpl = orbo_cart_template_rgba();
    for (int i = 0; i < ORBO_PNG_W * ORBO_PNG_H; i++) {
        const unsigned char* p = tpl.data() + 4 * i;
        reinterpret_cast<uint32_t*>(bm->pixels.data())[i] =
            uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
    if (cart->label && cart->label->w == 128 && cart->label->h == 128)
        for (int y = 0; y < 128; y++)
            for (int x = 0; x < 128; x++)
                bm->row32(k_label_y + y)[k_label_x + x] = argb_of_colour(cart_px(*cart->label, x, y));
    draw_text_clipped(bm.get(), title_line(cart->code, 0), k_title_x, k_title_y0, k_title_argb, 140);
    draw_text_clipped(bm.get(), title_line(cart->code, 1), k_title_x, k_title_y1, k_title_argb, 140);
    draw_text_clipped(bm.get(), "orbo cartridge", k_title_x, k_name_y, k_name_argb, 147);
    return bm;
}

void carry_data(const kiln_bitmap& bm, const uint8_t* image, std::vector<unsigned char>* rgba)
{
    rgba->resize(size_t(ORBO_PNG_W) * ORBO_PNG_H * 4);
    const uint32_t* px = reinterpret_cast<const uint32_t*>(bm.pixels.data());
    for (int j = 0; j < ORBO_PNG_W * ORBO_PNG_H; j++) {
        uint32_t c = px[j];
        int byte = j < ORBO_IMAGE_SIZE ? image[j] : 0;
        unsigned char* out = rgba->data() + 4 * size_t(j);
        out[0] = uint8_t(((c >> 16) & 0xfc) | ((byte >> 4) & 3));
        out[1] = uint8_t(((c >> 8) & 0xfc) | ((byte >> 2) & 3));
        out[2] = uint8_t((c & 0xfc) | (byte & 3));
        out[3] = uint8_t(((c >> 24) & 0xfc) | ((byte >> 6) & 3));
    }
}

bool read_whole_file(FILE* f, std::vector<unsigned char>* bytes)
{
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
        if (bytes->size() + n > k_max_png_file) return false;
        bytes->insert(bytes->end(), buf, buf + n);
    }
    return !ferror(f);
}

// Decodes a cartridge PNG to RGBA; the status of the attempt.
int decode_cart_png(const unsigned char* data, size_t len, std::vector<unsigned char>* rgba)
{
    unsigned w = 0, h = 0;
    lodepng::State state;
    if (lodepng_inspect(&w, &h, &state, data, len) != 0) return ORBO_PNG_NOT_PNG;
    if (w != ORBO_PNG_W || h != ORBO_PNG_H) return ORBO_PNG_BAD_SIZE;
    // The image data of a 160x205 PNG inflates to at most k_max_png_pixels
    // bytes (16-bit RGBA, one filter byte per row, interlacing adds less
    // than a row per pass); a deflate stream that inflates further is a
    // bomb and is refused before it takes the host's memory.
    state.decoder.zlibsettings.max_output_size = k_max_png_pixels;
    state.info_raw.colortype = LCT_RGBA;
    state.info_raw.bitdepth = 8;
    if (lodepng::decode(*rgba, w, h, state, data, len) != 0) return ORBO_PNG_NOT_PNG;
    return ORBO_PNG_OK;
}

kiln_bitmap_ptr label_from_rgba(const std::vector<unsigned char>& rgba)
{
    kiln_bitmap_ptr label = kiln_create_bitmap(128, 128, 8);
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++) {
            const unsigned char* p = rgba.data() + 4 * (size_t(k_label_y + y) * ORBO_PNG_W + size_t(k_label_x + x));
            cart_px(*label, x, y) = uint8_t(orbo_nearest_colour(p[0], p[1], p[2]));
        }
    return label;
}

orbo_cart_ptr cart_from_rgba(const std::vector<unsigned char>& rgba, int* status)
{
    std::vector<uint8_t> image(ORBO_IMAGE_SIZE);
    for (int j = 0; j < ORBO_IMAGE_SIZE; j++) {
        const unsigned char* p = rgba.data() + 4 * size_t(j);
        image[size_t(j)] = uint8_t((p[3] & 3) << 6 | (p[0] & 3) << 4 | (p[1] & 3) << 2 | (p[2] & 3));
    }
    int version = image[0x8000];
    if (version > ORBO_CART_VERSION) {
        orbo_cart_printf(6, "future_version: %d", version);
        *status = ORBO_PNG_FUTURE;
        return nullptr;
    }
    orbo_cart_ptr cart = orbo_create_cart();
    cart->version = version;
    orbo_image_to_cart(cart.get(), image.data());
    *status = ORBO_PNG_OK;
    return cart;
}

orbo_cart_ptr load_png_bytes(const unsigned char* data, size_t len, int* status, bool with_label)
{
    int st = ORBO_PNG_OK;
    std::vector<unsigned char> rgba;
    orbo_cart_ptr cart;
    st = decode_cart_png(data, len, &rgba);
    if (st == ORBO_PNG_OK) {
        cart = cart_from_rgba(rgba, &st);
        if (cart && with_label) cart->label = label_from_rgba(rgba);
    }
    orbo_png_load_status = st;
    if (status) *status = st;
    return cart;
}

// The leading comment lines of a text cartridge drawn on a colour-5 label.
kiln_bitmap_ptr label_from_text_cart(FILE* f)
{
    char line[1024];
    for (int i = 0; i < 3; i++)
        if (!fgets(line, sizeof line, f)) return nullptr;
    line[strcspn(line, "\r\n")] = 0;
    if (strcmp(line, "__lua__") != 0) return nullptr;
    kiln_bitmap_ptr label = kiln_create_bitmap(128, 128, 8);
    std::fill(label->pixels.begin(), label->pixels.end(), uint8_t(5));
    for (int i = 0; i < 5 && fgets(line, sizeof line, f); i++) {
        line[strcspn(line, "\r\n")] = 0;
        if (strncmp(line, "--", 2) != 0) break;
        std::string text = convert_escaped_to_glyphs(line).substr(0, 62);
        if (g_font) kiln_draw_text_ex(label.get(), text.c_str(), g_font, 0, 22 + 6 * i, KILN_TEXT_VALUE, 6);
    }
    return label;
}

}  // namespace

void orbo_cart_set_font(const kiln_font* font) { g_font = font; }
const kiln_font* orbo_cart_font() { return g_font; }

const std::vector<unsigned char>& orbo_cart_template_rgba()
{
    static const std::vector<unsigned char> rgba = [] {
        std::vector<unsigned char> out;
        unsigned w = 0, h = 0;
        if (lodepng::decode(out, w, h, orbo_cart_template_png, orbo_cart_template_png_size, LCT_RGBA, 8) != 0 ||
            w != ORBO_PNG_W || h != ORBO_PNG_H)
            out.assign(size_t(ORBO_PNG_W) * ORBO_PNG_H * 4, 255);
        return out;
    }();
    return rgba;
}

int orbo_cart_png_bytes(const orbo_cart* cart, std::vector<unsigned char>* png)
{
    std::vector<uint8_t> image(ORBO_IMAGE_SIZE);
    if (orbo_cart_to_image(cart, image.data())) return 1;
    kiln_bitmap_ptr picture = draw_picture(cart);
    std::vector<unsigned char> rgba;
    carry_data(*picture, image.data(), &rgba);
    png->clear();
    return lodepng::encode(*png, rgba, ORBO_PNG_W, ORBO_PNG_H, LCT_RGBA, 8) == 0 ? 0 : 2;
}

int save_orbo_cart_png(const orbo_cart* cart, const char* path)
{
    std::vector<unsigned char> png;
    int r = orbo_cart_png_bytes(cart, &png);
    if (r) return r;
    return kiln_write_file_atomic(path, png.data(), png.size()) ? 0 : 2;
}

orbo_cart_ptr load_orbo_cart_png_from_memory(const unsigned char* data, size_t len, int* status, bool with_label)
{
    return load_png_bytes(data, len, status, with_label);
}

orbo_cart_ptr load_orbo_cart_png_from_file(FILE* file, int* status)
{
    std::vector<unsigned char> bytes;
    if (!file || !read_whole_file(file, &bytes)) {
        int st = file ? ORBO_PNG_NOT_PNG : ORBO_PNG_BAD_SIZE;
        orbo_png_load_status = st;
        if (status) *status = st;
        return nullptr;
    }
    return load_png_bytes(bytes.data(), bytes.size(), status, false);
}

orbo_cart_ptr load_orbo_cart_png(const char* path, int* status)
{
    FILE* f = fopen(path, "rb");
    if (!f) {
        orbo_png_load_status = ORBO_PNG_BAD_SIZE;
        if (status) *status = ORBO_PNG_BAD_SIZE;
        return nullptr;
    }
    std::vector<unsigned char> bytes;
    bool ok = read_whole_file(f, &bytes);
    fclose(f);
    if (!ok) bytes.clear();
    return load_png_bytes(bytes.data(), bytes.size(), status, true);
}

kiln_bitmap_ptr create_label_from_file(const char* path)
{
    std::string_view p(path);
    FILE* f = fopen(path, "rb");
    if (!f) return nullptr;
    kiln_bitmap_ptr label;
    if (p.ends_with(".png")) {
        std::vector<unsigned char> bytes, rgba;
        if (read_whole_file(f, &bytes) && decode_cart_png(bytes.data(), bytes.size(), &rgba) == ORBO_PNG_OK)
            label = label_from_rgba(rgba);
    } else {
        label = label_from_text_cart(f);
    }
    fclose(f);
    return label;
}
