#include "platform/pod.h"

#include <gtest/gtest.h>
#include <lz4.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "platform/log.h"

namespace {
using bytes = std::vector<uint8_t>;

void put_u32(bytes* b, uint32_t v)
{
    for (int i = 0; i < 4; i++) b->push_back(uint8_t(v >> (8 * i)));
}
void put_str(bytes* b, const char* s, size_t width)
{
    size_t n = strlen(s);
    b->insert(b->end(), s, s + std::min(n, width));
    if (n < width) b->insert(b->end(), width - n, 0);
}
// A chunk tag and the words that follow it.
void put_chunk(bytes* b, const char* tag, std::initializer_list<uint32_t> words)
{
    put_str(b, tag, 4);
    for (uint32_t w : words) put_u32(b, w);
}
void put_header(bytes* b, const char* name, uint32_t count)
{
    put_chunk(b, "CPOD", {68, 1});
    put_str(b, name, 32);
    put_u32(b, count);
    b->insert(b->end(), 28, 0);
}

// Temporary files are named per process: several builds may test at once.
std::string temp_path(const std::string& name)
{
    return testing::TempDir() + "pod_test_" + std::to_string(getpid()) + "_" + name;
}

std::string read_text(const std::string& path)
{
    std::ifstream f(path);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Captures what the reader logs while `fn` runs.
template <class F>
std::string logged(F fn)
{
    std::string path = temp_path("log.txt");
    kiln_log_open(path.c_str());
    kiln_log_set_stdout(false);
    fn();
    kiln_log_close();
    kiln_log_set_stdout(true);
    return read_text(path);
}

kiln_bitmap_ptr pattern_bitmap(int w, int h, int depth, uint32_t seed)
{
    kiln_bitmap_ptr bm = kiln_create_bitmap(w, h, depth);
    for (size_t i = 0; i < bm->pixels.size(); i++) bm->pixels[i] = uint8_t((i * 7 + seed) ^ (i >> 3));
    bm->attr = 0xA5000000u | seed;
    return bm;
}

// One pod holding every kind the console uses.
kiln_pod_ptr sample_pod()
{
    kiln_pod_ptr pod = kiln_create_pod("sample");
    kiln_pod_add_bitmap(pod.get(), pattern_bitmap(13, 7, 8, 1));
    kiln_pod_add_bitmap(pod.get(), pattern_bitmap(5, 9, 32, 2));
    auto pal = std::make_unique<kiln_palette>();
    for (int i = 0; i < 768; i++) pal->rgb[i] = uint8_t(i * 13);
    kiln_pod_add_palette(pod.get(), std::move(pal));
    kiln_pod_add_bytes(pod.get(), "empty", nullptr, 0);
    std::string text(1000, 'z');
    text += "tail";
    kiln_pod_add_bytes(pod.get(), "text.ob", text.data(), text.size());
    kiln_pod_add_bytes(pod.get(), std::string(63, 'n').c_str(), "x", 1);
    return pod;
}

bool same_item(const kiln_pod_item& a, const kiln_pod_item& b)
{
    if (a.kind != b.kind) return false;
    switch (a.kind) {
    case KILN_ITEM_BITMAP:
        return a.bitmap->w == b.bitmap->w && a.bitmap->h == b.bitmap->h &&
               a.bitmap->depth == b.bitmap->depth && a.bitmap->attr == b.bitmap->attr &&
               a.bitmap->pixels == b.bitmap->pixels && b.bitmap->clip_x1 == b.bitmap->w &&
               b.bitmap->clip_y1 == b.bitmap->h;
    case KILN_ITEM_PALETTE:
        return memcmp(a.palette->rgb, b.palette->rgb, 768) == 0;
    case KILN_ITEM_FILE:
        return a.file->name == b.file->name && a.file->bytes == b.file->bytes;
    }
    return false;
}

void expect_same_pod(const kiln_pod& a, const kiln_pod& b)
{
    EXPECT_EQ(a.name, b.name);
    ASSERT_EQ(a.items.size(), b.items.size());
    for (size_t i = 0; i < a.items.size(); i++) EXPECT_TRUE(same_item(a.items[i], b.items[i])) << i;
}

kiln_pod_ptr load(const bytes& b) { return kiln_load_pod_memory(b.data(), b.size()); }
}  // namespace

TEST(Pod, OneSmallFileIs155BytesAndReadsBack)
{
    bytes golden;
    put_header(&golden, "tiny", 1);
    put_chunk(&golden, "CFIL", {0, 3});
    put_str(&golden, "a", 64);
    golden.insert(golden.end(), {1, 2, 3});
    ASSERT_EQ(golden.size(), 155u);

    kiln_pod_ptr pod = kiln_create_pod("tiny");
    kiln_pod_add_bytes(pod.get(), "a", "\1\2\3", 3);
    bytes written;
    ASSERT_TRUE(kiln_write_pod(pod.get(), false, &written));
    EXPECT_EQ(written, golden);

    kiln_pod_ptr back = load(golden);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, "tiny");
    ASSERT_EQ(kiln_pod_count(back.get()), 1);
    const kiln_file* f = kiln_pod_file(back.get(), 0);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->name, "a");
    EXPECT_EQ(f->bytes, bytes({1, 2, 3}));
    EXPECT_FALSE(kiln_pod_bitmap(back.get(), 0));
    EXPECT_FALSE(kiln_pod_palette(back.get(), 0));
    EXPECT_FALSE(kiln_pod_file(back.get(), 1));
    EXPECT_FALSE(kiln_pod_file(back.get(), -1));
}

