// Readers of the asset sources. All are line-based text; '#' starts a
// comment line only where the format does not use '#' as a pixel.
//
// Palette ("palette.txt"): lines "INDEX #RRGGBB [name]" set one entry;
// "INDEX = FROM" copies an entry; "repeat LO HI FROM" sets entries LO..HI to
// FROM + (i - LO) mod 16. Entries not set are the grey (i, i, i). Blank
// lines and lines starting with "//" are ignored.
//
// Art ("*.art"): images, each a header line "image NAME WIDTH HEIGHT DEPTH",
// optional "key C VALUE" lines (C a pixel character, VALUE hex: a palette
// index for depth 8, AARRGGBB for depth 32), then exactly HEIGHT rows of
// WIDTH characters. Depth 8 has default keys: '.' is 0 and the hex digits
// 0-9 a-f are their value. Depth 32 has '.' as transparent black.
//
// Font ("font.txt"): a line "font FIRST LAST SPACING", then per character
// "glyph CODE [comment]" followed by its rows ('#' ink, '.' paper, all rows
// the same width). Codes without a glyph are left out of the font.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "podbuild.h"

namespace {
struct line_reader {
    std::ifstream in;
    std::string path;
    int number = 0;
    std::string line;

    bool next()
    {
        if (!std::getline(in, line)) return false;
        number++;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    bool fail(std::string* err, const std::string& what) const
    {
        *err = path + ":" + std::to_string(number) + ": " + what;
        return false;
    }
};

bool open_source(line_reader* r, const std::string& path, std::string* err)
{
    r->in.open(path);
    r->path = path;
    if (!r->in) {
        *err = path + ": cannot open";
        return false;
    }
    return true;
}

bool is_blank_or_comment(const std::string& line)
{
    size_t i = line.find_first_not_of(" \t");
    return i == std::string::npos || line.compare(i, 2, "//") == 0;
}

bool parse_hex(const std::string& s, uint32_t* v)
{
    if (s.empty() || s.size() > 8) return false;
    char* end = nullptr;
    unsigned long x = strtoul(s.c_str(), &end, 16);
    if (*end) return false;
    *v = uint32_t(x);
    return true;
}
}  // namespace

bool read_palette_source(const std::string& path, kiln_palette* out, std::string* err)
{
    line_reader r;
    if (!open_source(&r, path, err)) return false;
    for (int i = 0; i < 256; i++) out->rgb[3 * i] = out->rgb[3 * i + 1] = out->rgb[3 * i + 2] = uint8_t(i);
    auto copy = [&](int to, int from) { memcpy(out->rgb + 3 * to, out->rgb + 3 * from, 3); };
    while (r.next()) {
        if (is_blank_or_comment(r.line)) continue;
        std::istringstream ls(r.line);
        std::string a, b, c;
        ls >> a >> b;
        if (a == "repeat") {
            int lo = atoi(b.c_str()), hi = -1, from = -1;
            ls >> hi >> from;
            if (lo < 0 || hi > 255 || lo > hi || from < 0 || from + 15 > 255)
                return r.fail(err, "bad repeat");
            for (int i = lo; i <= hi; i++) copy(i, from + (i - lo) % 16);
            continue;
        }
        int index = atoi(a.c_str());
        if (a.empty() || a.find_first_not_of("0123456789") != std::string::npos || index > 255)
            return r.fail(err, "bad index '" + a + "'");
        if (b == "=") {
            ls >> c;
            int from = atoi(c.c_str());
            if (c.empty() || from < 0 || from > 255) return r.fail(err, "bad copy");
            copy(index, from);
            continue;
        }
        uint32_t rgb;
        if (b.size() != 7 || b[0] != '#' || !parse_hex(b.substr(1), &rgb))
            return r.fail(err, "expected #RRGGBB");
        out->rgb[3 * index] = uint8_t(rgb >> 16);
        out->rgb[3 * index + 1] = uint8_t(rgb >> 8);
        out->rgb[3 * index + 2] = uint8_t(rgb);
    }
    return true;
}

bool read_art_source(const std::string& path, std::vector<kiln_bitmap_ptr>* out, std::string* err)
{
    line_reader r;
    if (!open_source(&r, path, err)) return false;
    while (r.next()) {
        if (is_blank_or_comment(r.line)) continue;
        std::istringstream ls(r.line);
        std::string word, name;
        int w = 0, h = 0, depth = 0;
        ls >> word >> name >> w >> h >> depth;
        if (word != "image") return r.fail(err, "expected 'image NAME W H DEPTH'");
        kiln_bitmap_ptr bm = kiln_create_bitmap(w, h, depth);
        if (!bm) return r.fail(err, "bad image size or depth");
        std::map<char, uint32_t> keys;
        keys['.'] = 0;
        if (depth == 8)
            for (int v = 0; v < 16; v++) keys["0123456789abcdef"[v]] = uint32_t(v);
        int y = 0;
        while (y < h && r.next()) {
            if (r.line.compare(0, 4, "key ") == 0) {
                uint32_t v;
                if (r.line.size() < 7 || r.line[5] != ' ' || !parse_hex(r.line.substr(6), &v))
                    return r.fail(err, "expected 'key C HEX'");
                keys[r.line[4]] = v;
                continue;
            }
            if (int(r.line.size()) != w) return r.fail(err, "row is not " + std::to_string(w) + " wide");
            for (int x = 0; x < w; x++) {
                auto k = keys.find(r.line[size_t(x)]);
                if (k == keys.end()) return r.fail(err, std::string("no key for '") + r.line[size_t(x)] + "'");
                if (depth == 8) {
                    if (k->second > 255) return r.fail(err, "8-bit value above 255");
                    bm->row(y)[x] = uint8_t(k->second);
                } else {
                    bm->row32(y)[x] = k->second;
                }
            }
            y++;
        }
        if (y < h) return r.fail(err, "image '" + name + "' has too few rows");
        out->push_back(std::move(bm));
    }
    return true;
}

bool read_font_source(const std::string& path, kiln_font* out, std::string* err)
{
    line_reader r;
    if (!open_source(&r, path, err)) return false;
    std::vector<std::vector<std::string>> rows;
    int current = -1;
    auto finish = [&](line_reader& at) {
        if (current < 0) return true;
        std::vector<std::string>& g = rows[size_t(current - out->first)];
        if (g.empty()) return at.fail(err, "glyph " + std::to_string(current) + " has no rows");
        for (const std::string& row : g)
            if (row.size() != g[0].size()) return at.fail(err, "glyph " + std::to_string(current) + " rows differ in width");
        return true;
    };
    bool have_header = false;
    while (r.next()) {
        if (is_blank_or_comment(r.line)) continue;
        std::istringstream ls(r.line);
        std::string word;
        ls >> word;
        if (word == "font") {
            ls >> out->first >> out->last >> out->spacing;
            if (out->first < 0 || out->last > 255 || out->first > out->last || out->spacing < 0)
                return r.fail(err, "bad font range");
            rows.assign(size_t(out->last - out->first + 1), {});
            have_header = true;
        } else if (word == "glyph") {
            if (!have_header) return r.fail(err, "glyph before the font line");
            if (!finish(r)) return false;
            int code = -1;
            ls >> code;
            if (code < out->first || code > out->last) return r.fail(err, "glyph code outside the font");
            if (!rows[size_t(code - out->first)].empty()) return r.fail(err, "glyph defined twice");
            current = code;
        } else if (r.line.find_first_not_of(".#") == std::string::npos && current >= 0) {
            rows[size_t(current - out->first)].push_back(r.line);
        } else {
            return r.fail(err, "unexpected line");
        }
    }
    if (!have_header) return r.fail(err, "no font line");
    if (!finish(r)) return false;
    out->glyphs.clear();
    out->height = 0;
    for (const std::vector<std::string>& g : rows) {
        kiln_bitmap_ptr bm;
        if (!g.empty()) {
            bm = kiln_create_bitmap(int(g[0].size()), int(g.size()), 8);
            if (!bm) return r.fail(err, "empty glyph row");
            for (size_t y = 0; y < g.size(); y++)
                for (size_t x = 0; x < g[y].size(); x++) bm->row(int(y))[x] = g[y][x] == '#';
            out->height = std::max(out->height, bm->h);
        }
        out->glyphs.push_back(std::move(bm));
    }
    return true;
}
