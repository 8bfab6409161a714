#include "app/input_wiring.h"

#include <cstdio>
#include <ctime>

#include "app/input_script.h"
#include "app/state.h"
#include "hardware/buttons.h"
#include "hardware/keyconfig.h"
#include "platform/kiln.h"
#include "platform/log.h"
#include "runtime/pause_state.h"
#include "runtime/pstate.h"

static_assert(ORBO_BUTTON_KEYS == ORBO_CUSTOM_KEYS, "the settings hold every custom key");

namespace {
bool escape_pauses() { return pstate.app_mode == MODE_RUNNING && !orbo_pause().menu_open; }
bool menu_active() { return orbo_pause().program_paused != 0 || orbo_pause().menu_open; }

void start_recording()
{
    if (pstate.run_seed < 0) pstate.run_seed = int64_t(uint32_t(time(nullptr)) + kiln_host_get()->ticks());
    if (!orbo_start_recording(app.record_path, uint32_t(pstate.run_seed)))
        kiln_debug("** could not write the recording %s\n", app.record_path.c_str());
}
}  // namespace

void orbo_wire_input()
{
    orbo_button_config.keys = app.button_keys;
    orbo_button_config.joystick_index = &app.joystick_index;
    orbo_button_config.escape_pauses = escape_pauses;
    orbo_button_config.menu_active = menu_active;
    orbo_install_input();
    if (!app.record_path.empty()) start_recording();
}

void orbo_shell_drive_buttons()
{
    update_buttons();
    read_buttons();
}

bool orbo_any_button_held()
{
    const orbo_button_tables& t = orbo_buttons();
    for (uint8_t d : t.down)
        if (d) return true;
    return false;
}

void orbo_keyconfig_update()
{
    if (!keyconfig_update()) pstate.overlay_screen = 0;
}

void orbo_keyconfig_draw()
{
    orbo_keyconfig_set_icons(shell.resources.get());
    keyconfig_draw();
}
