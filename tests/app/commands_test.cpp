// The console-facing script functions as a running program calls them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "../support/read_file.h"
#include "app/commands.h"
#include "app/wiring.h"
#include "hardware/console.h"
#include "app/state.h"
#include "runtime/pstate.h"
#include "cart/cart_env.h"
#include "cart/cart_png.h"
#include "cart/cart_text.h"
#include "cart/working_cart.h"
#include "engine/lua/lauxlib.h"
#include "hardware/api/api.h"
#include "hardware/machine.h"
#include "hardware/runtime_link.h"
#include "platform/keys.h"
#include "platform/pod.h"

namespace {
namespace fs = std::filesystem;

struct line {
    std::string text;
    int colour;
    bool operator==(const line&) const = default;
};
std::vector<line> g_lines;
std::vector<std::vector<std::string>> g_launches;

void record_line(const char* text, int colour) { g_lines.push_back({text, colour}); }
int record_launch(const std::vector<std::string>& argv)
{
    g_launches.push_back(argv);
    return 4;
}

void PrintTo(const line& l, std::ostream* os) { *os << "{\"" << l.text << "\", " << l.colour << "}"; }

struct commands_test : ::testing::Test {
    orbo_cart_ptr cart = orbo_create_cart();
    orbo_machine* con = nullptr;
    lua_State* L = nullptr;
    std::string root, carts;

