#include <cstring>
#include <filesystem>
#include <random>

#include "cart/compress.h"
#include "test_util.h"

using namespace carttest;

namespace {
std::string roundtrip(const std::string& text)
{
    std::vector<uint8_t> c = compress_mini(text);
    if (!is_compressed_code(c.data(), c.size()) || c.size() == text.size()) {
        // Stored plain: must be the text itself.
        EXPECT_EQ(std::string(c.begin(), c.end()), text);
        c = compress_mini_forced(text);
    }
    std::vector<char> out(ORBO_CODE_CAPACITY + 1);
    int n = decompress_mini(c.data(), c.size(), out.data(), ORBO_CODE_CAPACITY);
    return std::string(out.data(), size_t(n));
}

// Decodes the token stream independently and checks the compressor's promises.
void check_tokens(const std::vector<uint8_t>& c, size_t text_len)
{
    ASSERT_GE(c.size(), 8u);
    EXPECT_EQ(memcmp(c.data(), ":c:\0", 4), 0);
    EXPECT_EQ(size_t(c[4] << 8 | c[5]), text_len & 0xffff);
    EXPECT_EQ(c[6], 0);
    EXPECT_EQ(c[7], 0);
    size_t len = 0;
    for (size_t p = 8; p < c.size();) {
        int b = c[p++];
        if (b == 0) {
            p++;
            len++;
        } else if (b < 60) {
            len++;
        } else {
            int b2 = c[p++];
            int offset = (b - 60) * 16 + (b2 & 15), count = (b2 >> 4) + 2;
            EXPECT_GE(count, 3);
            EXPECT_LE(count, 17);
            EXPECT_GE(offset, count);
            EXPECT_LE(offset, 3120);
            EXPECT_LE(size_t(offset), len);
            len += size_t(count);
        }
    }
    EXPECT_EQ(len, text_len);
}

std::string random_text(std::mt19937& rng, size_t n, int alphabet)
{
    const char chars[] = "abcdefgh ijklmn\nopqrstuvwxyz0123()=+-_ABCXYZ\"'\x80\x8e\x99{}";
    std::string s;
    for (size_t i = 0; i < n; i++) {
        if (!s.empty() && rng() % 4 == 0) {
            size_t from = rng() % s.size(), len = 1 + rng() % 20;
            s += s.substr(from, len);
        } else {
            s += chars[rng() % size_t(alphabet)];
        }
    }
    return s.substr(0, n);
}
}  // namespace

TEST(Compress, EdgeCases)
{
    // "a" stays plain: the compressed form would be longer.
    EXPECT_EQ(compress_mini(std::string("a")), std::vector<uint8_t>{'a'});
    EXPECT_TRUE(compress_mini(std::string()).empty());
    // One line repeated compresses to back-references of length 17.
    std::string line = "print(\"hello world\") x=x+1\n";
    std::string text;
    for (int i = 0; i < 100; i++) text += line;
    std::vector<uint8_t> c = compress_mini(text);
    ASSERT_EQ(c[0], ':');
    check_tokens(c, text.size());
    int len17 = 0;
    for (size_t p = 8; p < c.size();) {
        int b = c[p++];
        if (b == 0) p++;
        else if (b >= 60) len17 += (c[p++] >> 4) + 2 == 17;
    }
    EXPECT_GT(len17, 100);
    EXPECT_EQ(roundtrip(text), text);
    // Characters outside the table cost two bytes.
    std::vector<uint8_t> up = compress_mini_forced("AQ\"\x8e");
    EXPECT_EQ(up.size(), 8u + 8u);
    EXPECT_EQ(up[8], 0);
    EXPECT_EQ(up[9], 'A');
    // Worked by hand: the first match takes the earliest candidate and the
    // second stops at the first full-length match (offset 6, not 3).
    EXPECT_EQ(compress_mini_forced("abcabcabc"),
              (std::vector<uint8_t>{':', 'c', ':', 0, 0, 9, 0, 0, 13, 14, 15, 60, 0x13, 60, 0x16}));
    EXPECT_EQ(compress_mini(std::string("abcabcabc")), (std::vector<uint8_t>{'a', 'b', 'c', 'a', 'b', 'c', 'a', 'b', 'c'}));
    std::vector<uint8_t> low = compress_mini_forced("a\n_");
    EXPECT_EQ(std::vector<uint8_t>(low.begin() + 8, low.end()), (std::vector<uint8_t>{13, 1, 59}));
}

