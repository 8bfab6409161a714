// The data file the build assembles beside the executable.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "platform/font.h"
#include "platform/log.h"
#include "platform/pod.h"

namespace {
struct data_file {
    kiln_pod_ptr data, res, font_pod;
    kiln_font_ptr font;
};

data_file load_data()
{
    data_file d;
    kiln_log_set_stdout(false);
    d.data = kiln_load_pod(ORBO_BINARY_DIR "/data.pod");
    kiln_log_set_stdout(true);
    if (!d.data) return d;
    if (const kiln_file* f = kiln_pod_file(d.data.get(), 1))
        d.res = kiln_load_pod_memory(f->bytes.data(), f->bytes.size());
    if (const kiln_file* f = kiln_pod_file(d.data.get(), 2))
        d.font_pod = kiln_load_pod_memory(f->bytes.data(), f->bytes.size());
    d.font = kiln_load_font(d.font_pod.get());
    return d;
}

int luma(const kiln_palette& p, int i) { return 3 * p.rgb[3 * i] + 6 * p.rgb[3 * i + 1] + p.rgb[3 * i + 2]; }
}  // namespace

TEST(DataPod, ItemsAreTheBootCartTheResourcesAndTheFont)
{
    data_file d = load_data();
    ASSERT_TRUE(d.data) << "build the data_pod target";
    ASSERT_GE(kiln_pod_count(d.data.get()), 4);  // item 3: the head cart, a 32 KiB image
    ASSERT_TRUE(kiln_pod_file(d.data.get(), 3));
    EXPECT_EQ(kiln_pod_file(d.data.get(), 3)->bytes.size(), 0x8000u);
    const kiln_file* cart = kiln_pod_file(d.data.get(), 0);
    ASSERT_TRUE(cart);
    std::string text(cart->bytes.begin(), cart->bytes.end());
    EXPECT_EQ(text.rfind("orbo cartridge", 0), 0u);
    EXPECT_NE(text.find("\nversion 15\n"), std::string::npos);
    // sfx 0 holds the chime: its first note sounds.
    size_t sfx = text.find("\n__sfx__\n");
    ASSERT_NE(sfx, std::string::npos);
    std::string line = text.substr(sfx + 9, text.find('\n', sfx + 9) - sfx - 9);
    ASSERT_EQ(line.size(), 168u);
    EXPECT_NE(line[8 + 3], '0');  // volume of note 0
    EXPECT_EQ(text.back(), '\n');  // a last line without a break would be lost
    ASSERT_TRUE(d.res);
    ASSERT_TRUE(d.font_pod);
}

TEST(DataPod, PaletteHasTheConsoleColoursInTheirRoles)
{
    data_file d = load_data();
    const kiln_palette* pal = kiln_pod_palette(d.res.get(), 1);
    ASSERT_TRUE(pal);
    EXPECT_EQ(memcmp(pal->rgb + 16 * 3, pal->rgb, 3), 0);
    auto rgb = [&](int i) { return uint32_t(pal->rgb[3 * i] << 16 | pal->rgb[3 * i + 1] << 8 | pal->rgb[3 * i + 2]); };
    std::set<uint32_t> console, extended;
    for (int i = 0; i < 16; i++) {
        console.insert(rgb(i));
        extended.insert(rgb(128 + i));
        EXPECT_LE(luma(*pal, 0), luma(*pal, i));  // 0 is the darkest
        EXPECT_GE(luma(*pal, 7), luma(*pal, i));  // 7 the brightest
    }
    EXPECT_EQ(console.size() + extended.size(), 32u);
    EXPECT_GT(pal->rgb[3 * 8], 2 * pal->rgb[3 * 8 + 1]);  // 8 is a red
    EXPECT_GT(luma(*pal, 6), luma(*pal, 5));
}

TEST(DataPod, ResourcesSitAtTheirItemNumbers)
{
    data_file d = load_data();
    const kiln_pod* res = d.res.get();
    ASSERT_TRUE(res);
    auto small_8bit = [&](int item, int w, int h) {
        const kiln_bitmap* bm = kiln_pod_bitmap(res, item);
        ASSERT_TRUE(bm) << item;
        EXPECT_EQ(bm->depth, 8) << item;
        if (w) {
            EXPECT_EQ(bm->w, w) << item;
            EXPECT_EQ(bm->h, h) << item;
        }
        int ink = 0;
        for (uint8_t p : bm->pixels) {
            EXPECT_LT(p, 16) << item;
            ink += p != 0;
        }
        EXPECT_GT(ink, 0) << item;
    };
    small_8bit(2, 40, 10);
    for (int i = 212; i <= 223; i++) small_8bit(i, 12, 12);
    small_8bit(226, 0, 0);
    small_8bit(227, 0, 0);
    small_8bit(245, 7, 7);
    const kiln_file* title = kiln_pod_file(res, 4);
    ASSERT_TRUE(title);
    EXPECT_EQ(std::string(title->bytes.begin(), title->bytes.end()), "orbo");
    const kiln_bitmap* icon = kiln_pod_bitmap(res, 6);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->depth, 32);
    EXPECT_EQ(icon->w, 32);
    // The animation frames all differ.
    for (int i = 213; i <= 223; i++)
        EXPECT_NE(kiln_pod_bitmap(res, i)->pixels, kiln_pod_bitmap(res, i - 1)->pixels);
}

TEST(DataPod, FontGlyphsFitTheirCells)
{
    data_file d = load_data();
    const kiln_font* font = d.font.get();
    ASSERT_TRUE(font);
    EXPECT_LE(font->first, 32);
    EXPECT_GE(font->last, 153);
    std::set<std::vector<uint8_t>> shapes;
    for (int c = 32; c <= 153; c++) {
        const kiln_bitmap* g = kiln_font_glyph(font, c);
        ASSERT_TRUE(g) << c;
        EXPECT_LE(g->h, 5) << c;
        EXPECT_LE(g->w, c < 128 ? 3 : 7) << c;
        int ink = 0;
        for (uint8_t p : g->pixels) ink += p != 0;
        EXPECT_EQ(ink == 0, c == 32) << c;  // only space is blank
        if (c > 32 && c != 127) {
            EXPECT_TRUE(shapes.insert(g->pixels).second) << "glyph " << c << " repeats";
        }
    }
    // Console lines are 6 pixels apart and 32 characters fill 128 pixels.
    EXPECT_EQ(kiln_draw_text_ex(nullptr, "Ag\nAg", font, 0, 0, 1, 7), 6);
    kiln_bitmap_ptr screen = kiln_create_bitmap(128, 128, 8);
    EXPECT_EQ(kiln_draw_text_ex(screen.get(), std::string(32, 'W').c_str(), font, 0, 0, 17, 7), 0);
    EXPECT_EQ(kiln_draw_text_ex(screen.get(), std::string(33, 'W').c_str(), font, 0, 0, 17, 7), 6);
    EXPECT_EQ(kiln_draw_text_ex(screen.get(), std::string(16, char(128)).c_str(), font, 0, 20, 17, 7), 20);
}