    void SetUp() override
    {
        root = testing::TempDir() + "commands_" + std::to_string(getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        fs::remove_all(root);
        carts = root + "carts/";
        fs::create_directories(carts);
        orbo_cart_env_get().root = root;
        pstate.cart_root = carts;
        shell.current_dir.clear();
        pstate.exec_mode = 0;
        pstate.app_mode = MODE_RUNNING;
        pstate.program_flag = 1;
        shell.data.reset();
        g_lines.clear();
        g_launches.clear();
        orbo_command_print_fn = record_line;
        orbo_launch_fn = record_launch;
        orbo_reset_runtime_hooks();
        orbo_working_state& w = orbo_working();
        w.cart = orbo_create_cart();
        w.filename.clear();
        w.hash.clear();
        w.tabs = orbo_code_tabs{};
        orbo_recreate_live_machine();
        con = orbo_live_machine();
        orbo_bind_shell_api();
        L = lua_newstate(orbo_lua_alloc, &con->heap);
        add_c_functions(L);
    }
    void TearDown() override
    {
        lua_close(L);
        orbo_command_print_fn = orbo_print_col;
        orbo_launch_fn = orbo_launch_process;
        orbo_cart_env_get().root.clear();
        pstate = orbo_pstate{};
        orbo_working().filename.clear();
        fs::remove_all(root);
    }
    // Runs a chunk and gives back what it returned, each value as text.
    std::vector<std::string> run(const std::string& code)
    {
        g_lines.clear();
        int top = lua_gettop(L);
        EXPECT_EQ(luaL_loadstring(L, code.c_str()), LUA_OK) << code;
        if (lua_pcall(L, 0, LUA_MULTRET, 0) != LUA_OK) return {std::string("error: ") + lua_tostring(L, -1)};
        std::vector<std::string> out;
        for (int i = top + 1; i <= lua_gettop(L); i++) {
            const char* s = lua_tostring(L, i);
            out.push_back(s ? s : luaL_typename(L, i));
        }
        lua_settop(L, top);
        return out;
    }
    static std::vector<line> lines() { return g_lines; }
};

using lines_t = std::vector<line>;

TEST_F(commands_test, CdMovesInsideTheRootOnly)
{
    run("cd('sub')");
    EXPECT_EQ(lines(), (lines_t{{"directory not found", 7}}));
    fs::create_directories(carts + "sub/deep");
    struct step { std::string code; line shown; std::string dir; } steps[] = {
        {"cd()", {"directory: /", 12}, ""},
        {"cd('..')", {"cd: failed", 7}, ""},
        {"cd('sub')", {"/sub/", 12}, "sub/"},
        {"cd('./deep/../deep')", {"/sub/deep/", 12}, "sub/deep/"},
        {"cd(5)", {"directory: /sub/deep/", 12}, "sub/deep/"},  // not a string: the directory is shown
        {"cd('../../..')", {"cd: failed", 7}, "sub/deep/"},
        {"cd('/..')", {"cd: failed", 7}, "sub/deep/"},
        {"cd('../../../carts')", {"cd: failed", 7}, "sub/deep/"},
        {"cd('/sub/../../x')", {"cd: failed", 7}, "sub/deep/"},
        {"cd('/')", {"/", 12}, ""},
        {"cd('/sub')", {"/sub/", 12}, "sub/"},
        {"cd('..')", {"/", 12}, ""},
        {"cd('sub\\0/..')", {"cd: failed", 7}, ""},  // a zero byte never reaches the file system
    };
    for (const step& k : steps) {
        run(k.code);
        EXPECT_EQ(lines(), lines_t{k.shown}) << k.code;
        EXPECT_EQ(shell.current_dir, k.dir) << k.code;
    }
    run("cd('" + std::string(512, 'a') + "')");
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(shell.current_dir, "");
}

TEST_F(commands_test, MkdirCreatesUnderTheCurrentDirectoryAndNeverOutsideTheRoot)
{
    run("mkdir()");
    EXPECT_EQ(lines(), (lines_t{{"mkdir [name]", 6}}));
    EXPECT_TRUE(run("mkdir('games')").empty());
    EXPECT_TRUE(fs::is_directory(carts + "games"));
    shell.current_dir = "games/";
    run("mkdir('a/../b')");
    EXPECT_TRUE(fs::is_directory(carts + "games/b"));
    for (const char* escape : {"../../escape", "/../escape", "x/../../../escape", "../../carts2"}) {
        run(std::string("mkdir('") + escape + "')");
        EXPECT_FALSE(fs::exists(root + "escape")) << escape;
        EXPECT_FALSE(fs::exists(root + "carts2")) << escape;
    }
    EXPECT_EQ(run("return mkdir('" + std::string(512, 'n') + "')"), (std::vector<std::string>{"0"}));
    std::error_code ec;
    EXPECT_FALSE(fs::exists(carts + "games/" + std::string(512, 'n'), ec));
}

TEST_F(commands_test, FolderHandsThePathOverAsOneArgument)
{
    std::string odd = "we\"ird $(touch pwned) `x`";
    fs::create_directories(carts + odd);
    shell.current_dir = odd + "/";
    run("folder()");
    ASSERT_EQ(g_launches.size(), 1u);
    EXPECT_EQ(g_launches[0], (std::vector<std::string>{"xdg-open", carts + odd + "/"}));

    // The real launcher: no shell sees the argument, and the status returns.
    EXPECT_EQ(orbo_launch_process({"test", "-d", carts + odd + "/"}), 0);
    EXPECT_FALSE(fs::exists("pwned"));
    EXPECT_FALSE(fs::exists(carts + "pwned"));
    EXPECT_EQ(orbo_launch_process({"sh", "-c", "exit 3"}), 3);
    EXPECT_EQ(orbo_launch_process({root + "no_such_program"}), -1);
    EXPECT_EQ(orbo_launch_process({}), -1);
}

TEST_F(commands_test, LsListsCartridgeFilesOfCstore)
{
    EXPECT_EQ(run("local t = ls() return type(t), #t"), (std::vector<std::string>{"table", "0"}));
    fs::create_directories(root + "cstore");
    for (const char* f : {"b.ob.png", "a.ob", "notes.txt", "old.ob~", "__0123.ob", "x~y.ob"})
        std::ofstream(root + "cstore/" + f) << "x";
    EXPECT_EQ(run("local t = dir() return #t, t[1], t[2], t[3]"),
              (std::vector<std::string>{"3", "__0123.ob", "a.ob", "b.ob.png"}));
    EXPECT_TRUE(run("return ls('cstore')").empty());
}

TEST_F(commands_test, InfoPrintsTheCountsInTheirColours)
{
    run("info()");
    EXPECT_EQ(lines(), (lines_t{{"tokens:         0 /  8192", 6},
                                {"chars:          0 / 65535", 6},
                                {"compressed:     0 / 15360", 6}}));

    orbo_working().filename = carts + "game";
    orbo_working().tabs.tab[0] = "x = 1";
    run("info()");
    ASSERT_EQ(lines().size(), 4u);
    EXPECT_EQ(lines()[0], (line{"file: game.ob", 14}));
    EXPECT_EQ(lines()[1], (line{"tokens:         3 /  8192", 6}));
    EXPECT_EQ(lines()[2], (line{"chars:          5 / 65535", 6}));
    EXPECT_EQ(lines()[3].text.substr(0, 12), "compressed: ");

    std::string big;
    for (int i = 0; i < 3000; i++) big += "a=1\n";  // 9000 tokens
    orbo_working().filename = carts + "big.ob.png";
    orbo_working().tabs.tab[0] = big;
    run("info()");
    ASSERT_EQ(lines().size(), 4u);
    EXPECT_EQ(lines()[0], (line{"file: big.ob.png", 14}));
    EXPECT_EQ(lines()[1], (line{"tokens:      9000 /  8192", 9}));
    EXPECT_EQ(lines()[2], (line{"chars:      12000 / 65535", 6}));
    EXPECT_EQ(lines()[3].colour, 6);
}

TEST_F(commands_test, SaveWritesOnlyInExecModeAndOnlyUnderTheRoot)
{
    orbo_working().tabs.tab[0] = "print(1)";
    run("save('game')");
    EXPECT_TRUE(lines().empty());
    EXPECT_FALSE(fs::exists(carts + "game.ob"));

    pstate.exec_mode = 1;
    run("save()");
    EXPECT_EQ(lines(), (lines_t{{"please specify filename", 6}}));
    run("save('')");
    EXPECT_EQ(lines(), (lines_t{{"please specify filename", 6}}));
    run("save('" + std::string(512, 'f') + "')");
    EXPECT_EQ(lines(), (lines_t{{"filename too long", 6}}));

    run("save('game')");
    EXPECT_EQ(lines(), (lines_t{{"saved game.ob", 6}}));
    EXPECT_EQ(orbo_working().filename, carts + "game.ob");
    EXPECT_NE(read_file(carts + "game.ob").find("print(1)"), std::string::npos);

    fs::create_directories(carts + "sub");
    shell.current_dir = "sub/";
    run("save('two.ob')");
    EXPECT_EQ(lines(), (lines_t{{"saved two.ob", 6}}));
    EXPECT_TRUE(fs::exists(carts + "sub/two.ob"));

    for (const char* escape : {"../../evil", "/../evil", "x/../../../evil", "..", "/", ".", "x/", "x/."}) {
        run(std::string("save('") + escape + "')");
        EXPECT_EQ(lines(), (lines_t{{"save: failed", 7}})) << escape;
    }
    EXPECT_FALSE(fs::exists(root + "evil.ob"));
    EXPECT_EQ(orbo_working().filename, carts + "sub/two.ob");
}

TEST_F(commands_test, SaveToTheClipboardPutsThePngCartAsHex)
{
    pstate.exec_mode = 1;
    orbo_working().tabs.tab[0] = "circ(64,64,10)";
    for (const char* name : {"@clip", "@clip.ob", "@clip.png", "@clip.ob.png"}) {
        kiln_set_clipboard_text("");
        run(std::string("save('") + name + "')");
        EXPECT_EQ(lines(), (lines_t{{"warning: label is blank", 9},
                                    {"run cart and use f7 to capture", 10},
                                    {"saved to clipboard", 6}}))
            << name;
        std::string png = read_file(root + "_clip.ob.png");
        std::string hex = read_file(root + "_clip.ob.png.hex");
        ASSERT_EQ(hex.size(), png.size() * 2);
        char* clip = kiln_get_clipboard_text();
        EXPECT_EQ(std::string(clip), hex);
        free(clip);
        std::vector<unsigned char> back;
        for (size_t i = 0; i < hex.size(); i += 2) back.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
        orbo_cart_ptr loaded = load_orbo_cart_png_from_memory(back.data(), back.size());
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->code, "circ(64,64,10)");
    }
    EXPECT_FALSE(fs::exists(carts + "@clip.ob"));

