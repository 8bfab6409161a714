// Decimal texts against the stock Lua 5.2 interpreter: the number literals
// of both languages go through the C library's strtod with the same
// acceptance rules (no 'n', only white space after the number), so for
// every decimal text lua5.2's tonumber must accept exactly what luaO_str2d
// accepts, and its double d must give trunc(d * 65536 + 2^-17) (or -32768
// out of range). Skipped when lua5.2 is not installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/math/fixed.h"

namespace {
std::vector<std::string> decimal_texts()
{
    std::vector<std::string> t = {
        "1", "-1", "0.1", "+.5", "5.", ".", "1e5", "1e-5", "1E+2", "1e", "e1", " 7 ", "\t7",
        "32767.99999", "32768", "-32768", "-32768.00001", "40000", "1e999", "-1e999", "1e-999",
        "00012.50", "--1", "+-1", "1.2.3", "1 2", "", " ", "0.0000076293945", "0.0000076293946",
        "-0.0000152587890625", "3.14159265358979", "123456789012345678901234567890",
    };
    std::mt19937 rng(2024);
    const char alphabet[] = "0123456789012345678901234567890123456789....eE+-  \t";
    for (int i = 0; i < 4000; i++) {
        std::string s;
        int len = 1 + int(rng() % 12);
        for (int k = 0; k < len; k++) s += alphabet[rng() % (sizeof alphabet - 1)];
        t.push_back(s);
    }
    return t;
}
}  // namespace

TEST(MathOracle, DecimalTextsMatchLua52)
{
    if (std::system("lua5.2 -v > /dev/null 2>&1") != 0) GTEST_SKIP() << "lua5.2 not installed";
    const std::vector<std::string> texts = decimal_texts();
    const std::string dir = ORBO_BINARY_DIR;
    const std::string in = dir + "/math_oracle_in.txt", script = dir + "/math_oracle.lua";
    {
        std::ofstream f(in, std::ios::binary);
        for (const std::string& s : texts) f << s << '\n';
        std::ofstream l(script);
        l << "for line in io.lines(arg[1]) do\n"
             "  local d = tonumber(line)\n"
             "  if d then print(string.format('%a', d)) else print('nil') end\n"
             "end\n";
    }
    FILE* p = popen(("lua5.2 " + script + " " + in).c_str(), "r");
    ASSERT_NE(p, nullptr);
    char line[256];
    size_t i = 0;
    for (; fgets(line, sizeof line, p); i++) {
        ASSERT_LT(i, texts.size());
        const std::string& s = texts[i];
        fix32 v = 0;
        const bool ok = luaO_str2d(s.data(), s.size(), &v) == 1;
        if (strncmp(line, "nil", 3) == 0) {
            EXPECT_FALSE(ok) << "'" << s << "'";
            continue;
        }
        ASSERT_TRUE(ok) << "'" << s << "'";
        const double d = strtod(line, nullptr);  // exact: printed with %a
        double want = std::trunc(d * 65536.0 + 0.00000762939453125);
        if (!(want >= -2147483648.0 && want <= 2147483647.0)) want = -2147483648.0;
        EXPECT_EQ(v, fix32(want)) << "'" << s << "'";
    }
    pclose(p);
    EXPECT_EQ(i, texts.size());
}
