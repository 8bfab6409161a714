// Writing the text cartridge. Only what differs from an empty cartridge is
// written: trailing blank rows, unused sfx and default patterns are left out.
#include <algorithm>
#include <cstdio>
#include <string>

#include "cart/cart_text.h"
#include "cart/file_util.h"
#include "cart/glyphs.h"

namespace {

const char k_header_line[] = "orbo cartridge // https://hearthware.net/orbo\n";
const char k_hex[] = "0123456789abcdef";

int clamp(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

bool is_mark_pixel(int x, int y) { return (x >= 2 && x <= 5 && y >= 2 && y <= 5) && (x == y || x + y == 7); }

void append_hex2(std::string& out, int v)
{
    out += k_hex[(v >> 4) & 15];
    out += k_hex[v & 15];
}

void append_pixel_row(std::string& out, const kiln_bitmap& bm, int y)
{
    for (int x = 0; x < 128; x++) out += k_hex[std::min<int>(cart_px(bm, x, y), 15)];
    out += '\n';
}

int last_gfx_row(const orbo_cart* cart)
{
    for (int y = 127; y >= 0; y--)
        for (int x = 0; x < 128; x++) {
            int v = cart_px(*cart->gfx, x, y);
            if (v != 0 && !(v == 7 && is_mark_pixel(x, y))) return y;
        }
    return -1;
}

bool label_used(const orbo_cart* cart)
{
    const kiln_bitmap* l = cart->label.get();
    if (!l || l->w != 128 || l->h != 128) return false;
    return std::any_of(l->pixels.begin(), l->pixels.end(), [](uint8_t v) { return v != 0; });
}

int last_map_row(const orbo_cart* cart)
{
    for (int y = 31; y >= 0; y--)
        for (int x = 0; x < 128; x++)
            if (cart_px(*cart->map, x, y)) return y;
    return -1;
}

bool sfx_in_use(const orbo_sfx& s, int n)
{
    if (s.mode || s.speed != orbo_default_sfx_speed(n) || s.loop_start || s.loop_end) return true;
    for (const orbo_note& note : s.notes)
        if (note.pitch || note.waveform || note.volume || note.effect || note.instrument) return true;
    return false;
}

bool pattern_default(const orbo_cart* cart, int p)
{
    if (cart->music_flags[p]) return false;
    for (int k = 0; k < 4; k++)
        if (cart->music[p][k] != orbo_default_channel(k)) return false;
    return true;
}

void write_sfx(std::string& out, const orbo_sfx& s)
{
    for (int v : {s.mode, s.speed, s.loop_start, s.loop_end}) append_hex2(out, clamp(v, 0, 255));
    for (const orbo_note& n : s.notes) {
        append_hex2(out, n.pitch & 0xff);
        out += k_hex[clamp(n.waveform, 0, 7) + (n.instrument ? 8 : 0)];
        out += k_hex[clamp(n.volume, 0, 7)];
        out += k_hex[clamp(n.effect, 0, 7)];
    }
    out += '\n';
}

}  // namespace

std::string orbo_cart_to_text(const orbo_cart* cart)
{
    std::string out = k_header_line;
    out += "version " + std::to_string(ORBO_CART_VERSION) + "\n";
    out += "__lua__\n";
    out += convert_glyphs_to_escaped(cart->code);
    out += '\n';

    int last = last_gfx_row(cart);
    if (last >= 0) {
        out += "__gfx__\n";
        for (int y = 0; y <= last; y++) append_pixel_row(out, *cart->gfx, y);
    }
    if (label_used(cart)) {
        out += "__label__\n";
        for (int y = 0; y < 128; y++) append_pixel_row(out, *cart->label, y);
        out += '\n';
    }
    if (std::any_of(std::begin(cart->flags), std::end(cart->flags), [](int32_t f) { return f != 0; })) {
        out += "__gff__\n";
        for (int line = 0; line < 2; line++) {
            for (int i = 0; i < 128; i++) append_hex2(out, cart->flags[line * 128 + i] & 0xff);
            out += '\n';
        }
    }
    last = last_map_row(cart);
    if (last >= 0) {
        out += "__map__\n";
        for (int y = 0; y <= last; y++) {
            for (int x = 0; x < 128; x++) append_hex2(out, cart_px(*cart->map, x, y));
            out += '\n';
        }
    }
    last = -1;
    for (int n = 0; n < 64; n++)
        if (sfx_in_use(cart->sfx[n], n)) last = n;
    if (last >= 0) {
        out += "__sfx__\n";
        for (int n = 0; n <= last; n++) write_sfx(out, cart->sfx[n]);
    }
    last = -1;
    for (int p = 0; p < 64; p++)
        if (!pattern_default(cart, p)) last = p;
    if (last >= 0) {
        out += "__music__\n";
        for (int p = 0; p <= last; p++) {
            append_hex2(out, cart->music_flags[p] & 0xff);
            out += ' ';
            for (int k = 0; k < 4; k++) append_hex2(out, cart->music[p][k] & 0xff);
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

int orbo_save_cart_to_file(const orbo_cart* cart, FILE* file)
{
    std::string text = orbo_cart_to_text(cart);
    if (fwrite(text.data(), 1, text.size(), file) != text.size()) return 1;
    return fflush(file) == 0 && !ferror(file) ? 0 : 1;
}

int orbo_save_cart(const orbo_cart* cart, const char* path)
{
    std::string text = orbo_cart_to_text(cart);
    return kiln_write_file_atomic(path, text.data(), text.size()) ? 0 : 1;
}
