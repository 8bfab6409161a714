// Programs whose last construct is left open: the compiler reads on into
// the footer, so the message is the reference compiler's (luac5.2, path in
// ORBO_LUAC) for the same joined text, with lines named within their tab.
// A missing `end` is reported at <eof> by both: the footer's statements are
// a valid body, so only an open expression meets "_end_of_program".
#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <regex>

#include "engine/lua/lauxlib.h"
#include "rt_fixture.h"
#include "runtime/error_report.h"

namespace {
std::string run_command(const std::string& cmd)
{
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

// The header's glyph names are single bytes the reference lexer refuses;
// ASCII names of their own keep every line where it was.
std::string ascii_names(std::string text)
{
    const unsigned char glyphs[] = {0x8B, 0x91, 0x94, 0x83, 0x8E, 0x97, 0x8F};
    for (int i = 0; i < 7; i++) {
        size_t at = text.find(char(glyphs[i]));
        if (at != std::string::npos) text.replace(at, 1, "g" + std::to_string(i));
    }
    return text;
}

// "LINE: MESSAGE" after the chunk name of a compiler message.
std::string after_chunk_name(const std::string& msg)
{
    std::smatch m;
    static const std::regex line_prefix(":([0-9]+): ");
    if (!std::regex_search(msg, m, line_prefix)) return msg;
    return msg.substr(size_t(m.position(0)) + 1);
}
}  // namespace

TEST_F(RuntimeTest, OpenProgramEndsMatchTheReferenceCompiler)
{
    const char* luac = getenv("ORBO_LUAC");
    if (luac == nullptr || *luac == '\0') GTEST_SKIP() << "ORBO_LUAC not set (reference compiler not installed)";
    const char* programs[] = {
        "function f()\n x=1\n", "x=1\nif x then\n y=2\n", "for i=1,2 do\n", "while true do\n",
        "repeat\n x=1\n",      "do\n",                    "t={1,\n",       "print(1,\n",
        "x=\n",                "a\n",                     "function\n",    "x=1\n-->8\ny=2\nfunction g()\n",
    };
    std::string file = testing::TempDir() + "orbo_program_end_" + std::to_string(getpid()) + ".lua";
    for (const char* code : programs) {
        SCOPED_TRACE(code);
        set_code(code);
        std::string text = ascii_names(orbo_build_program_text(code, ""));
        std::ofstream(file, std::ios::binary) << text;
        std::string ref = run_command(std::string(luac) + " -p '" + file + "' 2>&1");
        ASSERT_NE(ref.find(file), std::string::npos) << "the reference compiler accepted it: " << ref;
        ref = after_chunk_name(ref.substr(0, ref.find('\n')));

        reset_lua_machine();
        lua_State* L = orbo_rt().L;
        ASSERT_NE(luaL_loadbuffer(L, text.data(), text.size(), "=program"), LUA_OK);
        std::string ours = after_chunk_name(lua_tostring(L, -1));
        lua_settop(L, 0);

        // Ours names the opening line within its tab: map the reference's.
        std::smatch m;
        static const std::regex opened("at line ([0-9]+)\\)");
        if (std::regex_search(ref, m, opened)) {
            int tab = -1;
            int line = find_tab_line(std::stoi(m[1]), &tab);
            ref = m.prefix().str() + "at line " + std::to_string(line) + " (tab " + std::to_string(tab) + "))" +
                  m.suffix().str();
        }
        EXPECT_EQ(ours, ref);
    }
    remove(file.c_str());
}

// An open expression meets the footer's first statement: the message names
// "_end_of_program", so the statement's line is all there is.
TEST_F(RuntimeTest, OpenExpressionAtTheProgramEndNamesOnlyItsLine)
{
    std::string out = console_lines([&] { EXPECT_FALSE(start("x=1\nt={1,\na\n")); });
    EXPECT_EQ(out, "** syntax error line 2 (tab 0)\n** t={1,\n");
}
