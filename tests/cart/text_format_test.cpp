#include <cstring>
#include <tuple>

#include "cart/cart_env.h"
#include "cart/glyphs.h"
#include "cart/legacy.h"
#include "cart/rom.h"
#include "test_util.h"

using namespace carttest;

namespace {
const std::string k_head = "orbo cartridge // https://hearthware.net/orbo\nversion 15\n";

std::vector<std::pair<std::string, int>> g_printed;
void capture_print(const char* text, int colour) { g_printed.emplace_back(text, colour); }

struct print_capture {
    print_capture()
    {
        g_printed.clear();
        orbo_cart_env_get().print = capture_print;
    }
    ~print_capture() { orbo_cart_env_get().print = nullptr; }
};

bool has_mark(const orbo_cart& c)
{
    for (int i = 0; i < 4; i++)
        if (cart_px(*c.gfx, 2 + i, 2 + i) != 7 || cart_px(*c.gfx, 5 - i, 2 + i) != 7) return false;
    return true;
}
}  // namespace

namespace {
orbo_cart* g_released = nullptr;
void note_release(orbo_cart* c) { g_released = c; }
}  // namespace

TEST(CartRecord, DestroyRunsReleaseHooksAndAcceptsNone)
{
    orbo_destroy_cart(nullptr);
    orbo_add_cart_release_hook(note_release);
    orbo_cart_ptr c = orbo_create_cart();
    orbo_cart* raw = c.get();
    c.reset();
    EXPECT_EQ(g_released, raw);
    orbo_remove_cart_release_hook(note_release);
}

TEST(CartRom, ByteLayoutOfEveryRegion)
{
    orbo_cart_ptr c = orbo_create_cart();
    cart_px(*c->gfx, 0, 0) = 5;
    cart_px(*c->gfx, 1, 0) = 2;
    EXPECT_EQ(orbo_rom_peek(c.get(), 0), 0x25);
    // The shared half: a write is seen by both the sprite sheet and the map.
    orbo_rom_poke(c.get(), 0x1000 + 130, 0x9c);
    EXPECT_EQ(cart_px(*c->map, 2, 33), 0x9c);
    EXPECT_EQ(cart_px(*c->gfx, 4, 64 + 2), 0xc);
    EXPECT_EQ(cart_px(*c->gfx, 5, 64 + 2), 0x9);
    orbo_rom_poke(c.get(), 0x2000 + 128 * 3 + 7, 201);
    EXPECT_EQ(cart_px(*c->map, 7, 3), 201);
    orbo_rom_poke(c.get(), 0x3005, 0x1ff);
    EXPECT_EQ(c->flags[5], 0xff);
    // Music: bit 7 of channel k's byte is flag bit k.
    orbo_rom_poke(c.get(), 0x3100 + 4 * 9 + 2, 0x85);
    EXPECT_EQ(c->music[9][2], 5);
    EXPECT_EQ(c->music_flags[9], 4);
    EXPECT_EQ(orbo_rom_peek(c.get(), 0x3100 + 4 * 9 + 2), 0x85);
    orbo_rom_poke(c.get(), 0x3100 + 4 * 9 + 2, 0x05);
    EXPECT_EQ(c->music_flags[9], 0);
    // Sfx note bytes: a byte write keeps the fields of the other byte.
    orbo_note& n = c->sfx[3].notes[4];
    n = {33, 6, 5, 3, 128};
    int lo = orbo_rom_peek(c.get(), 0x3200 + 68 * 3 + 8), hi = orbo_rom_peek(c.get(), 0x3200 + 68 * 3 + 9);
    EXPECT_EQ(lo | hi << 8, 33 | 6 << 6 | 5 << 9 | 3 << 12 | 1 << 15);
    orbo_rom_poke(c.get(), 0x3200 + 68 * 3 + 8, 0x01);  // pitch 1, waveform bits 0-1 = 0
    EXPECT_EQ(n.pitch, 1);
    EXPECT_EQ(n.waveform, 4);
    orbo_rom_poke(c.get(), 0x3200 + 68 * 3 + 9, 0x00);
    EXPECT_EQ(n.waveform, 0);
    EXPECT_EQ(n.instrument, 0);
    orbo_rom_poke(c.get(), 0x3200 + 68 * 63 + 67, 77);
    EXPECT_EQ(c->sfx[63].loop_end, 77);
    // Outside the ROM: reads 0, writes dropped.
    EXPECT_EQ(orbo_rom_peek(c.get(), 0x4300), 0);
    EXPECT_EQ(orbo_rom_peek(c.get(), -1), 0);
    orbo_rom_poke(c.get(), 0x4300, 1);
    orbo_rom_poke(c.get(), -5, 1);
    // A whole ROM copied byte by byte gives an equal ROM.
    uint8_t a[ORBO_ROM_SIZE], b[ORBO_ROM_SIZE];
    orbo_cart_to_rom(c.get(), a);
    orbo_cart_ptr d = orbo_create_cart();
    orbo_rom_to_cart(d.get(), a);
    orbo_cart_to_rom(d.get(), b);
    EXPECT_EQ(memcmp(a, b, sizeof a), 0);
}

