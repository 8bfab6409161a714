// Math, bit, random and conversion bindings. Every argument is read as a
// number (missing ones count as 0); the bodies are the engine's math
// library, and the CPU adjustments come from its cost table.
#include "engine/math/mathlib.h"
#include "hardware/api/api.h"
#include "hardware/api/args.h"
#include "hardware/runtime_link.h"

namespace {
// Applies an entry: its spend on every call, its refund when the call has
// exactly the entry's argument count.
void charge(lua_State* L, const orbo_math_cost* c)
{
    if (!c) return;
    if (c->spend) orbo_spend_cpu(c->spend);
    if (c->refund_argc >= 0 && ob_nargs(L) == c->refund_argc) orbo_refund_cpu(-c->refund);
}

using unary = fix32 (*)(fix32);
using binary = fix32 (*)(fix32, fix32);

int call1(lua_State* L, const orbo_math_cost* c, unary f)
{
    charge(L, c);
    return ob_push_num(L, f(ob_num(L, 1)));
}

int call2(lua_State* L, const orbo_math_cost* c, binary f)
{
    charge(L, c);
    return ob_push_num(L, f(ob_num(L, 1), ob_num(L, 2)));
}
}  // namespace

// Each binding looks its table entry up once.
#define ORBO_UNARY(script, body)                                   \
    int ob_##script(lua_State* L)                                  \
    {                                                              \
        static const orbo_math_cost* cost = orbo_math_cost_of(#script);      \
        return call1(L, cost, body);                      \
    }
#define ORBO_BINARY(script, body)                                  \
    int ob_##script(lua_State* L)                                  \
    {                                                              \
        static const orbo_math_cost* cost = orbo_math_cost_of(#script);      \
        return call2(L, cost, body);                               \
    }

ORBO_UNARY(flr, orbo_flr)
ORBO_UNARY(ceil, orbo_ceil)
ORBO_UNARY(abs, orbo_abs)
ORBO_UNARY(sgn, orbo_sgn)
ORBO_UNARY(sqrt, orbo_sqrt)
ORBO_UNARY(sin, orbo_sin)
ORBO_UNARY(cos, orbo_cos)
ORBO_UNARY(bnot, orbo_bnot)
ORBO_BINARY(min, orbo_min)
ORBO_BINARY(max, orbo_max)
ORBO_BINARY(atan2, orbo_atan2)
ORBO_BINARY(band, orbo_band)
ORBO_BINARY(bor, orbo_bor)
ORBO_BINARY(bxor, orbo_bxor)
ORBO_BINARY(shl, orbo_shl)
ORBO_BINARY(shr, orbo_shr)
ORBO_BINARY(lshr, orbo_lshr)
ORBO_BINARY(rotl, orbo_rotl_num)
ORBO_BINARY(rotr, orbo_rotr_num)
#undef ORBO_UNARY
#undef ORBO_BINARY

int ob_mid(lua_State* L) { return ob_push_num(L, orbo_mid(ob_num(L, 1), ob_num(L, 2), ob_num(L, 3))); }

// rnd(x): a bound of raw x as unsigned; without an argument 1.0.
int ob_rnd(lua_State* L)
{
    static const orbo_math_cost* cost = orbo_math_cost_of("rnd");
    charge(L, cost);
    return ob_push_num(L, orbo_rnd(ob_nargs(L) < 1 ? ORBO_RND_DEFAULT : ob_num(L, 1)));
}

int ob_srand(lua_State* L)
{
    orbo_srand_num(ob_num(L, 1));
    return 0;
}

// tostr(v, [hex]): numbers as text (hex form with a true second argument),
// strings unchanged, booleans as words, anything else "[type]".
int ob_tostr(lua_State* L)
{
    int t = lua_type(L, 1);
    if (t == LUA_TNUMBER) {
        char buf[ORBO_TOSTR_TEXT];
        int n = orbo_tostr_number(buf, ob_num(L, 1), ob_truth(L, 2));
        lua_pushlstring(L, buf, size_t(n));
    } else if (t == LUA_TSTRING) {
        lua_pushvalue(L, 1);
    } else if (t == LUA_TBOOLEAN) {
        lua_pushstring(L, lua_toboolean(L, 1) ? "true" : "false");
    } else {
        char buf[ORBO_TOSTR_OTHER];
        int n = orbo_tostr_typename(buf, lua_typename(L, t));
        lua_pushlstring(L, buf, size_t(n));
    }
    return 1;
}

// tonum(v): numbers unchanged, convertible strings as numbers, else nothing.
int ob_tonum(lua_State* L)
{
    int t = lua_type(L, 1);
    if (t == LUA_TNUMBER) return ob_push_num(L, ob_num(L, 1));
    if (t != LUA_TSTRING) return 0;
    size_t len = 0;
    const char* s = lua_tolstring(L, 1, &len);
    fix32 v = 0;
    if (!orbo_tonum_text(s, len, &v)) return 0;
    return ob_push_num(L, v);
}