TEST(Pod, PodsWithoutItemsOrHeaderDoNotLoad)
{
    bytes header_only;
    put_header(&header_only, "none", 0);
    EXPECT_FALSE(load(header_only));

    bytes nop;
    put_chunk(&nop, "CNOP", {0});
    EXPECT_FALSE(load(nop));  // an empty pod yields no item

    bytes headless;  // an item chunk first is no pod
    put_chunk(&headless, "CPAL", {768});
    headless.insert(headless.end(), 768, 7);
    EXPECT_FALSE(load(headless));

    EXPECT_FALSE(load({}));
    EXPECT_FALSE(kiln_load_pod_memory(nullptr, 100));

    // Only an unknown chunk after the header: skipped, still no item.
    bytes unknown_only = header_only;
    put_chunk(&unknown_only, "CSND", {2});
    unknown_only.insert(unknown_only.end(), {9, 9});
    EXPECT_FALSE(load(unknown_only));
}

// From memory and from a file: the first read stops at the second "CPOD".
TEST(Pod, TwoPodsInOneStreamReadBySuccessiveReads)
{
    kiln_pod_ptr a = kiln_create_pod("first");
    kiln_pod_add_bytes(a.get(), "one", "1", 1);
    kiln_pod_add_bytes(a.get(), "two", "22", 2);
    kiln_pod_ptr b = kiln_create_pod("second");
    kiln_pod_add_bitmap(b.get(), pattern_bitmap(3, 2, 8, 5));
    bytes wa, wb;
    ASSERT_TRUE(kiln_write_pod(a.get(), false, &wa));
    ASSERT_TRUE(kiln_write_pod(b.get(), true, &wb));
    bytes both = wa;
    both.insert(both.end(), wb.begin(), wb.end());
    std::string path = temp_path("both.pod");
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(both.data(), 1, both.size(), f);
    fclose(f);
    f = fopen(path.c_str(), "rb");
    for (kiln_stream s : {kiln_stream_memory(both.data(), both.size()), kiln_stream_file(f)}) {
        EXPECT_EQ(s.size, both.size());
        kiln_pod_ptr ra = kiln_load_pod_file("both", &s);
        ASSERT_TRUE(ra);
        EXPECT_EQ(s.pos, wa.size());
        expect_same_pod(*a, *ra);
        kiln_pod_ptr rb = kiln_load_pod_file("both", &s);
        ASSERT_TRUE(rb);
        expect_same_pod(*b, *rb);
        EXPECT_TRUE(kiln_stream_at_end(&s));
        EXPECT_FALSE(kiln_load_pod_file("both", &s));
    }
    fclose(f);

    // A "CNOP" after a pod also ends it, and a zero tag ends a pod early.
    bytes with_nop = wa;
    with_nop.insert(with_nop.end(), {'C', 'N', 'O', 'P', 0, 0, 0, 0});
    kiln_stream s = kiln_stream_memory(with_nop.data(), with_nop.size());
    ASSERT_TRUE(kiln_load_pod_file("nop", &s));
    EXPECT_EQ(s.pos, wa.size());

    bytes zero_tag = wa;
    zero_tag.insert(zero_tag.end(), 8, 0);
    bytes extra;
    put_chunk(&extra, "CFIL", {0, 1});
    put_str(&extra, "late", 64);
    extra.push_back(1);
    zero_tag.insert(zero_tag.end(), extra.begin(), extra.end());
    kiln_pod_ptr z = load(zero_tag);
    ASSERT_TRUE(z);
    EXPECT_EQ(kiln_pod_count(z.get()), 2);
}