TEST(CartRom, SharedHalfSync)
{
    orbo_cart_ptr c = orbo_create_cart();
    cart_px(*c->gfx, 0, 64) = 5;
    cart_px(*c->gfx, 1, 64) = 2;
    EXPECT_FALSE(orbo_cart_lower_map_used(c.get()));
    sync_shared_gfx_to_map(c.get());
    EXPECT_EQ(cart_px(*c->map, 0, 32), 0x25);
    cart_px(*c->map, 127, 63) = 0x7e;
    EXPECT_TRUE(orbo_cart_lower_map_used(c.get()));
    sync_shared_map_to_gfx(c.get());
    EXPECT_EQ(cart_px(*c->gfx, 126, 127), 0xe);
    EXPECT_EQ(cart_px(*c->gfx, 127, 127), 0x7);
}

TEST(CartText, HeaderOnlyGivesMarkedEmptyCartAndSavesWithoutGfx)
{
    orbo_cart_ptr c = load_text_string("orbo cartridge\nversion 15\n");
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->code.empty());
    EXPECT_TRUE(has_mark(*c));
    EXPECT_EQ(orbo_cart_to_text(c.get()), k_head + "__lua__\n\n");
    orbo_cart_ptr again = load_text_string(orbo_cart_to_text(c.get()));
    EXPECT_TRUE(has_mark(*again));
    // A file whose only non-zero pixels are the mark saves no gfx; one more
    // pixel writes rows up to it, mark included.
    cart_px(*c->gfx, 0, 9) = 1;
    std::string t = orbo_cart_to_text(c.get());
    ASSERT_NE(t.find("__gfx__\n"), std::string::npos);
    orbo_cart_ptr d = load_text_string(t);
    EXPECT_TRUE(has_mark(*d));
    EXPECT_EQ(cart_px(*d->gfx, 0, 9), 1);
    EXPECT_EQ(read_file(cart_path("mark_pixel.ob")), orbo_cart_to_text(load_text_string(read_file(cart_path("mark_pixel.ob"))).get()));
}

TEST(CartText, RejectsNonCartsAndFutureVersions)
{
    EXPECT_FALSE(load_text_string(""));
    EXPECT_FALSE(load_text_string("orbo cartridg\nversion 1\n"));
    EXPECT_FALSE(load_text_string(" orbo cartridge\n"));
    orbo_future_version = false;
    EXPECT_FALSE(orbo_load_cart(cart_path("future.ob").c_str()));
    EXPECT_TRUE(orbo_future_version);
    // The next read clears the indicator.
    EXPECT_TRUE(load_text_string("orbo cartridge\n"));
    EXPECT_FALSE(orbo_future_version);
    EXPECT_FALSE(orbo_load_cart("/nonexistent/dir/x.ob"));
    EXPECT_EQ(orbo_save_cart(orbo_create_cart().get(), "/nonexistent/dir/x.ob"), 1);
    // A missing or malformed version line reads as version 0.
    orbo_cart_ptr c = load_text_string("orbo cartridge\nversoin 99\n__lua__\nx\n");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->version, 0);
    EXPECT_EQ(c->code, "x");
    EXPECT_EQ(load_text_string("orbo cartridge\nversion  -3\n")->version, -3);
    EXPECT_FALSE(load_text_string("orbo cartridge\nversion 99999999999999\n"));
}

