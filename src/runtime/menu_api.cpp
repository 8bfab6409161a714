// Pause-menu glue: the program's own menu items, the "paused" banner, the
// pause flag, and the per-frame check of the pause button.
#include <algorithm>
#include <string>

#include "hardware/api/api.h"
#include "hardware/api/args.h"
#include "hardware/gfx.h"
#include "platform/kiln.h"
#include "runtime/pause_state.h"
#include "runtime/runtime_api.h"

namespace {
constexpr size_t k_label_max = 16;

bool item_index(int i) { return i >= 1 && i <= ORBO_MENU_ITEMS; }
}  // namespace

// _menuitem(i, [label]): a string or number label sets item i (1-5) to its
// first 16 characters; any other label (nil included) clears it; other
// indices change nothing.
int ob_menuitem(lua_State* L)
{
    int i = ob_int(L, 1);
    if (!item_index(i)) return 0;
    std::string& label = orbo_pause().label[i];
    if (lua_type(L, 2) == LUA_TSTRING || lua_type(L, 2) == LUA_TNUMBER) {
        size_t len = 0;
        const char* s = lua_tolstring(L, 2, &len);
        label.assign(s, std::min(len, k_label_max));
    } else {
        label.clear();
    }
    return 0;
}

// _get_menu_item_selected(i): true once after item i (1-5) was chosen;
// other indices return nothing.
int ob_get_menu_item_selected(lua_State* L)
{
    int i = ob_int(L, 1);
    if (!item_index(i)) return 0;
    bool& selected = orbo_pause().selected[i];
    bool was = selected;
    selected = false;
    return ob_push_bool(L, was);
}

// _paused(): the banner over the whole screen whatever the program's clip:
// (45,48)-(82,56) in colour 1 and "paused" centred on x 64 at y 50 in 7.
int ob_paused(lua_State*)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    kiln_bitmap* s = c->screen.get();
    const int clip[4] = {s->clip_x0, s->clip_y0, s->clip_x1, s->clip_y1};
    orbo_reset_clip(s);
    for (int y = 48; y <= 56; y++) draw_hline(s, 45, 82, y, 1, 0);
    if (c->font) {
        const char* text = "paused";
        kiln_draw_text_ex(s, text, c->font, 64 - kiln_text_width(text, c->font) / 2, 50, KILN_TEXT_VALUE, 7);
    }
    s->clip_x0 = clip[0];
    s->clip_y0 = clip[1];
    s->clip_x1 = clip[2];
    s->clip_y1 = clip[3];
    return 0;
}

// _set_paused(n): the program's pause flag and the audio pause state.
int ob_set_paused(lua_State* L)
{
    int n = ob_int(L, 1);
    orbo_pause().program_paused = n;
    kiln_state.audio_pause = n;
    return 0;
}

int ob_update_paused_menu(lua_State*)
{
    orbo_shell_hooks.update_paused_menu();
    return 0;
}