TEST(Compress, ExactInverseOnCorpus)
{
    std::mt19937 rng(42);
    std::vector<std::string> corpus = {"", "a", "aaa", "aaaa", std::string(5000, 'x'), std::string(40000, '\n')};
    for (int i = 0; i < 60; i++) corpus.push_back(random_text(rng, rng() % 9000, 10 + int(rng() % 40)));
    corpus.push_back(random_text(rng, 65535, 50));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(ORBO_SOURCE_DIR) + "/tests"))
        if (entry.path().extension() == ".lua" || entry.path().extension() == ".ob")
            corpus.push_back(read_file(entry.path().string()).substr(0, 65535));
    for (const auto& t : corpus) {
        std::vector<uint8_t> c = compress_mini_forced(t);
        check_tokens(c, t.size());
        EXPECT_EQ(roundtrip(t), t) << t.size();
        // compress_mini never returns more than the text.
        EXPECT_LE(compress_mini(t).size(), std::max<size_t>(t.size(), 0));
    }
}

TEST(Compress, TailShimIsCut)
{
    std::string body = "function _update60() end\n";
    for (const char* tail : {"if(_update60)_update=function()_update60()_update60()end",
                             "if(_update60)_update=function()_update60()_update_buttons()_update60()end"}) {
        EXPECT_EQ(roundtrip(body + tail), body);
    }
    std::string near = body + "if(_update60)_update=function()_update60()_update60()end ";
    EXPECT_EQ(roundtrip(near), near);
}

TEST(Compress, HostileStreams)
{
    std::vector<char> out(ORBO_CODE_CAPACITY + 1);
    // A back-reference before the start ends the valid data.
    std::vector<uint8_t> bad = {':', 'c', ':', 0, 0, 10, 0, 0, 13, 14, 60, 0x35, 15};
    EXPECT_EQ(decompress_mini(bad.data(), bad.size(), out.data(), ORBO_CODE_CAPACITY), 2);
    EXPECT_STREQ(out.data(), "ab");
    bad = {':', 'c', ':', 0, 0, 10, 0, 0, 100, 0x10};
    EXPECT_EQ(decompress_mini(bad.data(), bad.size(), out.data(), ORBO_CODE_CAPACITY), 0);
    // Offset 0 would copy from the character being written.
    bad = {':', 'c', ':', 0, 0, 10, 0, 0, 13, 60, 0x10};
    EXPECT_EQ(decompress_mini(bad.data(), bad.size(), out.data(), ORBO_CODE_CAPACITY), 1);
    // A stored length beyond the capacity gives 1 and an empty text.
    std::vector<uint8_t> big = {':', 'c', ':', 0, 0xff, 0xff, 0, 0, 13};
    EXPECT_EQ(decompress_mini(big.data(), big.size(), out.data(), 100), 1);
    EXPECT_STREQ(out.data(), "");
    // A lying length: the stream ends first; and a copy longer than what is left.
    std::vector<uint8_t> lying = {':', 'c', ':', 0, 0x7f, 0xff, 0, 0, 13, 14, 15};
    EXPECT_EQ(decompress_mini(lying.data(), lying.size(), out.data(), ORBO_CODE_CAPACITY), 3);
    std::vector<uint8_t> clip = {':', 'c', ':', 0, 0, 5, 0, 0, 13, 14, 15, 60, 0xf3};
    EXPECT_EQ(decompress_mini(clip.data(), clip.size(), out.data(), ORBO_CODE_CAPACITY), 5);
    EXPECT_STREQ(out.data(), "abcab");
    // A truncated header or a literal escape at the very end.
    EXPECT_EQ(decompress_mini(clip.data(), 5, out.data(), ORBO_CODE_CAPACITY), 0);
    std::vector<uint8_t> esc = {':', 'c', ':', 0, 0, 5, 0, 0, 13, 0};
    EXPECT_EQ(decompress_mini(esc.data(), esc.size(), out.data(), ORBO_CODE_CAPACITY), 1);
    // Random garbage after a valid header never overruns.
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; i++) {
        std::vector<uint8_t> g(8 + rng() % 200);
        for (auto& b : g) b = uint8_t(rng());
        g[0] = ':';
        int n = decompress_mini(g.data(), g.size(), out.data(), 300);
        EXPECT_GE(n, 0);
        EXPECT_LE(n, 300);
    }
}
