// Game controllers through SDL's own game-controller path: virtual pads
// attached with SDL_JoystickAttachVirtualEx drive the buttons of players 0
// and 1 (stick beyond and inside the dead zone, d-pad, buttons), come and
// go while the console samples them, and never leave a button held.
#include <SDL.h>
#include <gtest/gtest.h>

#include <deque>

#include "../support/virtual_pad.h"
#include "hardware/buttons.h"
#include "platform/config.h"
#include "platform/joystick.h"
#include "platform/keys.h"
#include "platform/kiln.h"

kiln_host* kiln_sdl_host();

namespace {
struct virtual_pad {
    int device = -1;
    SDL_Joystick* joy = nullptr;
};

class VirtualPad : public ::testing::Test {
protected:
    void SetUp() override
    {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        kiln_host_set(kiln_sdl_host());
        ASSERT_TRUE(kiln_host_get()->system_init()) << SDL_GetError();
        cconfig.foreground_sleep_ms = cconfig.background_sleep_ms = 0;
        kiln_keys_init();
        kiln_joystick_init();
        joystick_index = 0;
        orbo_button_config = orbo_button_sources{};
        orbo_button_config.joystick_index = &joystick_index;
        block_buttons();
    }
    void TearDown() override
    {
        for (virtual_pad& p : pads) detach(p);
        kiln_handle_system_messages();
        kiln_joystick_exit();
        kiln_host_get()->system_exit();
    }

    virtual_pad& attach()
    {
        virtual_pad p;
        p.device = attach_virtual_pad();
        EXPECT_GE(p.device, 0) << SDL_GetError();
        p.joy = SDL_JoystickOpen(p.device);
        EXPECT_NE(p.joy, nullptr) << SDL_GetError();
        pads.push_back(p);
        return pads.back();
    }
    void detach(virtual_pad& p)
    {
        if (!p.joy) return;
        SDL_JoystickID id = SDL_JoystickInstanceID(p.joy);
        SDL_JoystickClose(p.joy);
        p.joy = nullptr;
        for (int d = 0; d < SDL_NumJoysticks(); d++)
            if (SDL_JoystickGetDeviceInstanceID(d) == id) SDL_JoystickDetachVirtual(d);
    }

    // One console frame: the host pass (events, hot-plugging), then the
    // buttons' update and sample.
    void frame()
    {
        kiln_handle_system_messages();
        update_buttons();
        read_buttons();
    }
    bool down(int p, int b) { return orbo_buttons().down[p * ORBO_PAD_BUTTONS + b] != 0; }

    int joystick_index = 0;
    std::deque<virtual_pad> pads;  // references stay valid as pads are added
};

void axis(virtual_pad& p, SDL_GameControllerAxis a, int v) { SDL_JoystickSetVirtualAxis(p.joy, a, Sint16(v)); }
void button(virtual_pad& p, SDL_GameControllerButton b, bool on) { SDL_JoystickSetVirtualButton(p.joy, b, on); }
}  // namespace

TEST_F(VirtualPad, DrivesPlayersZeroAndOneWithDeadZoneAndDpad)
{
    virtual_pad& a = attach();
    virtual_pad& b = attach();
    frame();
    ASSERT_EQ(kiln_count_joysticks(), 2);

    button(b, SDL_CONTROLLER_BUTTON_A, true);
    axis(a, SDL_CONTROLLER_AXIS_LEFTX, 20000);  // beyond half the range
    frame();
    EXPECT_TRUE(down(1, 4));
    EXPECT_FALSE(down(0, 4));
    EXPECT_TRUE(down(0, 1));
    EXPECT_FALSE(down(0, 0));

    axis(a, SDL_CONTROLLER_AXIS_LEFTX, 8192);  // a quarter: inside the dead zone
    frame();
    EXPECT_FALSE(down(0, 1));
    button(a, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    frame();
    EXPECT_TRUE(down(0, 0)) << "inside the dead zone the d-pad decides";
    button(a, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    axis(a, SDL_CONTROLLER_AXIS_LEFTY, -30000);
    button(b, SDL_CONTROLLER_BUTTON_START, true);
    button(b, SDL_CONTROLLER_BUTTON_A, false);
    button(b, SDL_CONTROLLER_BUTTON_B, true);
    frame();
    EXPECT_TRUE(down(0, 2));
    EXPECT_FALSE(down(0, 0));
    EXPECT_TRUE(down(1, 6));
    EXPECT_TRUE(down(1, 5));
    EXPECT_FALSE(down(1, 4));

    // joystick_index 1: the first pad is player 1's.
    joystick_index = 1;
    frame();
    EXPECT_TRUE(down(1, 2));
    EXPECT_TRUE(down(2, 6));
}

TEST_F(VirtualPad, UnpluggedMidPressLeavesNoButtonHeld)
{
    virtual_pad& a = attach();
    frame();
    button(a, SDL_CONTROLLER_BUTTON_X, true);
    axis(a, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    frame();
    ASSERT_TRUE(down(0, 5));
    ASSERT_TRUE(down(0, 0));
    detach(a);
    frame();
    EXPECT_EQ(kiln_count_joysticks(), 0);
    for (int i = 0; i < ORBO_BUTTON_COUNT; i++) EXPECT_EQ(orbo_buttons().down[i], 0) << i;
    // Plugged in again with the button held: it counts once released.
    virtual_pad& again = attach();
    button(again, SDL_CONTROLLER_BUTTON_X, true);
    frame();
    EXPECT_FALSE(down(0, 5));
    button(again, SDL_CONTROLLER_BUTTON_X, false);
    frame();
    button(again, SDL_CONTROLLER_BUTTON_X, true);
    frame();
    EXPECT_TRUE(down(0, 5));
}

TEST_F(VirtualPad, EightAtOnceANinthWaitsAndChurnEveryFrame)
{
    for (int i = 0; i < 9; i++) attach();
    frame();
    EXPECT_EQ(kiln_count_joysticks(), 8);
    button(pads[7], SDL_CONTROLLER_BUTTON_A, true);
    button(pads[8], SDL_CONTROLLER_BUTTON_B, true);
    frame();
    EXPECT_TRUE(down(7, 4));
    // The ninth takes the slot the third leaves.
    detach(pads[2]);
    frame();
    EXPECT_EQ(kiln_count_joysticks(), 8);
    EXPECT_FALSE(down(2, 5)) << "held since before it was opened";
    button(pads[8], SDL_CONTROLLER_BUTTON_B, false);
    frame();
    button(pads[8], SDL_CONTROLLER_BUTTON_B, true);
    frame();
    EXPECT_TRUE(down(2, 5)) << "the ninth pad now plays as player 2";
    // A pad appearing and vanishing every frame: no stuck button.
    for (int i = 0; i < 50; i++) {
        virtual_pad& p = attach();
        button(p, SDL_CONTROLLER_BUTTON_START, true);
        frame();
        detach(p);
        frame();
    }
    for (int p = 0; p < ORBO_PLAYERS; p++) EXPECT_FALSE(down(p, 6)) << p;
}
