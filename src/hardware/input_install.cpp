// Fills the input link from the button tables, the key configuration
// screen and the host mouse.
#include "hardware/buttons.h"
#include "hardware/input_link.h"
#include "hardware/keyconfig.h"
#include "platform/keys.h"

namespace {
struct mouse_sample {
    int x = 0, y = 0, buttons = 0;
};
mouse_sample sample()
{
    mouse_sample m;
    kiln_get_mouse(&m.x, &m.y, &m.buttons);
    return m;
}
int mouse_x() { return sample().x; }
int mouse_y() { return sample().y; }
int mouse_buttons() { return sample().buttons; }
}  // namespace

void orbo_install_input()
{
    orbo_install_buttons();
    orbo_input.keyconfig_init = keyconfig_init;
    orbo_input.mouse_x = mouse_x;
    orbo_input.mouse_y = mouse_y;
    orbo_input.mouse_buttons = mouse_buttons;
}
