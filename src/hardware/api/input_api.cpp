// Button bindings: btn, btnp, the per-frame _update_buttons, and keyconfig.
// The button tables live with the buttons; these bindings read them through
// their seams with the player and button already checked.
#include <algorithm>

#include "app/state.h"
#include "hardware/api/api.h"
#include "hardware/api/args.h"
#include "hardware/api/subsystem_seams.h"
#include "hardware/seams.h"

namespace {
constexpr int32_t k_button_cost = 4;

using table_fn = bool (*)(int player, int button);

// No argument: players 0 and 1 as a bit field (bit 8p + b), free. With a
// button: its entry as a boolean, charged 4 (even for a player out of range).
int read_button(lua_State* L, table_fn entry)
{
    if (ob_nargs(L) < 1) {
        int bits = 0;
        for (int p = 0; p < 2; p++)
            for (int b = 0; b < 8; b++)
                if (entry(p, b)) bits |= 1 << (8 * p + b);
        return ob_push_int(L, bits);
    }
    orbo_spend_cpu(k_button_cost);
    int p = ob_int(L, 2);
    if (p < 0 || p > 7) return ob_push_bool(L, false);
    return ob_push_bool(L, entry(p, std::clamp(ob_int(L, 1), 0, 7)));
}
}  // namespace

int ob_btn(lua_State* L) { return read_button(L, orbo_subsystems.button_down); }
int ob_btnp(lua_State* L) { return read_button(L, orbo_subsystems.button_pressed); }

// Once per frame from the program's loop: the frame counter that time()
// reads, then the button tables.
int ob_update_buttons(lua_State*)
{
    pstate.time_frames = int32_t(uint32_t(pstate.time_frames) + 1u);
    orbo_subsystems.update_buttons();
    return 0;
}

// The key configuration overlay, when the screen exists to leave it again.
int ob_keyconfig(lua_State*)
{
    if (!orbo_subsystems.keyconfig_init()) return 0;
    pstate.overlay_screen = 1;
    orbo_subsystems.block_buttons();
    return 0;
}
