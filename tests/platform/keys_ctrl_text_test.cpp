// Ctrl combinations whose key press also arrives as typed text (as X11 sends
// Ctrl+1) act once per press.
#include <gtest/gtest.h>

#include "platform/config.h"
#include "platform/keys.h"

TEST(KeysCtrlText, CtrlOneTogglesOncePerPressWhenTheTextFollows)
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