TEST(Pod, CompressedFileDecompressesToExactlyItsStatedLength)
{
    const char text[] = "abcabcabcabcabcabcabcabcabcabcabcabc";
    const int n = int(sizeof text - 1);
    std::vector<char> packed(size_t(LZ4_compressBound(n)));
    int clen = LZ4_compress_default(text, packed.data(), n, int(packed.size()));
    ASSERT_GT(clen, 0);

    auto make = [&](uint32_t stated) {
        bytes b;
        put_header(&b, "z", 1);
        put_chunk(&b, "cFIL", {0, stated});
        put_str(&b, "abc", 64);
        put_u32(&b, uint32_t(clen));
        b.insert(b.end(), packed.begin(), packed.begin() + clen);
        return b;
    };
    kiln_pod_ptr ok = load(make(uint32_t(n)));
    ASSERT_TRUE(ok);
    ASSERT_TRUE(kiln_pod_file(ok.get(), 0));
    EXPECT_EQ(std::string(kiln_pod_file(ok.get(), 0)->bytes.begin(),
                          kiln_pod_file(ok.get(), 0)->bytes.end()),
              text);
    // A block that gives more or fewer bytes than stated is corrupt.
    EXPECT_FALSE(load(make(uint32_t(n - 1))));
    EXPECT_FALSE(load(make(uint32_t(n + 1))));
}

TEST(Pod, RoundTripsEveryKindCompressedAndNot)
{
    kiln_pod_ptr pod = sample_pod();
    for (bool compress : {false, true}) {
        bytes w;
        ASSERT_TRUE(kiln_write_pod(pod.get(), compress, &w));
        EXPECT_EQ(memcmp(w.data() + 76, compress ? "cBMP" : "CBMP", 4), 0);
        kiln_pod_ptr back = load(w);
        ASSERT_TRUE(back) << compress;
        expect_same_pod(*pod, *back);
        bytes again;
        ASSERT_TRUE(kiln_write_pod(back.get(), compress, &again));
        EXPECT_EQ(w, again);
    }
    bytes raw, packed;
    kiln_write_pod(pod.get(), false, &raw);
    kiln_write_pod(pod.get(), true, &packed);
    EXPECT_LT(packed.size(), raw.size());
    // Size words: raw bitmap = pixel bytes + 20, palette 768, files 0.
    uint32_t size_word;
    memcpy(&size_word, raw.data() + 80, 4);
    EXPECT_EQ(size_word, 13u * 7u + 20u);
}

