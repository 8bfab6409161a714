// The readers podbuild assembles data.pod with.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <tuple>

#include "podbuild.h"

namespace {
std::string scratch_dir()
{
    std::string dir = testing::TempDir() + "podbuild_test_" + std::to_string(getpid()) + "/";
    mkdir(dir.c_str(), 0755);
    return dir;
}

std::string write(const std::string& dir, const std::string& name, const std::string& text)
{
    std::ofstream(dir + name) << text;
    return dir + name;
}
}  // namespace

TEST(Podbuild, PaletteEntriesCopiesAndRepeats)
{
    std::string dir = scratch_dir();
    kiln_palette pal;
    std::string err;
    ASSERT_TRUE(read_palette_source(write(dir, "p.txt",
        "// comment\n0 #102030 black\n1 #ffffff\n\n2 = 1\nrepeat 16 40 0\n"), &pal, &err)) << err;
    EXPECT_EQ((std::tuple{pal.rgb[0], pal.rgb[2], pal.rgb[6], memcmp(pal.rgb + 16 * 3, pal.rgb, 3),
                          memcmp(pal.rgb + 18 * 3, pal.rgb + 2 * 3, 3)}),
              (std::tuple{0x10, 0x30, 0xff, 0, 0}));
    EXPECT_EQ(memcmp(pal.rgb + 32 * 3, pal.rgb, 3), 0);   // 16 + 16 wraps to 0
    EXPECT_EQ(pal.rgb[3 * 200], 200);                      // untouched: grey
    EXPECT_FALSE(read_palette_source(write(dir, "q.txt", "0 #12345\n"), &pal, &err));
    EXPECT_NE(err.find("q.txt:1:"), std::string::npos);
    EXPECT_FALSE(read_palette_source(write(dir, "r.txt", "300 #123456\n"), &pal, &err));
    EXPECT_FALSE(read_palette_source(write(dir, "s.txt", "repeat 250 255 250\n"), &pal, &err));
    EXPECT_FALSE(read_palette_source(dir + "missing.txt", &pal, &err));
}

TEST(Podbuild, ArtImagesWithDefaultAndExplicitKeys)
{
    std::string dir = scratch_dir();
    std::vector<kiln_bitmap_ptr> images;
    std::string err;
    ASSERT_TRUE(read_art_source(write(dir, "a.art",
        "image one 3 2 8\nkey x 20\n.1f\nx..\n\nimage two 2 1 32\nkey w ff112233\nw.\n"),
        &images, &err)) << err;
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ((std::tuple{images[0]->row(0)[1], images[0]->row(0)[2], images[0]->row(1)[0], images[1]->depth,
                          images[1]->row32(0)[0], images[1]->row32(0)[1]}),
              (std::tuple{1, 15, 0x20, 32, 0xff112233u, 0u}));
    images.clear();
    EXPECT_FALSE(read_art_source(write(dir, "b.art", "image x 2 2 8\n..\n"), &images, &err));
    EXPECT_NE(err.find("too few rows"), std::string::npos);
    EXPECT_FALSE(read_art_source(write(dir, "c.art", "image x 2 1 8\n.z\n"), &images, &err));
    EXPECT_FALSE(read_art_source(write(dir, "d.art", "image x 2 1 8\nkey z 100\nz.\n"), &images, &err));
    EXPECT_FALSE(read_art_source(write(dir, "e.art", "image x 0 1 8\n"), &images, &err));
    EXPECT_FALSE(read_art_source(write(dir, "f.art", "picture x 1 1 8\n.\n"), &images, &err));
}

