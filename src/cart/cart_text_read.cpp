// Reading the text cartridge. Malformed data never fails: missing or bad
// digits read as 0, extra characters and lines are ignored.
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "cart/cart_env.h"
#include "cart/cart_text.h"
#include "cart/glyphs.h"

namespace {

enum section { SEC_NONE, SEC_LUA, SEC_GFX, SEC_GFF, SEC_MAP, SEC_SFX, SEC_MUSIC, SEC_LABEL, SEC_COUNT };

struct section_header {
    const char* name;
    section sec;
};
const section_header k_headers[] = {
    {"__lua__", SEC_LUA}, {"__gfx__", SEC_GFX},     {"__gff__", SEC_GFF},     {"__map__", SEC_MAP},
    {"__sfx__", SEC_SFX}, {"__music__", SEC_MUSIC}, {"__label__", SEC_LABEL},
};

// Reads one line: up to a break (LF, CR or CR LF) or ORBO_TEXT_LINE_MAX bytes.
// Returns false at the end of the file; *complete is false for a final line
// that has no break.
bool read_line(FILE* f, std::string& line, bool* complete)
{
    line.clear();
    int c;
    while ((c = getc(f)) != EOF) {
        if (c == '\n') {
            *complete = true;
            return true;
        }
        if (c == '\r') {
            int d = getc(f);
            if (d != '\n' && d != EOF) ungetc(d, f);
            *complete = true;
            return true;
        }
        line += char(c);
        if (int(line.size()) == ORBO_TEXT_LINE_MAX) {
            *complete = true;
            return true;
        }
    }
    *complete = false;
    return !line.empty();
}

section header_of(std::string_view line)
{
    for (const auto& h : k_headers)
        if (line.starts_with(h.name)) return h.sec;
    return SEC_NONE;
}

int hex_at(std::string_view line, size_t i) { return i < line.size() ? hexchar2int(uint8_t(line[i])) : 0; }

int hexdigit_any_case(int c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A fixed-width hexadecimal field of either case: the leading digits inside
// the field; 0 when it starts with no digit or lies past the line's end.
int hex_field(std::string_view line, size_t col, size_t width)
{
    int v = 0;
    for (size_t i = col; i < col + width && i < line.size(); i++) {
        int d = hexdigit_any_case(uint8_t(line[i]));
        if (d < 0) break;
        v = v * 16 + d;
    }
    return v;
}

struct reader {
    orbo_cart* cart;
    int counter[SEC_COUNT] = {};
};

void read_gfx_line(orbo_cart* cart, std::string_view line, int row, kiln_bitmap& bm)
{
    for (int x = 0; x < 128; x++) cart_px(bm, x, row) = uint8_t(hex_at(line, size_t(x)));
}

void read_gff_line(orbo_cart* cart, std::string_view line, int n)
{
    for (int i = 0; i < 128; i++) {
        int v = cart->version >= 3 ? hex_at(line, size_t(2 * i)) * 16 + hex_at(line, size_t(2 * i + 1))
                                   : hex_at(line, size_t(i));
        cart->flags[n * 128 + i] = v;
    }
}

void read_map_line(orbo_cart* cart, std::string_view line, int row)
{
    for (int x = 0; x < 128; x++)
        cart_px(*cart->map, x, row) = uint8_t(hex_at(line, size_t(2 * x)) * 16 + hex_at(line, size_t(2 * x + 1)));
}

void read_sfx_line(orbo_cart* cart, std::string_view line, int n)
{
    orbo_sfx& s = cart->sfx[n];
    s.mode = hex_field(line, 0, 2);
    s.speed = hex_field(line, 2, 2);
    s.loop_start = hex_field(line, 4, 2);
    s.loop_end = hex_field(line, 6, 2);
    for (int i = 0; i < 32; i++) {
        size_t col = 8 + 5 * size_t(i);
        orbo_note& note = s.notes[i];
        note.pitch = hex_field(line, col, 2) & 63;
        int wave = hex_field(line, col + 2, 1), vol = hex_field(line, col + 3, 1), fx = hex_field(line, col + 4, 1);
        note.instrument = wave >= 8 || fx >= 8 ? 128 : 0;
        note.waveform = wave & 7;
        note.volume = vol & 7;
        note.effect = fx & 7;
    }
}

void read_music_line(orbo_cart* cart, std::string_view line, int p)
{
    size_t col = 0;
    if (cart->version >= 3) {
        cart->music_flags[p] = hex_field(line, 0, 2);
        col = 3;
    }
    for (int k = 0; k < 4; k++) {
        int v = hex_field(line, col + 2 * size_t(k), 2);
        if (cart->version <= 3 && v == 0) v = 0x41;
        cart->music[p][k] = v;
    }
}

void read_lua_line(orbo_cart* cart, std::string_view line)
{
    // A NUL ends the line's text: code never holds one.
    size_t nul = line.find('\0');
    if (nul != std::string_view::npos) line = line.substr(0, nul);
    if (cart->code.size() + line.size() >= ORBO_CODE_MAX) return;
    cart->code += convert_escaped_to_glyphs(line);
    cart->code += '\n';
}

void read_data_line(reader& r, section sec, std::string_view line)
{
    // The writer ends the music section with an empty line; read as data it
    // would turn the next pattern into four enabled channels of sfx 0. Empty
    // lines carry no sfx or pattern, so they are not data lines there.
    if (line.empty() && (sec == SEC_SFX || sec == SEC_MUSIC)) return;
    orbo_cart* cart = r.cart;
    int n = r.counter[sec]++;
    switch (sec) {
    case SEC_LUA: read_lua_line(cart, line); break;
    case SEC_GFX:
        if (n < 128) read_gfx_line(cart, line, n, *cart->gfx);
        break;
    case SEC_GFF:
        if (n < 2) read_gff_line(cart, line, n);
        break;
    case SEC_MAP:
        if (n < 64) read_map_line(cart, line, n);
        break;
    case SEC_SFX:
        if (n < 64) read_sfx_line(cart, line, n);
        break;
    case SEC_MUSIC:
        if (n < 64) read_music_line(cart, line, n);
        break;
    case SEC_LABEL:
        if (n < 128) {
            if (!cart->label) cart->label = kiln_create_bitmap(128, 128, 8);
            read_gfx_line(cart, line, n, *cart->label);
        }
        break;
    default: break;
    }
}

// The two diagonal lines that mark sprite 0 of a cartridge without graphics.
void draw_sprite0_mark(orbo_cart* cart)
{
    for (int i = 0; i < 4; i++) {
        cart_px(*cart->gfx, 2 + i, 2 + i) = 7;
        cart_px(*cart->gfx, 5 - i, 2 + i) = 7;
    }
}

// "version %d": the number after the word and any white space; 0 when the
// line does not match. Out-of-range numbers saturate.
int parse_version(const std::string& line)
{
    if (!std::string_view(line).starts_with("version")) return 0;
    const char* p = line.c_str() + 7;
    char* end = nullptr;
    long v = strtol(p, &end, 10);
    if (end == p) return 0;
    if (v > 1000000) return 1000000;
    if (v < -1000000) return -1000000;
    return int(v);
}

}  // namespace

int hexchar2int(int c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

orbo_cart_ptr orbo_load_cart(const char* path)
{
    FILE* f = fopen(path, "rb");
    if (!f) return nullptr;
    orbo_cart_ptr cart = orbo_load_cart_from_file(f);
    fclose(f);
    return cart;
}

orbo_cart_ptr orbo_load_cart_from_file(FILE* f)
{
    orbo_future_version = false;
    std::string line;
    bool complete = false;
    if (!f || !read_line(f, line, &complete) || !std::string_view(line).starts_with("orbo cartridge")) return nullptr;
    int version = read_line(f, line, &complete) ? parse_version(line) : 0;
    if (version > ORBO_CART_VERSION) {
        orbo_future_version = true;
        return nullptr;
    }
    orbo_cart_ptr cart = orbo_create_cart();
    cart->version = version;
    draw_sprite0_mark(cart.get());

    reader r{cart.get()};
    section current = SEC_NONE;
    while (read_line(f, line, &complete)) {
        if (!complete) break;  // a final line without a break is ignored
        section h = header_of(line);
        if (h != SEC_NONE)
            current = h;
        else if (current != SEC_NONE)
            read_data_line(r, current, line);
    }
    if (!cart->code.empty()) cart->code.pop_back();
    return cart;
}
