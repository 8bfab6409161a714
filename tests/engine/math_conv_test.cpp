// Number <-> text conversions: the literal grammar (decimal, hexadecimal,
// binary), the rejection rules, the printed form, and the round trip over a
// dense sample of the whole raw range.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

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

TEST(MathConv, DecimalTexts)
{
    expect_number("1", I(1));
    expect_number("0.5", F(0.5));
    expect_number("0.1", 6553);
    expect_number("-1", -65535);           // truncation toward zero
    expect_number("-32768", fix32(0x80000001));
    expect_number("40000", fix32(0x80000000));
    expect_number("32768", fix32(0x80000000));
    expect_number("-40000", fix32(0x80000000));
    expect_number("1e999", fix32(0x80000000));  // infinite
    expect_number("-1e999", fix32(0x80000000));
    expect_number("32767.99998", 0x7ffffffe);
    expect_number("32767.999999", 0x7fffffff);
    expect_number(" 12 ", I(12));
    expect_number("\t\n12\r\v\f", I(12));
    expect_number("+3", I(3));
    expect_number(".5", F(0.5));
    expect_number("5.", I(5));
    expect_number("1e2", I(100));
    expect_number("1E-1", 6553);
    expect_number("0", 0);
    expect_number("-0", 0);
    expect_number("0.0000152587890625", 1);  // exactly one step
    expect_number("0.00001", 0);
    expect_number("-0.5", -32767);
    expect_number("12345.6789", fix32(12345.6789 * 65536.0 + 0.00000762939453125));
    expect_invalid("");
    expect_invalid("   ");
    expect_invalid("1e");
    expect_invalid("1 2");
    expect_invalid("12a");
    expect_invalid("- 1");
    expect_invalid("inf");
    expect_invalid("-INF");
    expect_invalid("nan");
    expect_invalid("1n");
    expect_invalid(".");
    expect_invalid("e5");
    expect_invalid(std::string("1\0", 2));   // embedded terminator
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

TEST(MathConv, HexadecimalTexts)
{
    expect_number("0x10.8", F(16.5));
    expect_number("-0x10", I(-16));
    expect_number("0X1F", I(31));
    expect_number("0x8000", fix32(0x80000000));
    expect_number("0x12345", 0x23450000);      // integer digits wrap
    expect_number("0x.8", F(0.5));
    expect_number("0x1.", I(1));
    expect_number("0x0.0001", 1);
    expect_number("0x0.00018", 1);             // fifth digit ignored
    expect_number("0x0.123456789", 0x1234);
    expect_number("0x.1", 0x1000);
    expect_number("0x.12", 0x1200);
    expect_number("0x.123", 0x1230);
    expect_number("0xffff.ffff", -1);
    expect_number("-0x8000", fix32(0x80000000));
    expect_number("  +0xa  ", I(10));
    expect_number("0xbead", fix32(0xbead0000));  // b as a digit, not binary
    expect_number("0x000000000000001", I(1));
    expect_invalid("0x1p4");
    expect_invalid("0x1P4");
    expect_invalid("0x");
    expect_invalid("0x.");
    expect_invalid("x1");
    expect_invalid("1x");
    expect_invalid("00x1");
    expect_invalid("0x1g");
    expect_invalid("0x1.2.3");
    expect_invalid("- 0x1");
    expect_invalid("0x1 x");
    expect_invalid("0xan");  // any 'n' rejects
}

TEST(MathConv, BinaryTexts)
{
    expect_number("0b101.1", F(5.5));
    expect_number("-0b1", I(-1));
    expect_number("0B11", I(3));
    expect_number("0b.1", F(0.5));
    expect_number("0b.0000000000000001", 1);
    expect_number("0b.00000000000000011", 1);  // seventeenth bit ignored
    expect_number("0b.000000000000001", 2);
    expect_number("0b1" + std::string(16, '0'), 0);  // 65536 wraps
    expect_number("0b1" + std::string(15, '0'), fix32(0x80000000));
    expect_invalid("0b");
    expect_invalid("0b2");
    expect_invalid("0b1p1");
    expect_invalid("b1");
    expect_invalid("1b");
}

TEST(MathConv, PrintedForm)
{
    EXPECT_EQ(show(0x10000), "1");
    EXPECT_EQ(show(0x8000), "0.5");
    EXPECT_EQ(show(0x5555), "0.3333");
    EXPECT_EQ(show(0xffff), "1");
    EXPECT_EQ(show(0x7fffffff), "32768");
    EXPECT_EQ(show(fix32(0x80000000)), "-32768");
    EXPECT_EQ(show(1), "0");
    EXPECT_EQ(show(-1), "-0");
    EXPECT_EQ(show(7), "0.0001");
    EXPECT_EQ(show(0x1999), "0.1");
    EXPECT_EQ(show(0), "0");
    EXPECT_EQ(show(I(-5)), "-5");
    EXPECT_EQ(show(F(-0.5)), "-0.5");
    EXPECT_EQ(show(I(100)), "100");
    EXPECT_EQ(show(I(32767)), "32767");
    EXPECT_EQ(show(F(1.25)), "1.25");
    EXPECT_EQ(show(ob_fdiv(I(1), I(3))), "0.3333");
    EXPECT_EQ(show(ob_fdiv(I(2), I(3))), "0.6667");
    EXPECT_EQ(show(-65535), "-1");  // tonum("-1") prints as -1
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
