// The text a program is compiled as: header and footer, short commands,
// size limits, tab joining, cartridge ids.
#include <algorithm>
#include <tuple>

#include "engine/token/token.h"
#include "runtime/pstate.h"
#include "runtime/program_text.h"
#include "rt_fixture.h"

// The sizes the wrapped texts must have, and the two header lines that put
// program line n on compiled line n + 2 (the tab mapping of every report).
TEST(ProgramText, HeaderAndFooterSizesAndLines)
{
    std::string header(orbo_program_header), footer(orbo_program_footer);
    EXPECT_EQ(header.size(), 961u);
    EXPECT_EQ(footer.size(), 1225u);
    EXPECT_EQ(std::count(header.begin(), header.end(), '\n'), 2);
    const unsigned char glyphs[] = {0x8B, 0x91, 0x94, 0x83, 0x8E, 0x97, 0x8F};
    for (int i = 0; i < 7; i++)
        EXPECT_NE(header.find(std::string(1, char(glyphs[i])) + "=" + std::to_string(i) + " "), std::string::npos);
    EXPECT_EQ(footer.rfind("\n\t    _end_of_program = 1\n", 0), 0u);
}

TEST(ProgramText, ShortCommandsBecomeCalls)
{
    std::string footer(orbo_program_footer);
    auto body = [&](const std::string& code) {
        std::string t = orbo_build_program_text(code, "");
        EXPECT_EQ(t.substr(t.size() - footer.size()), footer);
        return t.substr(0, t.size() - footer.size());
    };
    EXPECT_EQ((std::tuple{body("ls"), body("load mygame"), body("cd demos"), body("s"), body("install_games")}),
              (std::tuple{"ls()", "load(\"mygame\")", "cd(\"demos\")", "scout()", "install_games()"}));
    // A quoted argument, a word that only begins like a command, and a
    // command with a lone space are program text.
    EXPECT_EQ(body("load \"mygame\"").rfind("-- orbo header\n", 0), 0u);
    EXPECT_EQ(body("lsx").rfind("-- orbo header\n", 0), 0u);
    EXPECT_EQ(body("ls ").rfind("-- orbo header\n", 0), 0u);
    EXPECT_NE(body("resume").find("no _mainloop()"), std::string::npos);
    // The two listed ids get the extra header text.
    std::string t = orbo_build_program_text("x=1", "19488");
    EXPECT_EQ(t.substr(orbo_program_header_size(), 6), " nd=0 ");
    EXPECT_EQ(orbo_build_program_text("x=1", "1948").substr(orbo_program_header_size(), 3), "x=1");
}

TEST(ProgramText, CartridgeIdFromFileName)
{
    EXPECT_EQ((std::tuple{get_lid_from_filename("/home/u/bbs/carts/jelpi-3.ob.png"), get_lid_from_filename("19488.ob"),
                          get_lid_from_filename("My Game_x.ob"), get_lid_from_filename(".ob"),
                          get_lid_from_filename("game.png"), get_lid_from_filename("GAME.ob")}),
              (std::tuple{"jelpi-3", "19488", "ame_x", "", "", ""}));
}

TEST_F(RuntimeTest, SizeLimitsAcceptTheLimitAndRejectOneMore)
{
    std::string code = "x=1\n--";
    code.resize(65536, 'c');
    EXPECT_TRUE(start(code));
    std::string out = console_lines([&] { EXPECT_FALSE(start(code + "c")); });
    EXPECT_EQ(out, "** program exceeds char limit\n** 65537 / 65536 chars\n");

    std::string tokens;
    for (int i = 0; i < 2730; i++) tokens += "a=1\n";  // 3 tokens a line
    tokens += "b()";                                    // 2 more: 8192
    ASSERT_EQ(count_tokens(tokens.c_str()), 8192);
    EXPECT_TRUE(start(tokens));
    EXPECT_EQ(orbo_live_machine()->heap.base, 8192 * 16);
    out = console_lines([&] { EXPECT_FALSE(start(tokens + " c")); });
    EXPECT_EQ(out, "** program too large\n** 8193 / 8192 tokens\n");
}

// The table helpers run in a cartridge of the suite; the glyph names of the
// buttons are header globals no cartridge spells.
TEST_F(RuntimeTest, HeaderDefinesTheButtonGlyphs)
{
    ASSERT_TRUE(start("g=\x8b+\x91+\x94+\x83+\x8e+\x97+\x8f\n"));
    frame();
    EXPECT_EQ(global_int("g"), 21);
}
