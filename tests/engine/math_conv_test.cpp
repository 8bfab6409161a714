// Number <-> text conversions: the literal grammar (decimal, hexadecimal,
// binary), the rejection rules, the printed form, and the round trip over a
// dense sample of the whole raw range.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include "engine/math/fixed.h"

namespace {
constexpr fix32 F(double v) { return fix32(v * 65536.0); }
constexpr fix32 I(int v) { return fix_from_int(v); }

// Parses s; returns true and sets *out on success.
bool parse(const std::string& s, fix32* out)
{
    *out = 0x5a5a5a5a;
    return luaO_str2d(s.data(), s.size(), out) == 1;
}

std::string show(fix32 r)
{
    char buf[ORBO_NUMBER_TEXT + 1];
    int n = orbo_fixed_to_string(buf, r);
    EXPECT_EQ(size_t(n), strlen(buf));
    return buf;
}

// Expect text to convert to raw value want.
void expect_number(const std::string& text, fix32 want)
{
    fix32 v;
    ASSERT_TRUE(parse(text, &v)) << "'" << text << "'";
    EXPECT_EQ(v, want) << "'" << text << "'";
}

void expect_invalid(const std::string& text)
{
    fix32 v;
    EXPECT_FALSE(parse(text, &v)) << "'" << text << "'";
    EXPECT_EQ(v, 0x5a5a5a5a) << "output touched for '" << text << "'";
}
}  // namespace

// Decimal texts are compared with the reference interpreter in
// math_oracle_test; these are the ones its alphabet does not reach.
TEST(MathConv, DecimalTexts)
{
    expect_number("\t\n12\r\v\f", I(12));
    expect_number("0.0000152587890625", 1);  // exactly one step
    expect_number("12345.6789", fix32(12345.6789 * 65536.0 + 0.00000762939453125));
    for (const char* bad : {"12a", "- 1", "inf", "-INF", "nan", "1n"}) expect_invalid(bad);
    expect_invalid(std::string("1\0", 2));  // embedded terminator
    expect_invalid(std::string("1\0" "2", 3));
}

TEST(MathConv, LengthBoundsTheText)
{
    // Only len bytes count: no reading past them, and bytes after are ignored.
    const char text[] = "12x";
    fix32 v = 0;
    EXPECT_EQ(luaO_str2d(text, 2, &v), 1);
    EXPECT_EQ(v, I(12));
    const char hex[] = "0x10.8n";
    EXPECT_EQ(luaO_str2d(hex, 6, &v), 1);
    EXPECT_EQ(v, F(16.5));
    EXPECT_EQ(luaO_str2d(hex, 1, &v), 1);  // "0"
    EXPECT_EQ(v, 0);
    EXPECT_EQ(luaO_str2d(hex, 0, &v), 0);
    EXPECT_EQ(luaO_str2d(nullptr, 0, &v), 0);  // an empty string may have no storage
    // A very long decimal text (longer than any internal buffer).
    std::string lng = "1." + std::string(500, '0') + "1";
    expect_number(lng, I(1));
    expect_number(std::string(300, ' ') + "7" + std::string(300, ' '), I(7));
}

TEST(MathConv, HexadecimalAndBinaryTexts)
{
    const std::pair<std::string, fix32> numbers[] = {
        {"0x10.8", F(16.5)},           {"-0x10", I(-16)},           {"0X1F", I(31)},
        {"0x8000", fix32(0x80000000)}, {"0x12345", 0x23450000},     // integer digits wrap
        {"0x.8", F(0.5)},              {"0x1.", I(1)},              {"0x0.0001", 1},
        {"0x0.00018", 1},              {"0x0.123456789", 0x1234},   // digits past the fourth ignored
        {"0x.12", 0x1200},             {"0xffff.ffff", -1},         {"-0x8000", fix32(0x80000000)},
        {"  +0xa  ", I(10)},           {"0xbead", fix32(0xbead0000)},  // b as a digit, not binary
        {"0x000000000000001", I(1)},   {"0b101.1", F(5.5)},         {"-0b1", I(-1)},
        {"0B11", I(3)},                {"0b.1", F(0.5)},            {"0b.0000000000000001", 1},
        {"0b.00000000000000011", 1},   {"0b.000000000000001", 2},   // the seventeenth bit ignored
        {"0b1" + std::string(16, '0'), 0},  {"0b1" + std::string(15, '0'), fix32(0x80000000)},
    };
    for (auto& [text, want] : numbers) expect_number(text, want);
    for (const char* bad : {"0x1p4", "0x1P4", "0x", "0x.", "x1", "1x", "00x1", "0x1g", "0x1.2.3", "- 0x1",
                            "0x1 x", "0xan", "0b", "0b2", "0b1p1", "b1", "1b"})
        expect_invalid(bad);
}

TEST(MathConv, PrintedForm)
{
    const std::pair<fix32, const char*> cases[] = {
        {0x10000, "1"},    {0x8000, "0.5"},   {0x5555, "0.3333"}, {0xaaaa, "0.6667"},
        {0xffff, "1"},     {0x7fffffff, "32768"}, {fix32(0x80000000), "-32768"},
        {1, "0"},          {-1, "-0"},        {7, "0.0001"},      {0x1999, "0.1"},
        {I(-5), "-5"},     {F(-0.5), "-0.5"}, {I(32767), "32767"}, {F(1.25), "1.25"},
        {-65535, "-1"},  // tonum("-1") prints as -1
    };
    for (auto& [raw, want] : cases) EXPECT_EQ(show(raw), want) << raw;
}

TEST(MathConv, RoundTripOverWholeRange)
{
    // Printing keeps four decimals (three near whole numbers), so reading the
    // text back lands within a few steps: |error| <= 0.00005 + one step of
    // truncation for four decimals, <= 0.000105 + one step near whole numbers.
    // Values printed as "32768" read back as -32768 (decimal overflow).
    auto check = [](fix32 r) {
        std::string t = show(r);
        fix32 back;
        ASSERT_TRUE(parse(t, &back)) << t;
        if (t == "32768") {
            ASSERT_EQ(back, fix32(0x80000000));
            return;
        }
        int64_t err = std::llabs(int64_t(back) - r);
        ASSERT_LE(err, 8) << r << " -> " << t << " -> " << back;
        if (t.find('.') != std::string::npos) {
            ASSERT_LE(err, 5) << t;
        }
    };
    for (int64_t r = INT32_MIN; r <= INT32_MAX; r += 997) check(fix32(r));
    for (int64_t r = -70000; r <= 70000; r++) check(fix32(r));
    for (fix32 r : {INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 1, -1, 0, 1,
                    0x7ffffff8, 0x7ffffff9, 0x7ffffffa, fix32(0xffff0000), 0x10000, 0xffff})
        check(r);
}
