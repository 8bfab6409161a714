// Error reports: tab mapping, source lines, compiler message forms, the
// runtime report and traceback, and hostile programs.
#include "runtime/error_report.h"
#include "runtime/pstate.h"

#include "hardware/runtime_link.h"
#include "rt_fixture.h"

TEST(ErrorText, NthLine)
{
    struct { const char* text; int n; const char* line; } cases[] = {
        {"a\nb\nc", 1, "a"}, {"a\nb\nc", 3, "c"}, {"a\nb\nc", 4, "<eof>"}, {"a\nb\n", 3, "<eof>"},
        {"a\n\nc", 2, ""},   {"", 1, "<eof>"},      {"abc", 0, "<eof>"},
    };
    for (const auto& k : cases) EXPECT_EQ(get_nth_line(k.text, k.n), k.line) << k.text << " " << k.n;
}

TEST_F(RuntimeTest, SyntaxErrorMessageForms)
{
    std::string s;
    EXPECT_TRUE(extract_syntax_error("[string \"-- orbo header...\"]:12: unexpected symbol near 'x'", false, &s));
    EXPECT_EQ(s, "unexpected symbol near 'x'");
    EXPECT_TRUE(extract_syntax_error("no position here", false, &s));
    EXPECT_EQ(s, "no position here");
    EXPECT_FALSE(extract_syntax_error("x:3: '=' expected near '_end_of_program'", true, &s));
    std::string out = console_lines([&] {
        EXPECT_FALSE(extract_syntax_error(
            "x:9: 'end' expected (to close 'function' at line 3 (tab 1)) near <eof>", true, &s));
        EXPECT_FALSE(extract_syntax_error("x:9: 'end' expected (to close 'if' at line 3 (tab 1)) near <eof>", false, &s));
    });
    EXPECT_EQ(out, "** unclosed function at line 3 (tab 1)\n** unclosed if\n");

    // Truncated and malformed messages.
    EXPECT_TRUE(extract_syntax_error("abc:", false, &s));
    EXPECT_EQ(s, "");
    EXPECT_TRUE(extract_syntax_error("abc: ", false, &s));
    EXPECT_EQ(s, "");
    EXPECT_TRUE(extract_syntax_error("", false, &s));
    EXPECT_EQ(s, "");
    std::string long_text(5000, 'y');
    EXPECT_TRUE(extract_syntax_error(("x:1: " + long_text).c_str(), false, &s));
    EXPECT_EQ(s.size(), 1023u);
    out = console_lines([&] {
        EXPECT_FALSE(extract_syntax_error("to close '", true, &s));
        EXPECT_FALSE(extract_syntax_error("x to close 'do at line x", true, &s));
        EXPECT_FALSE(extract_syntax_error("to close 'a' at line 99999999999999 (tab -5)", true, &s));
    });
    EXPECT_EQ(out.find("** unclosed  at line 0 (tab 0)\n"), 0u) << out;
    EXPECT_EQ(orbo_working().tabs.current, 0);  // an impossible tab selects tab 0
}

// The report's usual forms run through the cartridge suite; here the editor
// is sent to the failing tab, and "near 'end'" on a line without one reads
// as an unexpected end of line.
TEST_F(RuntimeTest, CompileErrorSelectsTheTabAndNamesAnOpenLine)
{
    std::string out = console_lines([&] { EXPECT_FALSE(start("a=1\n-->8\nif x then y =\nend\n")); });
    EXPECT_NE(out.find("** unexpected end of line\n"), std::string::npos) << out;
    EXPECT_EQ(orbo_working().tabs.current, 1);
}

TEST_F(RuntimeTest, ReplacedOrBrokenTraceCannotHangTheReport)
{
    for (const char* replacement : {"trace = function() while true do end end",
                                    "trace = function() error_here() end", "trace = nil",
                                    "trace = 5"}) {
        std::string code = std::string(replacement) + "\nfunction g() return nil + 1 end\ng()\n";
        std::string out = console_lines([&] {
            ASSERT_TRUE(start(code));
            frame();
        });
        EXPECT_NE(out.find("** runtime error line 2 tab 0\n"), std::string::npos) << replacement << out;
        EXPECT_NE(out.find("** in g line 2 (tab 0)\n"), std::string::npos) << replacement << out;
        EXPECT_NE(out.find("** at line 3 (tab 0)\n"), std::string::npos) << replacement << out;
    }
}

// Plain deep recursion runs out of memory (a cartridge of the suite); nesting
// through coroutines reaches the engine's C-call limit instead.
TEST_F(RuntimeTest, DeepCoroutineNestingIsReportedNotFatal)
{
    std::string out = console_lines([&] {
        ASSERT_TRUE(start("function r() assert(coresume(cocreate(r))) end\nr()\n"));
        frames(5);
    });
    EXPECT_FALSE(running());
    EXPECT_NE(out.find("** runtime error line 1 tab 0\n"), std::string::npos) << out;
}

// A console function's error stops the program at the next update; during a
// reset glitch it is not reported at all.
TEST_F(RuntimeTest, ConsoleFunctionErrorsWaitForTheNextUpdateUnlessResetting)
{
    ASSERT_TRUE(start("function _update() end\n"));
    orbo_runtime_error("bad memory access");
    EXPECT_EQ(pstate.pending_action, ACTION_STOP_RESET);
    ASSERT_TRUE(start("function _update() end\n"));
    orbo_reset_glitch = 1;
    orbo_runtime_error("ignored");
    EXPECT_EQ(pstate.pending_action, ACTION_NONE);
    orbo_reset_glitch = 0;
}
