// Keys as hosts deliver them at their worst: Ctrl combinations whose press
// also arrives as typed text (as X11 sends Ctrl+1), and event storms.
#include <gtest/gtest.h>

#include "platform/config.h"
#include "platform/keys.h"

TEST(KeysHostile, CtrlOneTogglesOncePerPressWhenTheTextFollows)
{
    kiln_config_default();
    kiln_keys_init();
    uint8_t sample[KILN_KEYS] = {};
    sample[KILN_SC_LCTRL] = 1;
    kiln_host_event down;
    down.kind = kiln_host_event::KEY_DOWN;
    down.scancode = KILN_SC_1;
    down.sym = '1';
    kiln_host_event text;
    text.kind = kiln_host_event::TEXT;
    text.text[0] = '1';
    for (int press = 1; press <= 3; press++) {
        uint32_t now = uint32_t(press) * 100;
        kiln_keys_sample(sample, 0, now);
        bool produced = false;
        kiln_keys_event(down, now, &produced);
        kiln_keys_event(text, now, &produced);
        kiln_keys_end_pass(produced);
        EXPECT_EQ(cconfig.show_fps, press % 2) << press;
    }
    EXPECT_FALSE(kiln_keypressed());  // nothing reached the typed-key queue
}

// Hundreds of events in one pass: the queue keeps its bound, every key is
// released afterwards (nothing stuck), and the next pass reads normally.
TEST(KeysHostile, AStormOfEventsInOnePassLeavesNothingStuck)
{
    kiln_config_default();
    kiln_keys_init();
    uint8_t sample[KILN_KEYS] = {};
    kiln_keys_sample(sample, 0, 100);
    bool produced = false;
    for (int i = 0; i < 600; i++) {
        kiln_host_event down;
        down.kind = kiln_host_event::KEY_DOWN;
        down.scancode = 4 + i % 26;  // the letter keys
        down.sym = 'a' + i % 26;
        kiln_keys_event(down, 100, &produced);
        kiln_host_event text;
        text.kind = kiln_host_event::TEXT;
        text.text[0] = char('a' + i % 26);
        kiln_keys_event(text, 100, &produced);
    }
    kiln_keys_end_pass(produced);
    int typed = 0;
    while (kiln_keypressed()) kiln_readkey(), typed++;
    EXPECT_EQ(typed, KILN_KEY_QUEUE);
    kiln_keys_sample(sample, 0, 200);  // all keys up in the next sample
    kiln_keys_end_pass(false);
    EXPECT_EQ(kiln_get_any_key_down(), 0);
    for (int sc = 4; sc < 30; sc++) EXPECT_EQ(kiln_get_key_state(sc), 0) << sc;
}