TEST(Pod, NamesAreCutToTheirFields)
{
    bytes b;
    put_header(&b, "0123456789abcdef0123456789abcdefTOO LONG", 1);  // exactly 32 kept
    put_chunk(&b, "CFIL", {0, 0});
    b.insert(b.end(), 64, 'q');  // no terminator: the 64th byte is forced to 0
    kiln_pod_ptr pod = load(b);
    ASSERT_TRUE(pod);
    EXPECT_EQ(pod->name, "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(kiln_pod_file(pod.get(), 0)->name, std::string(63, 'q'));
    EXPECT_TRUE(kiln_pod_file(pod.get(), 0)->bytes.empty());

    kiln_pod_ptr longname = kiln_create_pod(std::string(40, 'p').c_str());
    EXPECT_EQ(longname->name.size(), 32u);
    kiln_pod_add_bytes(longname.get(), std::string(80, 'f').c_str(), "", 0);
    EXPECT_EQ(kiln_pod_file(longname.get(), 0)->name.size(), 63u);
}

TEST(Pod, UnknownChunksAreSkippedWithALogLine)
{
    bytes b;
    put_header(&b, "skip", 2);
    put_chunk(&b, "CMOD", {5});
    b.insert(b.end(), {'C', 'F', 'I', 'L', 0});  // payload that looks like a tag
    put_chunk(&b, "CPAL", {768});
    b.insert(b.end(), 768, 3);
    kiln_pod_ptr pod;
    std::string log = logged([&] { pod = load(b); });
    EXPECT_EQ(log, "kiln_load_pod_file: Unknown Chunk!\n");
    ASSERT_TRUE(pod);
    ASSERT_EQ(kiln_pod_count(pod.get()), 1);
    EXPECT_EQ(kiln_pod_palette(pod.get(), 0)->rgb[767], 3);

    // An unknown chunk whose size runs past the end ends the read.
    bytes past = b;
    put_chunk(&past, "CVMP", {1000});
    past.insert(past.end(), 10, 0);
    EXPECT_EQ(kiln_pod_count(load(past).get()), 1);
}

TEST(Pod, EveryTruncationIsSafeAndKeepsOnlyWholeItems)
{
    kiln_pod_ptr pod = sample_pod();
    for (bool compress : {false, true}) {
        bytes w;
        ASSERT_TRUE(kiln_write_pod(pod.get(), compress, &w));
        size_t whole = 0;  // items wholly inside the prefix
        for (size_t cut = 0; cut <= w.size(); cut++) {
            bytes prefix(w.begin(), w.begin() + long(cut));
            kiln_pod_ptr back = load(prefix);
            if (!back) continue;
            ASSERT_LE(back->items.size(), pod->items.size());
            for (size_t i = 0; i < back->items.size(); i++)
                ASSERT_TRUE(same_item(pod->items[i], back->items[i])) << cut << " " << i;
            whole = std::max(whole, back->items.size());
        }
        EXPECT_EQ(whole, pod->items.size());
        EXPECT_FALSE(load(bytes(w.begin(), w.begin() + 76)));
    }
}

TEST(Pod, HostileSizesAreRejectedBeforeAllocation)
{
    auto with_chunk = [](const char* tag, std::initializer_list<uint32_t> words, size_t tail) {
        bytes b;
        put_header(&b, "bad", 1);
        put_chunk(&b, tag, words);
        b.insert(b.end(), tail, 0x11);
        return b;
    };
    EXPECT_FALSE(load(with_chunk("CBMP", {20, 0x7fffffff, 0x7fffffff, 8, 0, 0}, 64)));
    EXPECT_FALSE(load(with_chunk("CBMP", {20, 0, 5, 8, 0, 0}, 64)));
    EXPECT_FALSE(load(with_chunk("CBMP", {20, 4, 4, 16, 0, 0}, 64)));
    EXPECT_FALSE(load(with_chunk("CBMP", {20, 8, 8, 8, 0, 0}, 63)));  // one pixel short
    EXPECT_TRUE(load(with_chunk("CBMP", {20, 8, 8, 8, 0, 0}, 64)));
    EXPECT_FALSE(load(with_chunk("cBMP", {20, 8192, 8192, 32, 0, 0, 8}, 8)));
    EXPECT_FALSE(load(with_chunk("cBMP", {20, 4, 4, 8, 0, 0, 0xffffffff}, 8)));
    EXPECT_FALSE(load(with_chunk("cBMP", {20, 4, 4, 8, 0, 0, 8}, 8)));  // garbage LZ4
    bytes name(64, 0);
    auto file_chunk = [&](const char* tag, uint32_t len, std::initializer_list<uint32_t> after,
                          size_t tail) {
        bytes b;
        put_header(&b, "bad", 1);
        put_chunk(&b, tag, {0, len});
        b.insert(b.end(), name.begin(), name.end());
        for (uint32_t w : after) put_u32(&b, w);
        b.insert(b.end(), tail, 0x22);
        return b;
    };
    EXPECT_FALSE(load(file_chunk("CFIL", 0xffffffff, {}, 16)));
    EXPECT_FALSE(load(file_chunk("CFIL", 17, {}, 16)));
    EXPECT_TRUE(load(file_chunk("CFIL", 16, {}, 16)));
    EXPECT_FALSE(load(file_chunk("cFIL", 0xfffffff0, {4}, 4)));
    EXPECT_FALSE(load(file_chunk("cFIL", 16, {0x7fffffff}, 4)));
    EXPECT_FALSE(load(with_chunk("CPAL", {768}, 767)));
}

TEST(Pod, MutatedPodsNeverCrash)
{
    kiln_pod_ptr pod = sample_pod();
    bytes w;
    kiln_write_pod(pod.get(), true, &w);
    uint32_t rng = 12345;
    for (int round = 0; round < 3000; round++) {
        bytes m = w;
        for (int k = 0; k < 1 + round % 4; k++) {
            rng = rng * 1103515245u + 12345u;
            m[(rng >> 8) % m.size()] = uint8_t(rng >> 24);
        }
        kiln_pod_ptr back;
        logged([&] { back = load(m); });
        if (!back) continue;
        // Whatever loads is a well-formed pod: it writes and reads back.
        bytes again;
        ASSERT_TRUE(kiln_write_pod(back.get(), round & 1, &again));
        kiln_pod_ptr twice = load(again);
        ASSERT_TRUE(twice);
        expect_same_pod(*back, *twice);
    }
}

TEST(Pod, FilesLoadWithLogLinesAndSaveBack)
{
    kiln_pod_ptr pod = sample_pod();
    std::string path = temp_path("a.pod");
    for (bool compress : {false, true}) {
        ASSERT_EQ(kiln_save_pod(pod.get(), path.c_str(), compress), 0);
        kiln_pod_ptr back;
        std::string log = logged([&] { back = kiln_load_pod(path.c_str()); });
        EXPECT_EQ(log, "kiln_load_pod: " + path + " ok \n");
        ASSERT_TRUE(back);
        expect_same_pod(*pod, *back);
    }
    std::string missing = temp_path("no_such.pod");
    kiln_pod_ptr none;
    std::string log = logged([&] { none = kiln_load_pod(missing.c_str()); });
    EXPECT_FALSE(none);
    EXPECT_EQ(log, "kiln_load_pod: " + missing + " failed \n");
    EXPECT_EQ(kiln_save_pod(pod.get(), (missing + "/dir/x.pod").c_str(), false), 1);
}
