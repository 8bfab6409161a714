// The live cartridge record, reload and cstore through the shell's wiring,
// and the end of a program in exec mode with an action still waiting.
#include <unistd.h>
#include <filesystem>

#include "app/state.h"
#include "app/wiring.h"
#include "runtime/pstate.h"
#include "cart/cart_env.h"
#include "cart/cart_partial.h"
#include "cart/cart_text.h"
#include "cart/rom.h"
#include "hardware/sound_link.h"
#include "hardware/mem.h"
#include "../runtime/rt_fixture.h"

namespace {
struct LiveCartTest : RuntimeTest {
    std::string root;

    void SetUp() override
    {
        RuntimeTest::SetUp();
        orbo_wire_layers();
        // Files stay in a folder of the test's own, never in the user's root.
        root = testing::TempDir() + "orbo_live_cart_test_" + std::to_string(getpid()) + "/";
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root + "cstore");
        orbo_cart_env_get().root = root;
        orbo_last_partial_file().clear();
        orbo_reset_written_names();
        orbo_working().cart = orbo_create_cart();
        orbo_working().filename.clear();
        orbo_working().hash = "0123";
    }
    void TearDown() override
    {
        std::filesystem::remove_all(root);
        RuntimeTest::TearDown();
    }
    int peek(int addr)
    {
        orbo_machine* c = orbo_live_machine();
        return orbo_peek(c, c->cart, addr);
    }
};
}  // namespace

TEST_F(LiveCartTest, PokesNeverReachTheLoadedCartridge)
{
    orbo_cart* loaded = orbo_working().cart.get();
    orbo_rom_poke(loaded, 0, 0x21);
    orbo_rom_poke(loaded, 0x3200, 0x0c);
    ASSERT_TRUE(start("poke(0,7) a=peek(0) reload(0,0,1) b=peek(0)\n"
                      "poke(1,9) poke(0x3200,0x3f) poke(0x3000,5) poke(0x2000,3)\n"));
    frame();
    EXPECT_EQ(global_int("a"), 7);
    EXPECT_EQ(global_int("b"), 0x21);  // reload copies from the cartridge as loaded
    EXPECT_NE(orbo_live_machine()->cart, loaded);
    EXPECT_EQ(peek(1), 9);
    EXPECT_EQ(orbo_rom_peek(loaded, 0), 0x21);
    EXPECT_EQ(orbo_rom_peek(loaded, 1), 0);
    EXPECT_EQ(orbo_rom_peek(loaded, 0x3200), 0x0c);
    EXPECT_EQ(orbo_rom_peek(loaded, 0x3000), 0);
    EXPECT_EQ(orbo_rom_peek(loaded, 0x2000), 0);

    // A save writes the cartridge as loaded, not what the program poked.
    std::string file = root + "saved.ob";
    ASSERT_EQ(save_working_cart(file.c_str()), 0);
    orbo_cart_ptr saved = orbo_load_cart(file.c_str());
    ASSERT_TRUE(saved);
    EXPECT_EQ(orbo_rom_peek(saved.get(), 0), 0x21);
    EXPECT_EQ(orbo_rom_peek(saved.get(), 1), 0);
    EXPECT_EQ(orbo_rom_peek(saved.get(), 0x3200), 0x0c);

    // A new run starts from the loaded ROM again.
    ASSERT_TRUE(start("a=peek(1) b=peek(0x3200) c=peek(0x3000)\n"));
    frame();
    EXPECT_EQ(global_int("a"), 0);
    EXPECT_EQ(global_int("b"), 0x0c);
    EXPECT_EQ(global_int("c"), 0);
}

TEST_F(LiveCartTest, CstoreWithoutANameWritesTheLoadedCartridge)
{
    ASSERT_TRUE(start("poke(0x40,0x5c) r=cstore(0x40,0x40,1) poke(0x40,0) reload(0x40,0x40,1) a=peek(0x40)\n"));
    frame();
    EXPECT_EQ(global_int("r"), 1);
    EXPECT_EQ(global_int("a"), 0x5c);
    EXPECT_EQ(orbo_rom_peek(orbo_working().cart.get(), 0x40), 0x5c);
    orbo_cart_ptr stored = orbo_load_cart(get_sandboxed_cstore_filename("0123").c_str());
    ASSERT_TRUE(stored);
    EXPECT_EQ(orbo_rom_peek(stored.get(), 0x40), 0x5c);
}

