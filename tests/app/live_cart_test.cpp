// The live cartridge record, reload and cstore through the shell's wiring,
// and the message bar the cartridge layer writes to.
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

// Pokes, reloads and new runs against the loaded ROM run in the cartridge
// suite; a save, too, writes the cartridge as loaded.
TEST_F(LiveCartTest, SaveWritesTheCartridgeAsLoadedNotAsPoked)
{
    orbo_cart* loaded = orbo_working().cart.get();
    orbo_rom_poke(loaded, 0x3200, 0x0c);
    ASSERT_TRUE(start("poke(1,9) poke(0x3200,0x3f) poke(0x3000,5)\n"));
    frame();
    EXPECT_NE(orbo_live_machine()->cart, loaded);
    std::string file = root + "saved.ob";
    ASSERT_EQ(save_working_cart(file.c_str()), 0);
    orbo_cart_ptr saved = orbo_load_cart(file.c_str());
    ASSERT_TRUE(saved);
    EXPECT_EQ(orbo_rom_peek(saved.get(), 1), 0);
    EXPECT_EQ(orbo_rom_peek(saved.get(), 0x3200), 0x0c);
    EXPECT_EQ(orbo_rom_peek(saved.get(), 0x3000), 0);
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