TEST(CartText, CanonicalCartsRoundTripExactly)
{
    for (const char* name : canonical_carts) {
        std::string original = read_file(cart_path(name));
        orbo_cart_ptr c = load_text_string(original);
        ASSERT_TRUE(c) << name;
        EXPECT_EQ(orbo_cart_to_text(c.get()), original) << name;
    }
}

TEST(CartText, FullCartFields)
{
    orbo_cart_ptr c = orbo_load_cart(cart_path("full.ob").c_str());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->version, 15);
    EXPECT_EQ(c->code.substr(0, 18), "-- full test cart\n");
    EXPECT_NE(c->code.find("\x80\x81\x82 x"), std::string::npos);
    EXPECT_NE(c->code.find("\x83\x8b\x8e\x91\x94"), std::string::npos);
    ASSERT_TRUE(c->label);
    EXPECT_EQ(cart_px(*c->label, 8, 0), 1);
    EXPECT_EQ(cart_px(*c->label, 127, 127), 14 + 0);
    // Instrument notes: a waveform digit of 8 or more sets the flag.
    int instruments = 0;
    for (auto& s : c->sfx)
        for (auto& n : s.notes) {
            EXPECT_LT(n.waveform, 8);
            instruments += n.instrument == 128;
        }
    EXPECT_GT(instruments, 0);
}

TEST(CartText, LineEndsRepeatedHeadersAndDigitCase)
{
    orbo_cart_ptr c = orbo_load_cart(cart_path("crlf_v15.ob").c_str());
    ASSERT_TRUE(c);
    // The second __lua__ continues the code; the second __gfx__ writes row 1.
    EXPECT_EQ(c->code, "a=1\nb=2");
    EXPECT_EQ(cart_px(*c->gfx, 0, 0), 1);
    EXPECT_EQ(cart_px(*c->gfx, 127, 0), 1);
    EXPECT_EQ(cart_px(*c->gfx, 63, 1), 2);
    // Upper-case digits read as 0 in __gfx__ and __map__...
    EXPECT_EQ((std::tuple{cart_px(*c->gfx, 64, 1), cart_px(*c->gfx, 65, 1), cart_px(*c->map, 0, 0),
                          cart_px(*c->map, 0, 1)}),
              (std::tuple{0, 0, 0, 0xff}));
    // ...and correctly in __sfx__.
    EXPECT_EQ((std::tuple{c->sfx[0].mode, c->sfx[0].speed, c->sfx[0].notes[31].pitch, c->sfx[0].notes[31].waveform,
                          c->sfx[0].notes[31].instrument, c->sfx[0].notes[31].effect}),
              (std::tuple{1, 0xab, 0x3f, 4, 128, 1}));
    // A final line without a break is ignored: map row 2 stays empty.
    EXPECT_EQ(cart_px(*c->map, 0, 2), 0);
}

TEST(CartText, UpperCaseInFlagsAndLabelReadZeroInMusicCorrect)
{
    std::string t = "orbo cartridge\nversion 15\n__gff__\nAB1f\n__label__\nF1\n__music__\n0A 1B2C3D0E\n";
    orbo_cart_ptr c = load_text_string(t);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->flags[0], 0);
    EXPECT_EQ(c->flags[1], 0x1f);
    ASSERT_TRUE(c->label);
    EXPECT_EQ((std::tuple{cart_px(*c->label, 0, 0), cart_px(*c->label, 1, 0), c->music_flags[0], c->music[0][0],
                          c->music[0][3]}),
              (std::tuple{0, 1, 0x0a, 0x1b, 0x0e}));
}

