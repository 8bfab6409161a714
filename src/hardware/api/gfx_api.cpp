// Drawing bindings: convert the script's arguments and hand them to the
// primitives, which apply the camera, the colour argument and the charges.
// Coordinates are floors of the arguments; colours, patterns and sprite
// sizes go on as raw 16.16 values; the argument count selects the optional
// forms.
#include "engine/math/mathlib.h"
#include "hardware/api/api.h"
#include "hardware/api/args.h"
#include "hardware/draw_state.h"
#include "hardware/gfx.h"

namespace {
// Text of print's first argument: numbers and strings by the engine's
// conversion, booleans as words, anything else "[type]" (nil: "[nil]").
const char* print_text(lua_State* L, char* buf)
{
    switch (lua_type(L, 1)) {
    case LUA_TNUMBER:
    case LUA_TSTRING: return lua_tolstring(L, 1, nullptr);
    case LUA_TBOOLEAN: return lua_toboolean(L, 1) ? "true" : "false";
    default: orbo_tostr_typename(buf, lua_typename(L, lua_type(L, 1))); return buf;
    }
}
}  // namespace

int ob_cls(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_cls(c, ob_nargs(L), ob_int(L, 1));
    return 0;
}

int ob_pset(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_pset(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_num(L, 3));
    return 0;
}

int ob_pget(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    return ob_push_int(L, orbo_pget(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2)));
}

int ob_line(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine())
        orbo_line(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_int(L, 3), ob_int(L, 4), ob_num(L, 5));
    return 0;
}

int ob_rect(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine())
        orbo_rect(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_int(L, 3), ob_int(L, 4), ob_num(L, 5));
    return 0;
}

int ob_rectfill(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine())
        orbo_rectfill(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_int(L, 3), ob_int(L, 4), ob_num(L, 5));
    return 0;
}

int ob_circ(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine())
        orbo_circ(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_int(L, 3), ob_num(L, 4));
    return 0;
}

int ob_circfill(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine())
        orbo_circfill(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_int(L, 3), ob_num(L, 4));
    return 0;
}

// spr(n, x, y, [w, h], [flip_x], [flip_y]): n's integer part as unsigned.
int ob_spr(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine())
        orbo_spr(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_int(L, 3), ob_num(L, 4), ob_num(L, 5),
                 ob_truth(L, 6), ob_truth(L, 7));
    return 0;
}

// sspr(sx, sy, sw, sh, dx, dy, [dw, dh], [flip_x], [flip_y])
int ob_sspr(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine())
        orbo_sspr(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_int(L, 3), ob_int(L, 4), ob_int(L, 5),
                  ob_int(L, 6), ob_int(L, 7), ob_int(L, 8), ob_truth(L, 9), ob_truth(L, 10));
    return 0;
}

// map(cel_x, cel_y, sx, sy, [cel_w, cel_h], [layer]); also `mapdraw`.
int ob_map(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine())
        orbo_map(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_int(L, 3), ob_int(L, 4), ob_int(L, 5),
                 ob_int(L, 6), ob_int(L, 7));
    return 0;
}

int ob_sget(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    return ob_push_int(L, orbo_sget(c, ob_int(L, 1), ob_int(L, 2)));
}

int ob_sset(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_sset(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_int(L, 3));
    return 0;
}

int ob_mget(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    if (!c) return 0;
    return ob_push_int(L, orbo_mget(c, ob_int(L, 1), ob_int(L, 2)));
}

int ob_mset(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_mset(c, ob_int(L, 1), ob_int(L, 2), ob_int(L, 3));
    return 0;
}

// fget(n): the flag byte; fget(n, f): flag bit f as a boolean; fget(): nothing.
int ob_fget(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    int nargs = ob_nargs(L);
    if (!c || nargs < 1) return 0;
    int v = orbo_fget(c, nargs, ob_int(L, 1), ob_int(L, 2));
    return nargs >= 2 ? ob_push_bool(L, v != 0) : ob_push_int(L, v);
}

// fset(n, v): the flag byte; fset(n, f, v): bit f to the truth of v.
int ob_fset(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_fset(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_truth(L, 3));
    return 0;
}

int ob_pal(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_pal(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_int(L, 3));
    return 0;
}

int ob_palt(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_palt(c, ob_nargs(L), ob_int(L, 1), ob_truth(L, 2));
    return 0;
}

int ob_color(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_color(c, ob_nargs(L), ob_num(L, 1));
    return 0;
}

int ob_cursor(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_cursor(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2));
    return 0;
}

int ob_camera(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_camera(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2));
    return 0;
}

int ob_clip(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine())
        orbo_clip(c, ob_nargs(L), ob_int(L, 1), ob_int(L, 2), ob_int(L, 3), ob_int(L, 4));
    return 0;
}

int ob_fillp(lua_State* L)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_fillp(c, ob_nargs(L), ob_num(L, 1));
    return 0;
}

// print(str, [x, y], [col]): returns nothing.
int ob_print(lua_State* L)
{
    orbo_machine* c = orbo_live_machine();
    int nargs = ob_nargs(L);
    if (!c || nargs < 1) return 0;
    char buf[ORBO_TOSTR_OTHER];
    const char* text = print_text(L, buf);
    orbo_print(c, nargs, text, ob_int(L, 2), ob_int(L, 3), ob_num(L, 4));
    return 0;
}