TEST_F(LiveCartTest, NamedFilesReachConsoleMemoryAndHoldTheProgram)
{
    ASSERT_TRUE(start("memset(0x4340,0x5a,16) r1=cstore(0x100,0x4340,16,'side.ob')\n"
                      "memset(0x4340,0,16) r2=reload(0x4400,0x100,16,'side.ob')\n"
                      "a=peek(0x4400) b=peek(0x440f) c=peek(0x4410) d=peek(0x100)\n"
                      "poke(0x200,0x65) cstore(0x200,0x200,1,'side.ob') poke(0x200,0) reload(0x300,0x200,1,'side.ob')\n"
                      "e=sget(0,12) f=sget(1,12)\n"
                      "n=0 function _update() n+=1 end\n"));
    frame();
    EXPECT_EQ(global_int("r1"), 16);
    EXPECT_EQ(global_int("r2"), 16);
    EXPECT_EQ(global_int("a"), 0x5a);
    EXPECT_EQ(global_int("b"), 0x5a);
    EXPECT_EQ(global_int("c"), 0);
    EXPECT_EQ(global_int("d"), 0);  // cstore reads memory, it does not write it
    EXPECT_EQ(global_int("e"), 5);
    EXPECT_EQ(global_int("f"), 6);
    EXPECT_TRUE(std::filesystem::exists(root + "cstore/side.ob"));
    // The first frame's _update ran; then 30 frames hold the program.
    EXPECT_EQ(global_int("n"), 1);
    EXPECT_EQ(pstate.hold_frames, 30);
    frames(30);
    EXPECT_EQ(global_int("n"), 1);
    EXPECT_EQ(pstate.hold_frames, 0);
    frame();
    EXPECT_EQ(global_int("n"), 2);
}

TEST_F(LiveCartTest, PlainReloadAfterANamedOneHoldsAgain)
{
    orbo_cart_ptr side = orbo_create_cart();
    orbo_rom_poke(side.get(), 5, 0x42);
    ASSERT_EQ(orbo_save_cart(side.get(), (root + "cstore/other.ob").c_str()), 0);
    ASSERT_TRUE(start("reload(0x4300,5,1,'other.ob') a=peek(0x4300) n=0\n"
                      "function _update() n+=1 if n==2 then reload(0,0,1) end end\n"));
    frame();
    EXPECT_EQ(global_int("a"), 0x42);
    EXPECT_EQ(global_int("n"), 1);
    EXPECT_EQ(pstate.hold_frames, 30);
    frames(30);
    EXPECT_EQ(global_int("n"), 1);
    // The second _update's plain reload holds another 30 frames, once.
    frame();
    EXPECT_EQ(global_int("n"), 2);
    EXPECT_EQ(pstate.hold_frames, 30);
    EXPECT_TRUE(orbo_last_partial_file().empty());
    frames(31);
    EXPECT_EQ(global_int("n"), 3);
    EXPECT_EQ(pstate.hold_frames, 0);
}

TEST_F(LiveCartTest, MessagesReachTheMessageBar)
{
    host.now = 5000;
    orbo_cart_message("saved game.ob", 1000);
    EXPECT_STREQ(app.message, "saved game.ob");
    EXPECT_EQ(app.message_start, 5000u);
    EXPECT_EQ(app.message_end, 6400u);
    EXPECT_EQ(app.message_col, 15);
    // The bindings' messages take the same path: a program's first use of
    // the devkit mouse.
    ASSERT_TRUE(start("poke(0x5f2d, 1) x = stat(32)"));
    frames(1);
    EXPECT_STREQ(app.message, "devkit mouse enabled");
    EXPECT_EQ(app.message_end - app.message_start, 2400u);
    EXPECT_EQ(app.message_col, 7);
    std::string long_text(400, 'x');
    orbo_cart_message(long_text.c_str(), 10);
    EXPECT_EQ(std::string(app.message), long_text.substr(0, 255));
    EXPECT_EQ(app.message_col, 15);
}

TEST_F(LiveCartTest, ExecModeReportsAnErrorOfTheLastSlice)
{
    ASSERT_TRUE(start("poke(0x8000,1)\n"));
    std::string out = console_lines([&] {
        frame();
        EXPECT_FALSE(running());
        EXPECT_FALSE(kiln_quit);  // the error still waits
        EXPECT_EQ(pstate.pending_action, ACTION_STOP_RESET);
        frame();
    });
    EXPECT_EQ(out, "** \n** bad memory access\n");
    EXPECT_TRUE(kiln_quit);
    EXPECT_EQ(pstate.pending_action, ACTION_NONE);
}

TEST_F(LiveCartTest, ExecModeRunsARequestOfTheLastSlice)
{
    orbo_machine* c = orbo_live_machine();
    orbo_poke(c, c->cart, 0x4300, 0);
    // General-purpose memory survives runs: the program counts them.
    ASSERT_TRUE(start("poke(0x4300,peek(0x4300)+1) if peek(0x4300)<3 then run() end\n"));
    frames(6);
    EXPECT_EQ(peek(0x4300), 3);
    EXPECT_TRUE(kiln_quit);
    EXPECT_FALSE(running());
}
