// Cartridge data: the store, its file, the bindings and the saves.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "../support/read_file.h"
#include "engine/lua/lauxlib.h"
#include "hardware/api/api.h"
#include "hardware/cdata.h"
#include "hardware/machine.h"
#include "hardware/lua_alloc.h"
#include "hardware/mem.h"
#include "hardware/runtime_link.h"
#include "platform/kiln.h"

namespace {
namespace fs = std::filesystem;

std::string zeros(int n) { return std::string(size_t(n), '0'); }

// The program state the runtime reports through its hooks.
bool g_running = true;
std::string g_cart_id;

struct cdata_test : ::testing::Test {
    orbo_cart_ptr cart = orbo_create_cart();
    orbo_machine* c = nullptr;
    lua_State* L = nullptr;
    std::string dir;

    void SetUp() override
    {
        dir = testing::TempDir() + "cdata_" + std::to_string(getpid()) + "_" +
              testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        fs::remove_all(dir);
        fs::create_directories(dir);
        orbo_cdata_folder = dir;
        g_running = true;
        g_cart_id.clear();
        orbo_cdata_close();
        orbo_cdata_without_store = false;
        orbo_reset_glitch = 0;
        hooks();
        orbo_recreate_live_machine();
        c = orbo_live_machine();
        c->cart = cart.get();
        L = lua_newstate(orbo_lua_alloc, &c->heap);
        add_c_functions(L);
    }
    void TearDown() override
    {
        lua_close(L);
        orbo_cdata_close();
        orbo_cdata_without_store = false;
        orbo_reset_runtime_hooks();
        orbo_cdata_folder.clear();
        fs::remove_all(dir);
    }
    // Runs a chunk; fails the test on a script error.
    void run(const std::string& code)
    {
        ASSERT_EQ(luaL_loadstring(L, code.c_str()), LUA_OK) << code;
        ASSERT_EQ(lua_pcall(L, 0, 0, 0), LUA_OK) << lua_tostring(L, -1);
    }
    // The value of an expression as its text ("nil", "true", numbers as
    // the console prints them).
    std::string eval(const std::string& expr)
    {
        std::string code = "local v = " + expr + " return v == nil and 'nil' or v == true and 'true' or v == false and 'false' or v";
        EXPECT_EQ(luaL_loadstring(L, code.c_str()), LUA_OK) << code;
        if (lua_pcall(L, 0, 1, 0) != LUA_OK) return std::string("error: ") + lua_tostring(L, -1);
        std::string s = lua_tostring(L, -1);
        lua_pop(L, 1);
        return s;
    }
    // The number of values a call returns.
    int results(const std::string& call)
    {
        int top = lua_gettop(L);
        EXPECT_EQ(luaL_loadstring(L, ("return " + call).c_str()), LUA_OK);
        EXPECT_EQ(lua_pcall(L, 0, LUA_MULTRET, 0), LUA_OK);
        int n = lua_gettop(L) - top;
        lua_settop(L, top);
        return n;
    }
    std::string file(const std::string& id) { return dir + id + ".obd.txt"; }
    void write(const std::string& id, const std::string& bytes)
    {
        std::ofstream(file(id), std::ios::binary) << bytes;
    }
    // The default hooks with the program state above.
    static void hooks()
    {
        orbo_reset_runtime_hooks();
        orbo_runtime_hooks.program_running = [] { return g_running; };
        orbo_runtime_hooks.cart_id = []() -> const std::string& { return g_cart_id; };
    }
    // A new run: the store closes, the words stay.
    void new_run()
    {
        orbo_cdata_close();
        hooks();
    }
};

TEST_F(cdata_test, FreshIdReturnsFalseAndTheFirstSaveWritesTheExactFile)
{
    EXPECT_EQ(eval("cartdata('my_game_01')"), "false");
    EXPECT_EQ(orbo_cdata_id(), "my_game_01");
    EXPECT_FALSE(fs::exists(file("my_game_01")));  // created by the first save only
    run("dset(0, 1.5)");
    EXPECT_TRUE(c->cdata_dirty);
    EXPECT_EQ(c->cdata[0], 0x18000u);

    orbo_cdata_periodic_save(1000);  // not more than a second since the clock's start
    EXPECT_FALSE(fs::exists(file("my_game_01")));
    orbo_cdata_periodic_save(1001);
    std::string expected = "00018000" + zeros(56) + "\n";
    for (int k = 1; k < 8; k++) expected += zeros(64) + "\n";
    ASSERT_EQ(expected.size(), 520u);
    EXPECT_EQ(read_file(file("my_game_01")), expected);
    EXPECT_FALSE(c->cdata_dirty);
    EXPECT_EQ(orbo_runtime_errors, 0);

    // The next change waits until more than a second after that save.
    run("dset(63, -1)");
    orbo_cdata_periodic_save(2001);
    EXPECT_EQ(read_file(file("my_game_01")), expected);
    EXPECT_TRUE(c->cdata_dirty);
    orbo_cdata_periodic_save(2002);
    EXPECT_EQ(read_file(file("my_game_01")).substr(511), "ffff0000\n");

    // Not dirty: nothing is written even after a long time.
    fs::remove(file("my_game_01"));
    orbo_cdata_periodic_save(90000);
    EXPECT_FALSE(fs::exists(file("my_game_01")));

    // The next run reads it back as a loaded store.
    c->cdata_dirty = true;
    ASSERT_EQ(save_cdata(), 0);
    new_run();
    memset(c->cdata, 0x55, sizeof c->cdata);
    EXPECT_EQ(eval("cartdata('my_game_01')"), "true");
    EXPECT_EQ(eval("dget(0)"), "1.5");
    EXPECT_EQ(eval("dget(63)"), "-1");
    EXPECT_EQ(c->cdata[1], 0u);
}

// Refused ids of every kind run as a session over the real program; here a
// zero byte, which a command line cannot carry, and the forms that pass.
TEST_F(cdata_test, IdsAreCheckedBeforeAnythingOpens)
{
    EXPECT_EQ(eval("cartdata('a\\0b')"), "false");
    EXPECT_EQ(orbo_last_runtime_error, "cart data id: bad char");
    EXPECT_FALSE(orbo_cdata_is_open());
    EXPECT_TRUE(fs::is_empty(dir));

    // 64 characters and every allowed class pass; a number becomes its text.
    new_run();
    EXPECT_EQ(eval("cartdata('" + std::string(60, 'z') + "_0_9')"), "false");
    EXPECT_EQ(orbo_runtime_errors, 0);
    new_run();
    EXPECT_EQ(eval("cartdata(123)"), "false");
    EXPECT_EQ(orbo_cdata_id(), "123");

    // No argument, or one that is no string: nothing returned, no store.
    new_run();
    for (const char* arg : {"", "{}", "nil"}) EXPECT_EQ(results(std::string("cartdata(") + arg + ")"), 0) << arg;
    EXPECT_FALSE(orbo_cdata_is_open());
    EXPECT_EQ(load_cdata(nullptr), 3);
}

TEST_F(cdata_test, SecondCartdataIsRefusedAndOutsideAProgramNothingOpens)
{
    EXPECT_EQ(eval("cartdata('one')"), "false");
    EXPECT_EQ(eval("cartdata('two')"), "false");
    EXPECT_EQ(orbo_last_runtime_error, "cartdata() can only be called once");
    EXPECT_EQ(orbo_cdata_id(), "one");
    EXPECT_EQ(eval("cartdata('one')"), "false");  // even the same id
    EXPECT_EQ(orbo_runtime_errors, 2);

    new_run();
    write("three", "00010000");
    g_running = false;
    EXPECT_EQ(load_cdata("three"), 1);
    EXPECT_EQ(load_cdata("BAD"), 1);  // not even checked
    EXPECT_EQ(orbo_runtime_errors, 0);
    EXPECT_FALSE(orbo_cdata_is_open());
    g_running = true;
    EXPECT_EQ(load_cdata("three"), 0);
    EXPECT_EQ(c->cdata[0], 0x10000u);
}

// Indices outside the store do nothing and leave it clean; the index is
// floored and the value's raw bits are stored unchanged (the common cases
// run in the cartridge suite).
TEST_F(cdata_test, IndicesOutsideTheStoreDoNothing)
{
    run("cartdata('idx')");
    c->cdata_dirty = false;
    run("dset(64, 1) dset(-1, 1) dset(32767, 1) dset(-32768, 1)");
    for (uint32_t w : c->cdata) EXPECT_EQ(w, 0u);
    EXPECT_FALSE(c->cdata_dirty);
    run("dset(1.9, 7) dset(2, 0x.0001) dset(3, -32768) dset(0, 5) dset()");
    EXPECT_EQ(c->cdata[1], 0x70000u);
    EXPECT_EQ(c->cdata[2], 1u);
    EXPECT_EQ(c->cdata[3], 0x80000000u);
    EXPECT_EQ(c->cdata[0], 0u);  // missing arguments read as 0
    EXPECT_EQ(eval("dget(-0.5)"), "0");  // floors to -1
    EXPECT_EQ(eval("dget()"), "0");
}

TEST_F(cdata_test, LoadingCollectsHexDigitsOnly)
{
    uint32_t want[64];
    for (int i = 0; i < 64; i++) want[i] = uint32_t(i) * 0x9e3779b9u;
    std::string lf = orbo_cdata_format(want);
    std::string crlf, upper;
    for (char ch : lf) {
        if (ch == '\n') crlf += '\r';
        crlf += ch;
        upper += char(toupper(ch));
    }
    for (const std::string* text : {&lf, &crlf, &upper}) {
        new_run();
        write("hex", *text);
        EXPECT_EQ(eval("cartdata('hex')"), "true");
        for (int i = 0; i < 64; i++) EXPECT_EQ(c->cdata[i], want[i]) << i;
    }

    // Short: the words covered load, the rest are 0; a cut group holds the
    // digits it has. Other text is skipped.
    new_run();
    c->cdata[5] = 99;
    write("short", "x: 00018000 | y: 0001");
    EXPECT_EQ(eval("cartdata('short')"), "true");
    EXPECT_EQ(c->cdata[0], 0x18000u);
    EXPECT_EQ(c->cdata[1], 1u);
    EXPECT_EQ(c->cdata[5], 0u);

    // Only the first 1024 bytes are looked at, and at most 512 digits.
    new_run();
    write("far", std::string(1020, '\n') + "12345678");
    EXPECT_EQ(eval("cartdata('far')"), "true");
    EXPECT_EQ(c->cdata[0], 0x1234u);
    new_run();
    write("many", lf + "ffffffff");
    EXPECT_EQ(eval("cartdata('many')"), "true");
    for (int i = 0; i < 64; i++) EXPECT_EQ(c->cdata[i], want[i]) << i;

    // A missing file: an open, empty store.
    new_run();
    c->cdata[7] = 7;
    EXPECT_EQ(eval("cartdata('none')"), "false");
    EXPECT_TRUE(orbo_cdata_is_open());
    EXPECT_EQ(c->cdata[7], 0u);
}

TEST_F(cdata_test, FormatAndParseRoundTrip)
{
    uint32_t words[64], back[64];
    uint32_t x = 12345;
    for (int round = 0; round < 50; round++) {
        for (uint32_t& w : words) w = x = x * 1664525u + 1013904223u;
        std::string text = orbo_cdata_format(words);
        ASSERT_EQ(text.size(), ORBO_CDATA_FILE_SIZE);
        for (size_t i = 0; i < text.size(); i++) {
            if (i % 65 == 64) {
                ASSERT_EQ(text[i], '\n');
            } else {
                ASSERT_TRUE(isdigit(text[i]) || (text[i] >= 'a' && text[i] <= 'f'));
            }
        }
        orbo_cdata_parse(reinterpret_cast<const unsigned char*>(text.data()), text.size(), back);
        ASSERT_EQ(memcmp(words, back, sizeof words), 0);
    }
}

TEST_F(cdata_test, DataWithoutAStoreWorksUnderTheFlagOrABoardIdButIsNeverSaved)
{
    orbo_cdata_without_store = true;
    run("dset(0, 2)");
    EXPECT_EQ(eval("dget(0)"), "2");
    orbo_cdata_without_store = false;

    g_cart_id = "board_cart";
    run("dset(1, 3)");
    EXPECT_EQ(eval("dget(1)"), "3");
    EXPECT_EQ(orbo_runtime_errors, 0);
    EXPECT_TRUE(c->cdata_dirty);
    EXPECT_EQ(save_cdata(), 1);
    orbo_cdata_periodic_save(5000);
    EXPECT_FALSE(c->cdata_dirty);
    EXPECT_TRUE(fs::is_empty(dir));

    // A board id counts only while a program runs.
    g_running = false;
    lua_State* co = lua_newthread(L);
    ASSERT_EQ(luaL_loadstring(co, "dset(1, 4)"), LUA_OK);
    EXPECT_EQ(lua_resume(co, L, 0), LUA_YIELD);
    EXPECT_EQ(orbo_last_runtime_error, "** dset called before cartdata()");
    g_cart_id.clear();
}

TEST_F(cdata_test, SavingIsSkippedWithoutAProgramOrAFolderAndClearsDirty)
{
    run("cartdata('skip') dset(0, 1)");
    g_running = false;
    EXPECT_EQ(save_cdata(), 1);
    EXPECT_FALSE(c->cdata_dirty);
    EXPECT_TRUE(fs::is_empty(dir));
    g_running = true;

    orbo_cdata_folder = dir + "missing/";
    c->cdata_dirty = true;
    EXPECT_EQ(save_cdata(), 1);
    EXPECT_FALSE(c->cdata_dirty);
    orbo_cdata_folder = dir;
    EXPECT_EQ(save_cdata(), 0);
    EXPECT_TRUE(fs::exists(file("skip")));

    // After close the words stay, but nothing is saved under the old id.
    new_run();
    EXPECT_EQ(c->cdata[0], 0x10000u);
    EXPECT_EQ(save_cdata(), 1);
}

// A save that fails while writing leaves the previous file whole and no
// temporary file behind.
TEST_F(cdata_test, AFailedWriteKeepsThePreviousFile)
{
    run("cartdata('safe') dset(0, 1)");
    ASSERT_EQ(save_cdata(), 0);
    std::string before = read_file(file("safe"));
    run("dset(0, 2) dset(63, 3)");

    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100;  // the write of 520 bytes fails part-way
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int result = save_cdata();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, old_handler);

    EXPECT_EQ(result, 1);
    EXPECT_EQ(read_file(file("safe")), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    c->cdata_dirty = true;
    EXPECT_EQ(save_cdata(), 0);  // the words were kept: a retry writes them
    EXPECT_EQ(read_file(file("safe")).substr(0, 8), "00020000");
}

}  // namespace