TEST(CartText, VersionTwoAndThreeMusicAndFlags)
{
    orbo_cart_ptr c = orbo_load_cart(cart_path("legacy_v2.ob").c_str());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->version, 2);
    EXPECT_EQ(c->flags[0], 3);
    EXPECT_EQ(c->flags[128], 15);
    // No flags byte; channel 00 reads as 0x41.
    EXPECT_EQ((std::tuple{c->music[0][0], c->music[0][1], c->music[0][3], c->music_flags[0]}),
              (std::tuple{0x41, 1, 3, 0}));
    orbo_cart_ptr v3 = load_text_string("orbo cartridge\nversion 3\n__music__\n05 00010203\n");
    EXPECT_EQ(v3->music_flags[0], 5);
    EXPECT_EQ(v3->music[0][0], 0x41);
    orbo_cart_ptr v4 = load_text_string("orbo cartridge\nversion 4\n__music__\n05 00010203\n");
    EXPECT_EQ(v4->music[0][0], 0);
}

TEST(CartText, UseRulesForSfxAndMusic)
{
    std::string original = read_file(cart_path("inuse.ob"));
    orbo_cart_ptr c = load_text_string(original);
    ASSERT_TRUE(c);
    EXPECT_EQ(orbo_cart_to_text(c.get()), original);
    // Trailing unused sfx and default patterns are not written, and a cart
    // with neither ends after its last section without an empty line.
    orbo_cart_ptr e = orbo_create_cart();
    e->code = "x";
    cart_px(*e->map, 3, 0) = 1;
    std::string t = orbo_cart_to_text(e.get());
    EXPECT_EQ(t.substr(t.size() - 3), "00\n");
    EXPECT_EQ(t.find("__sfx__"), std::string::npos);
    e->sfx[5].loop_start = 1;
    e->music[2][3] = 5;
    t = orbo_cart_to_text(e.get());
    EXPECT_NE(t.find("__sfx__\n"), std::string::npos);
    orbo_cart_ptr back = load_text_string(t);
    EXPECT_EQ(back->sfx[5].loop_start, 1);
    EXPECT_EQ(back->sfx[0].speed, 1);  // written lines keep sfx 0's own default
    EXPECT_EQ(back->music[2][3], 5);
    EXPECT_EQ(back->music[3][0], 0x41);
    EXPECT_EQ(t.substr(t.size() - 13), "00 41424305\n\n");
    // The empty line after the music is no pattern.
    EXPECT_EQ(back->music[3][1], 0x42);
    // Map rows 32..63 are never written: they travel in the sprite sheet.
    orbo_cart_ptr m = orbo_create_cart();
    cart_px(*m->map, 0, 40) = 9;
    EXPECT_EQ(orbo_cart_to_text(m.get()).find("__map__"), std::string::npos);
    // Out-of-range fields are clamped or masked in the file.
    m->sfx[1].speed = 300;
    m->sfx[1].notes[0] = {70, 9, 12, -1, 128};
    m->flags[7] = 0x1234;
    orbo_cart_ptr r = load_text_string(orbo_cart_to_text(m.get()));
    EXPECT_EQ((std::tuple{r->sfx[1].speed, r->sfx[1].notes[0].pitch, r->sfx[1].notes[0].waveform,
                          r->sfx[1].notes[0].volume, r->sfx[1].notes[0].effect, r->flags[7]}),
              (std::tuple{255, 70 & 63, 7, 7, 0, 0x34}));
}

