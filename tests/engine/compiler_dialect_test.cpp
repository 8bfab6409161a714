// The dialect's lexer rules and the compiler messages that name a line
// within a code tab.
#include <gtest/gtest.h>

#include <pthread.h>

#include <string>

#include "engine/lua/lcompile.h"
#include "engine/lua/lopcodes.h"

namespace {
// Tab layout for the messages: the chunk is a 2-line header followed by
// the tabs; tab i spans (index of its last line + 2) chunk lines.
int g_tab_last_line[8];

int test_find_tab_line(int line, int* tab)
{
    int l = line - 2;
    for (int i = 0; i < 8; i++) {
        int n = g_tab_last_line[i] + 2;
        if (l <= n) {
            *tab = i;
            return l;
        }
        l -= n;
    }
    *tab = 0;
    return 0;
}

struct compiled {
    int status = LUA_OK;
    std::string message;
    std::string listing;
    std::vector<fix32> numbers;  // number constants of the main function
};

compiled compile(const std::string& text, const char* name = nullptr, bool tabs = false)
{
    compiled c;
    lua_State* L = lua_newstate(orbo_default_alloc, nullptr);
    if (tabs) G(L)->find_tab_line = test_find_tab_line;
    Proto* f = nullptr;
    c.status = orbo_compile(L, text.data(), text.size(), name ? name : text.c_str(), &f);
    if (c.status == LUA_OK) {
        c.listing = orbo_listing(f);
        for (int i = 0; i < f->sizek; i++)
            if (ttisnumber(&f->k[i])) c.numbers.push_back(nvalue(&f->k[i]));
    } else
        c.message = orbo_error_text(L);
    lua_close(L);
    return c;
}

fix32 number_of(const std::string& literal)
{
    compiled c = compile("return " + literal, "=t");
    EXPECT_EQ(c.status, LUA_OK) << literal << ": " << c.message;
    EXPECT_EQ(c.numbers.size(), 1u) << literal;
    return c.numbers.empty() ? 0 : c.numbers[0];
}
}  // namespace

TEST(CompilerDialect, GlyphBytesAreNameCharacters)
{
    EXPECT_EQ(compile("\x80 = 1\nlocal a\x99z = \x80", "=t").status, LUA_OK);
    EXPECT_EQ(compile("_\x8a\x8b = {}", "=t").status, LUA_OK);
    compiled bad = compile("a\x9a = 1", "=t");
    EXPECT_EQ(bad.status, LUA_ERRSYNTAX);
    EXPECT_EQ(bad.message, "t:1: syntax error near char(154)");
    compiled bad2 = compile("x = \xff", "=t");
    EXPECT_EQ(bad2.message, "t:1: unexpected symbol near char(255)");
    // A glyph name is one name: the listing shows it as a global key.
    EXPECT_NE(compile("\x80\x81 = 1", "=t").listing.find("\"\\128\\129\""), std::string::npos);
}

// Messages the dialect shares with the reference compiler are compared
// with it in compiler_conformance_test; these are the dialect's own.
TEST(CompilerDialect, NumeralsUseFixedPointConversion)
{
    EXPECT_EQ(number_of("0b1010"), fix_from_int(10));
    EXPECT_EQ(number_of("0x.8"), 0x8000);
    EXPECT_EQ(number_of("1e3"), fix_from_int(1000));
    EXPECT_EQ(number_of("40000"), fix32(0x80000000));
    EXPECT_EQ(number_of("-1"), -0x10000);  // negated literal, not the text "-1"
    EXPECT_EQ(compile("x = 0x1p4", "=t").message, "t:1: malformed number near '0x1p4'");
    EXPECT_EQ(compile("x = 0b12", "=t").message, "t:1: malformed number near '0b12'");
}

TEST(CompilerDialect, ConstantFoldingUsesFixedPointOperations)
{
    EXPECT_EQ(number_of("2^15"), fix32(0x80000000));
    EXPECT_EQ(number_of("5 % -3"), fix_from_int(2));
    EXPECT_EQ(number_of("0.1 * 10"), 65530);
    EXPECT_EQ(number_of("-(-32768)"), fix32(0x80000000));
    // Division and modulo by a constant 0 stay as instructions.
    EXPECT_NE(compile("return 1 / 0", "=t").listing.find("DIV"), std::string::npos);
    EXPECT_NE(compile("return 1 % 0", "=t").listing.find("MOD"), std::string::npos);
    // 0.00001 is raw 0 in 16.16, so dividing by it is not folded either.
    EXPECT_NE(compile("return 1 / 0.00001", "=t").listing.find("DIV"), std::string::npos);
    // Constants equal as 16.16 values are one constant.
    EXPECT_EQ(compile("return 40000, 50000, -32768", "=t").numbers.size(), 1u);
}

TEST(CompilerDialect, StringEscapes)
{
    compiled c = compile("return '\\65\\066\\x43\\z   \n  D\\255\\0', \"\\a\\b\\f\\n\\r\\t\\v\\\\\\\"\\'\"", "=t");
    ASSERT_EQ(c.status, LUA_OK) << c.message;
    EXPECT_NE(c.listing.find("\"ABCD\\255\\000\""), std::string::npos) << c.listing;
    EXPECT_NE(c.listing.find("\"\\a\\b\\f\\n\\r\\t\\v\\\\\\\"'\""), std::string::npos) << c.listing;
}

