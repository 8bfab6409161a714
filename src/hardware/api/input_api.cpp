// Button bindings: btn and btnp. They read the button tables through the
// input link with the player and button already checked.
#include <algorithm>

#include "hardware/api/api.h"
#include "hardware/api/args.h"
#include "hardware/input_link.h"
#include "hardware/runtime_link.h"

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

int ob_btn(lua_State* L) { return read_button(L, orbo_input.button_down); }
int ob_btnp(lua_State* L) { return read_button(L, orbo_input.button_pressed); }