TEST(CartText, Glyphs)
{
    orbo_cart_ptr c = orbo_load_cart(cart_path("glyphs.ob").c_str());
    ASSERT_TRUE(c);
    std::string expect = "s=\"";
    for (int i = 128; i < 154; i++) expect += char(i);
    expect += "\"\nt=\"\xf0\x9f\x85\xbe lone\" -- \xc3\xa9";
    EXPECT_EQ(c->code, expect);
    // Byte 142 is the 7-byte sequence of U+1F17E U+FE0F.
    EXPECT_EQ(convert_glyphs_to_escaped("\x8e"), "\xf0\x9f\x85\xbe\xef\xb8\x8f");
    EXPECT_EQ(convert_escaped_to_glyphs("\xf0\x9f\x85\xbe\xef\xb8\x8f"), "\x8e");
    EXPECT_EQ(convert_escaped_to_glyphs("\xf0\x9f\x85\xbe"), "\xf0\x9f\x85\xbe");
    EXPECT_EQ(convert_escaped_to_glyphs("\xe2\x96"), "\xe2\x96");  // a cut sequence stays
    EXPECT_EQ(convert_glyphs_to_escaped("a\x9a\xff"), "a\x9a\xff");  // not glyph bytes
    for (int i = 0; i < ORBO_GLYPH_COUNT; i++) {
        std::string one(1, char(128 + i));
        EXPECT_EQ(convert_escaped_to_glyphs(convert_glyphs_to_escaped(one)), one) << i;
    }
    // The lone sequence's 0x85 byte is a glyph byte in memory: the file gets
    // that glyph's sequence, which reads back to the same code.
    std::string saved = orbo_cart_to_text(c.get());
    EXPECT_NE(saved.find("\xf0\x9f\xe2\x9c\xbd\xbe lone"), std::string::npos);
    EXPECT_EQ(load_text_string(saved)->code, c->code);
}

TEST(CartText, CodeLimitAndLongLines)
{
    // Lines are added while code plus the raw line stays below 65536.
    std::string line(1000, 'x');
    std::string t = "orbo cartridge\nversion 15\n__lua__\n";
    for (int i = 0; i < 70; i++) t += line + "\n";
    t += "tail\n";
    orbo_cart_ptr c = load_text_string(t);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->code.size(), 65u * 1001 + 4);
    EXPECT_EQ(c->code.substr(c->code.size() - 4), "tail");
    // A line over the length limit is read as several lines.
    std::string huge = "orbo cartridge\nversion 15\n__gfx__\n" + std::string(ORBO_TEXT_LINE_MAX, '0') + "3\n";
    orbo_cart_ptr h = load_text_string(huge);
    ASSERT_TRUE(h);
    EXPECT_EQ(cart_px(*h->gfx, 0, 1), 3);
    // NUL bytes end a code line's text.
    std::string z = std::string("orbo cartridge\nversion 15\n__lua__\nab") + '\0' + "cd\nef\n";
    EXPECT_EQ(load_text_string(z)->code, "ab\nef");
}

TEST(CartText, SectionLineLimits)
{
    std::string t = "orbo cartridge\nversion 15\n__gff__\n01\n02\n03\n__music__\n";
    for (int p = 0; p < 70; p++) t += "00 01020304\n";
    t += "__sfx__\n";
    for (int n = 0; n < 70; n++) t += "00050000\n";
    orbo_cart_ptr c = load_text_string(t);
    EXPECT_EQ((std::tuple{c->flags[0], c->flags[128], c->music[63][0], c->sfx[63].speed}),
              (std::tuple{1, 2, 1, 5}));
    // Lines before the first header are ignored.
    EXPECT_EQ(load_text_string("orbo cartridge\nversion 15\nhello\n__lua__\nx\n")->code, "x");
}