    // With a label the warning goes; an unwritable root fails.
    orbo_working().cart->label = kiln_create_bitmap(128, 128, 8);
    orbo_cart_env_get().root = root + "missing/";
    run("save('@clip')");
    EXPECT_EQ(lines(), (lines_t{{"failed to save to clipboard", 6}}));
}

// A data file whose item 3 is the head cart and which has no item 6.
kiln_pod_ptr player_data_file()
{
    kiln_pod_ptr data = kiln_create_pod("data");
    for (int i = 0; i < 3; i++) kiln_pod_add_bytes(data.get(), "x", "x", 1);
    std::vector<uint8_t> head(0x8000, 0);
    kiln_pod_add_bytes(data.get(), "head", head.data(), head.size());
    kiln_pod_add_bytes(data.get(), "embedded", "__lua__\n", 8);
    return data;
}

std::vector<uint8_t> pod_bytes(const kiln_pod* pod)
{
    std::vector<uint8_t> out;
    EXPECT_TRUE(kiln_write_pod(pod, false, &out));
    return out;
}

TEST_F(commands_test, InstallWritesNothingFromItemsThatAreNoPods)
{
    shell.data = player_data_file();
    run("install_demos()");
    EXPECT_EQ(lines(), (lines_t{{"installing demo carts to /demos/", 14}, {"no demo carts in data file", 6}}));
    run("install_games()");
    EXPECT_EQ(lines(), (lines_t{{"no sample games in data file", 6}}));
    shell.data.reset();
    run("install_demos() install_games()");
    EXPECT_EQ(lines().size(), 3u);
    EXPECT_FALSE(fs::exists(carts + "demos/hello.ob"));
    EXPECT_FALSE(fs::exists(root + "favourites.txt"));
    EXPECT_FALSE(fs::exists(root + "bbs"));
}

TEST_F(commands_test, InstallWritesTheCartridgesOfPodItems)
{
    orbo_cart_ptr demo = orbo_create_cart();
    demo->code = "print('demo')";
    std::string text = orbo_cart_to_text(demo.get());
    kiln_pod_ptr demos = kiln_create_pod("demos");
    kiln_pod_add_bytes(demos.get(), "a", text.data(), text.size());
    kiln_pod_add_bytes(demos.get(), "junk", "not a cart", 10);
    kiln_pod_add_bytes(demos.get(), "c", text.data(), text.size());

    std::vector<unsigned char> png;
    ASSERT_EQ(orbo_cart_png_bytes(demo.get(), &png), 0);
    kiln_pod_ptr games = kiln_create_pod("games");
    kiln_pod_add_bytes(games.get(), "favourites", "|orbo_sample_1|", 15);
    kiln_pod_add_bytes(games.get(), "g1", png.data(), png.size());
    kiln_pod_add_bytes(games.get(), "g2", "junk", 4);

    kiln_pod_ptr data = player_data_file();
    std::vector<uint8_t> d = pod_bytes(demos.get()), g = pod_bytes(games.get());
    data->items[3].file->bytes = d;
    kiln_pod_add_bytes(data.get(), "x", "x", 1);
    kiln_pod_add_bytes(data.get(), "games", g.data(), g.size());
    shell.data = std::move(data);

    run("install_demos()");
    EXPECT_EQ(lines(), (lines_t{{"installing demo carts to /demos/", 14}, {"hello.ob", 6}, {"sprites.ob", 6}}));
    EXPECT_EQ(read_file(carts + "demos/hello.ob"), text);
    EXPECT_FALSE(fs::exists(carts + "demos/shapes.ob"));

    std::ofstream(root + "favourites.txt") << "|older|";
    run("install_games()");
    EXPECT_EQ(lines(), (lines_t{{"installed sample games", 6}, {"to scout favourites", 6}}));
    EXPECT_EQ(read_file(root + "favourites.txt"), "|older|\n|orbo_sample_1|\n");
    EXPECT_EQ(read_file(root + "bbs/carts/orbo_sample_1.ob.png"), std::string(png.begin(), png.end()));
    EXPECT_FALSE(fs::exists(root + "bbs/carts/orbo_sample_2.ob.png"));
}

TEST_F(commands_test, TheQuietFunctions)
{
    for (const char* f : {"help()", "reboot()", "shutdown()", "exit()"}) {
        EXPECT_TRUE(run(std::string("return ") + f).empty()) << f;
        EXPECT_TRUE(lines().empty()) << f;
    }
    run("scout()");
    EXPECT_EQ(lines(), (lines_t{{"sorry, scout is not available", 6}}));
    run("export()");
    EXPECT_EQ(lines(), (lines_t{{"please specify a file", 6}}));
    run("export('')");
    EXPECT_EQ(lines(), (lines_t{{"please specify a file", 6}}));
    EXPECT_EQ(orbo_cpu_charged, 0);
    run("export('x.ob') import('y.ob')");
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(orbo_cpu_charged, 8192);
    EXPECT_FALSE(fs::exists(carts + "x.ob"));
}

}  // namespace
