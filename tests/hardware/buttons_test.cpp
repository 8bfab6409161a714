// Keys to buttons through the platform's key table (the pass's keyboard
// sample), configured keys replacing the defaults, and the key
// configuration screen assigning keys.
#include <gtest/gtest.h>

#include <cstring>

#include "hardware/buttons.h"
#include "hardware/keyconfig.h"
#include "platform/keys.h"

namespace {
constexpr int SC_W = 26, SC_KP_8 = 96, SC_P = 19, SC_Q = 20, SC_DELETE = 76;

class Buttons : public ::testing::Test {
protected:
    void SetUp() override
    {
        kiln_keys_init();
        memset(keys, 0, sizeof keys);
        orbo_button_config = orbo_button_sources{};
        orbo_button_config.keys = keys;
        orbo_button_config.escape_pauses = [] { return true; };
        block_buttons();
        hold({});
        hold({});
    }
    // One pass with exactly these keys held, then a frame of the buttons.
    void hold(std::initializer_list<int> held)
    {
        uint8_t sample[KILN_KEYS] = {};
        for (int k : held) sample[k] = 1;
        kiln_keys_sample(sample, 0, now += 33);
        update_buttons();
        read_buttons();
    }
    bool down(int p, int b) { return orbo_buttons().down[p * ORBO_PAD_BUTTONS + b] != 0; }
    int keys[ORBO_CUSTOM_KEYS];
    uint32_t now = 1000;
};
}  // namespace

TEST_F(Buttons, DefaultAndConfiguredKeys)
{
    hold({KILN_SC_UP, KILN_SC_LSHIFT, KILN_SC_ESCAPE});
    EXPECT_TRUE(down(0, 2));
    EXPECT_TRUE(down(1, 4));
    EXPECT_TRUE(down(0, 6)) << "Escape pauses while a program runs";
    hold({});
    keys[2] = SC_W;   // player 0 up
    keys[12] = SC_Q;  // pause
    hold({KILN_SC_UP, SC_KP_8, KILN_SC_ESCAPE, SC_P});
    EXPECT_FALSE(down(0, 2)) << "UP and KP_8 no longer move player 0 up";
    EXPECT_FALSE(down(0, 6)) << "the pause key replaces P and Escape";
    hold({SC_W, SC_Q});
    EXPECT_TRUE(down(0, 2));
    EXPECT_TRUE(down(0, 6));
}

TEST_F(Buttons, KeyConfigurationAssignsHeldKeysInTurn)
{
    keys[0] = SC_Q;
    ASSERT_TRUE(keyconfig_init());
    hold({KILN_SC_A});  // held at the start: ignored until all keys are up
    EXPECT_TRUE(keyconfig_update());
    EXPECT_EQ(keyconfig_index(), 0);
    hold({});
    keyconfig_update();
    hold({KILN_SC_A, KILN_SC_Z});  // two keys together: two bindings
    keyconfig_update();
    EXPECT_EQ(keyconfig_index(), 2);
    EXPECT_EQ(keys[0], KILN_SC_A);
    EXPECT_EQ(keys[1], KILN_SC_Z);
    hold({});
    keyconfig_update();
    hold({SC_DELETE});
    keyconfig_update();
    EXPECT_EQ(keys[2], 0) << "Delete restores the default keys";
    // Escape before the last binding restores the keys it started with.
    kiln_host_event esc;
    esc.kind = kiln_host_event::KEY_DOWN;
    esc.scancode = KILN_SC_ESCAPE;
    bool produced = false;
    kiln_keys_event(esc, now, &produced);
    EXPECT_FALSE(keyconfig_update());
    EXPECT_EQ(keys[0], SC_Q);
    EXPECT_EQ(keys[1], 0);
}