TEST(Podbuild, FontSourceGivesGlyphBitmaps)
{
    std::string dir = scratch_dir();
    kiln_font font;
    std::string err;
    ASSERT_TRUE(read_font_source(write(dir, "f.txt",
        "font 65 67 1\nglyph 65 A\n.#.\n#.#\n\nglyph 67\n#\n"), &font, &err)) << err;
    ASSERT_TRUE(kiln_font_glyph(&font, 'A'));
    EXPECT_EQ(kiln_font_glyph(&font, 'A')->w, 3);
    EXPECT_EQ(kiln_font_glyph(&font, 'A')->row(0)[1], 1);
    EXPECT_FALSE(kiln_font_glyph(&font, 'B'));  // no glyph given: left out
    EXPECT_EQ(kiln_font_glyph(&font, 'C')->h, 1);
    EXPECT_EQ(font.height, 2);
    EXPECT_FALSE(read_font_source(write(dir, "g.txt", "font 65 66 1\nglyph 65\n.#\n#\n"), &font, &err));
    EXPECT_NE(err.find("differ in width"), std::string::npos);
    EXPECT_FALSE(read_font_source(write(dir, "h.txt", "font 65 66 1\nglyph 70\n#\n"), &font, &err));
    EXPECT_FALSE(read_font_source(write(dir, "i.txt", "glyph 65\n#\n"), &font, &err));
    EXPECT_FALSE(read_font_source(write(dir, "j.txt", "font 65 66 1\nglyph 65\n#\nglyph 65\n#\n"), &font, &err));
    EXPECT_FALSE(read_font_source(write(dir, "k.txt", "font 65 66 1\nglyph 65\n"), &font, &err));
}

TEST(Podbuild, ManifestKeepsItemNumbersAndNestsPods)
{
    std::string dir = scratch_dir();
    write(dir, "blob.bin", "BLOB");
    write(dir, "pal.txt", "7 #010203\n");
    write(dir, "inner.txt", "pod inner\n2 palette pal.txt\n");
    write(dir, "font.txt", "font 32 33 1\nglyph 33\n#\n");
    std::string out_dir = dir + "out/";
    mkdir(out_dir.c_str(), 0755);
    write(out_dir, "gen.bin", "GEN");
    std::string m = write(dir, "m.txt",
        "pod outer\ncompress\n0 file blob.bin\n2 text hello  world\n3 pod inner.txt\n"
        "4 font font.txt\n5 file @gen.bin head\n");
    set_manifest_output(out_dir + "x.pod");
    kiln_pod_ptr pod = kiln_create_pod();
    bool compress = false;
    std::vector<std::string> deps;
    std::string err;
    ASSERT_TRUE(build_manifest(m, pod.get(), &compress, &deps, &err)) << err;
    EXPECT_TRUE(compress);
    EXPECT_EQ(pod->name, "outer");
    ASSERT_EQ(kiln_pod_count(pod.get()), 6);
    EXPECT_EQ(kiln_pod_file(pod.get(), 0)->name, "blob.bin");
    EXPECT_TRUE(kiln_pod_file(pod.get(), 1)->bytes.empty());  // placeholder
    const std::vector<uint8_t>& hello = kiln_pod_file(pod.get(), 2)->bytes;
    EXPECT_EQ(std::string(hello.begin(), hello.end()), "hello  world");
    const kiln_file* inner_bytes = kiln_pod_file(pod.get(), 3);
    kiln_pod_ptr inner = kiln_load_pod_memory(inner_bytes->bytes.data(), inner_bytes->bytes.size());
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->name, "inner");
    ASSERT_TRUE(kiln_pod_palette(inner.get(), 2));
    EXPECT_EQ(kiln_pod_palette(inner.get(), 2)->rgb[21], 1);
    const kiln_file* font_bytes = kiln_pod_file(pod.get(), 4);
    kiln_pod_ptr font_pod = kiln_load_pod_memory(font_bytes->bytes.data(), font_bytes->bytes.size());
    kiln_font_ptr font = kiln_load_font(font_pod.get());
    ASSERT_TRUE(font);
    EXPECT_TRUE(kiln_font_glyph(font.get(), 33));
    EXPECT_FALSE(kiln_font_glyph(font.get(), 32));
    EXPECT_EQ(kiln_pod_file(pod.get(), 5)->name, "head");
    EXPECT_NE(std::find(deps.begin(), deps.end(), out_dir + "gen.bin"), deps.end());
    EXPECT_NE(std::find(deps.begin(), deps.end(), dir + "pal.txt"), deps.end());

    for (const char* bad : {"1 text a\n0 text b\n", "x text a\n", "0 sound a.wav\n", "0 file none.bin\n"}) {
        kiln_pod_ptr p = kiln_create_pod();
        EXPECT_FALSE(build_manifest(write(dir, "bad.txt", bad), p.get(), &compress, &deps, &err)) << bad;
    }
}