TEST(CartLegacy, VersionFourConversions)
{
    print_capture cap;
    orbo_cart_ptr c = orbo_load_cart(cart_path("legacy_v4.ob").c_str());
    ASSERT_TRUE(c);
    apply_legacy_changes(c.get());
    EXPECT_EQ(c->version, 15);
    // Pattern 0 has no non-looping channel of the longest length: unchanged.
    EXPECT_EQ(c->music[0][0], 0);
    EXPECT_EQ(c->music[0][1], 2);
    // Pattern 1: channel 1 (speed 9) is longer than channel 0 (speed 4).
    EXPECT_EQ(c->music[1][0], 1);
    EXPECT_EQ(c->music[1][1], 0);
    // Loud noise is softened, quieter noise is kept.
    EXPECT_EQ(c->sfx[0].notes[0].volume, 5);
    EXPECT_EQ(c->sfx[0].notes[1].volume, 5);
    EXPECT_EQ(c->sfx[0].notes[2].volume, 4);
    // The silent slide is dropped (no newer features).
    EXPECT_EQ(c->sfx[0].notes[3].effect, 0);
    EXPECT_EQ(c->code.substr(0, strlen(orbo_legacy_api_block)), orbo_legacy_api_block);
    EXPECT_EQ(strlen(orbo_legacy_api_block), 1270u);
    ASSERT_EQ(g_printed.size(), 2u);
    EXPECT_EQ(g_printed[0].first, "legacy: pat 1 swap chan: 0 1");
    EXPECT_EQ(g_printed[1].first, "legacy: 0.1.1 api injected");
}

TEST(CartLegacy, NewerFeaturesKeepSlidesAndNewVersionsAreUntouched)
{
    orbo_cart_ptr c = orbo_load_cart(cart_path("legacy_v10.ob").c_str());
    apply_legacy_changes(c.get());
    EXPECT_EQ(c->sfx[0].notes[0].effect, 1);
    EXPECT_EQ(c->sfx[0].notes[1].instrument, 128);
    // Version 11: no step runs, not even the trigger or the slide rule.
    std::string t = read_file(cart_path("legacy_v4.ob"));
    t.replace(t.find("version 4"), 9, "version 11");
    orbo_cart_ptr n = load_text_string(t);
    apply_legacy_changes(n.get());
    EXPECT_EQ(n->sfx[0].notes[0].volume, 7);
    EXPECT_EQ(n->sfx[0].notes[3].effect, 1);
    EXPECT_EQ(n->music[1][0], 0);
    EXPECT_EQ(n->code.find("legacy"), std::string::npos);
    // Version 7: slides go, the old-API rules do not apply.
    t.replace(t.find("version 11"), 10, "version 7");
    orbo_cart_ptr s = load_text_string(t);
    apply_legacy_changes(s.get());
    EXPECT_EQ(s->sfx[0].notes[3].effect, 0);
    EXPECT_EQ(s->sfx[0].notes[0].volume, 7);
}

TEST(CartText, HostileFilesNeverFault)
{
    std::string full = read_file(cart_path("full.ob"));
    // Every truncation loads (or is refused before the version line).
    for (size_t cut = 0; cut < full.size(); cut += 37) {
        orbo_cart_ptr c = load_text_string(full.substr(0, cut));
        if (cut >= 15) {
            ASSERT_TRUE(c) << cut;
            EXPECT_LE(c->code.size(), 65535u);
        }
    }
    // Random corruption: whatever loads saves and loads back to the same text.
    std::mt19937 rng(99);
    for (int i = 0; i < 300; i++) {
        std::string bad = full;
        for (int k = 0; k < 20; k++) bad[15 + rng() % (bad.size() - 15)] = char(rng());
        orbo_cart_ptr c = load_text_string(bad);
        ASSERT_TRUE(c);
        std::string t = orbo_cart_to_text(c.get());
        EXPECT_EQ(orbo_cart_to_text(load_text_string(t).get()), t);
    }
    // Oversized: many sections, huge code and data lines.
    std::string big = "orbo cartridge\nversion 15\n";
    for (int i = 0; i < 20; i++) big += "__lua__\n" + std::string(30000, 'q') + "\n__gfx__\n" + std::string(500, 'f') + "\n";
    orbo_cart_ptr c = load_text_string(big);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->code.size(), 60001u);
    EXPECT_EQ(cart_px(*c->gfx, 127, 19), 15);
}