TEST(CompilerDialect, StringChunkNamesInMessages)
{
    const std::string near = "]:1: unexpected symbol near '='";
    EXPECT_EQ(compile("x = 1\ny = = 2\n").message, "[string \"x = 1...\"]:2: unexpected symbol near '='");
    EXPECT_EQ(compile("x = = 1").message, "[string \"x = = 1\"" + near);
    EXPECT_EQ(compile(std::string(70, 'a') + " = = 1").message, "[string \"" + std::string(45, 'a') + "...\"" + near);
}

TEST(CompilerDialect, LastLineNumberIsTheFailingStatement)
{
    compiled c = compile("x = 1\ny = 2\nif x then\n  z = (\n\n  3 +\nend", "=t");
    EXPECT_EQ(c.status, LUA_ERRSYNTAX);
    EXPECT_EQ(orbo_last_line_number, 4);
    compile("a = 1\nb = 2\nc = 3\nd = = 4", "=t");
    EXPECT_EQ(orbo_last_line_number, 4);
}

TEST(CompilerDialect, MessagesNameLineAndTab)
{
    // Tab 0 has 10 lines (last index 9), so it spans 11 chunk lines after
    // the 2 header lines; tab 1 starts at chunk line 14.
    for (int& n : g_tab_last_line) n = 0;
    g_tab_last_line[0] = 9;
    g_tab_last_line[1] = 20;
    auto program = [](const std::string& tab1) {
        return std::string("-- header\n-- header\n") + std::string(10, '\n') + "\n" + tab1;
    };
    // 'if' opened on line 5 of tab 1, never closed.
    compiled c = compile(program("\n\n\n\nif x then\n  y = 1\n"), "=t", true);
    EXPECT_EQ(c.message, "t:20: 'end' expected (to close 'if' at line 5 (tab 1)) near <eof>");
    c = compile(program("x = (1\n\n"), "=t", true);
    EXPECT_EQ(c.message, "t:16: ')' expected (to close '(' at line 1 (tab 1)) near <eof>");
    c = compile(program("\ngoto l1\nlocal a\n::l1:: x = a"), "=t", true);
    EXPECT_EQ(c.message, "t:17: <goto l1> at line 2 (tab 1) jumps into the scope of local 'a'");
    c = compile(program("\n\ngoto nowhere\n"), "=t", true);
    EXPECT_EQ(c.message, "t:17: no visible label 'nowhere' for <goto> at line 3 (tab 1)");
    c = compile(program("x = 1\nbreak\n"), "=t", true);
    EXPECT_EQ(c.message, "t:16: <break> at line 2 not inside a loop");
    c = compile(program("::a::\n::a::\n"), "=t", true);
    EXPECT_EQ(c.message, "t:15: label 'a' already defined on line 1 (tab 1)");
    std::string locals = "\n\nfunction f()\n";
    for (int i = 0; i < 201; i++) locals += "local v" + std::to_string(i) + "\n";
    c = compile(program(locals), "=t", true);
    EXPECT_EQ(c.message.substr(0, c.message.find(" near")),
              "t:218: too many local variables (limit is 200) in function at line 3 (tab 1)");
}

namespace {
struct deep_job {
    std::string text;
    std::string message;
};

void* compile_deep(void* arg)
{
    deep_job* job = static_cast<deep_job*>(arg);
    job->message = compile(job->text, "=t").message;
    return nullptr;
}

#if defined(__SANITIZE_ADDRESS__)
#define ORBO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORBO_ASAN 1
#endif
#endif
}  // namespace

// The nesting limit, not the native stack, ends deep programs of every
// kind: the parser fits in a small thread stack at the deepest nesting it
// accepts.
TEST(CompilerDialect, DeepNestingEndsWithTheLevelLimitInASmallStack)
{
#ifdef ORBO_ASAN
    const size_t stack = 4u << 20;  // sanitizer frames are several times larger
#else
    const size_t stack = 256u << 10;
#endif
    const int deep = 100000;
    std::string texts[6] = {"x = " + std::string(deep, '(') + "1" + std::string(deep, ')'), "", "", "x = ",
                            "x = " + std::string(deep, '{'), ""};
    for (int i = 0; i < deep; i++) {
        texts[1] += "if x then ";
        texts[2] += "x = function() ";
        texts[3] += "- ";
        texts[5] += "if {f(function() while (x) do ";
    }
    texts[3] += "1";
    for (const std::string& text : texts) {
        deep_job job{text, ""};
        pthread_attr_t attr;
        pthread_attr_init(&attr);
        pthread_attr_setstacksize(&attr, stack);
        pthread_t th;
        ASSERT_EQ(pthread_create(&th, &attr, compile_deep, &job), 0);
        pthread_join(th, nullptr);
        pthread_attr_destroy(&attr);
        EXPECT_NE(job.message.find("too many C levels (limit is 200)"), std::string::npos) << job.message;
    }
    // Just below the limit compiles.
    EXPECT_EQ(compile("x = " + std::string(190, '(') + "1" + std::string(190, ')'), "=t").status, LUA_OK);
}
