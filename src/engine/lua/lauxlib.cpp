// The auxiliary library. Every "%d" handed to lua_pushfstring is a raw
// 16.16 value, so whole numbers (lines, argument numbers) go in shifted.
#include "engine/lua/lauxlib.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/lua/internal.h"
#include "engine/lua/lpool.h"

#define LEVELS1 12  // first part of a long traceback
#define LEVELS2 10  // last part of a long traceback

void luaL_where(lua_State* L, int level)
{
    lua_Debug ar;
    if (lua_getstack(L, level, &ar)) {
        lua_getinfo(L, "Sl", &ar);
        if (ar.currentline > 0) {
            orbo_runtime_line = ar.currentline;
            lua_pushfstring(L, "%s:%d: ", ar.short_src, fix_from_int(ar.currentline));
            return;
        }
    }
    lua_pushliteral(L, "");
}

int luaL_error(lua_State* L, const char* fmt, ...)
{
    va_list argp;
    va_start(argp, fmt);
    luaL_where(L, 1);
    lua_pushvfstring(L, fmt, argp);
    va_end(argp);
    lua_concat(L, 2);
    return lua_error(L);
}

int luaL_argerror(lua_State* L, int narg, const char* extramsg)
{
    lua_Debug ar;
    if (!lua_getstack(L, 0, &ar)) return luaL_error(L, "bad argument #%d (%s)", fix_from_int(narg), extramsg);
    lua_getinfo(L, "n", &ar);
    if (strcmp(ar.namewhat, "method") == 0) {
        narg--;
        if (narg == 0) return luaL_error(L, "calling '%s' on bad self (%s)", ar.name, extramsg);
    }
    if (ar.name == nullptr) ar.name = "?";
    return luaL_error(L, "bad argument #%d to '%s' (%s)", fix_from_int(narg), ar.name, extramsg);
}

static int typeerror(lua_State* L, int narg, const char* tname)
{
    const char* msg = lua_pushfstring(L, "%s expected, got %s", tname, luaL_typename(L, narg));
    return luaL_argerror(L, narg, msg);
}

static void tag_error(lua_State* L, int narg, int tag) { typeerror(L, narg, lua_typename(L, tag)); }

void luaL_checktype(lua_State* L, int narg, int t)
{
    if (lua_type(L, narg) != t) tag_error(L, narg, t);
}

void luaL_checkany(lua_State* L, int narg)
{
    if (lua_type(L, narg) == LUA_TNONE) luaL_argerror(L, narg, "value expected");
}

const char* luaL_checklstring(lua_State* L, int narg, size_t* len)
{
    const char* s = lua_tolstring(L, narg, len);
    if (!s) tag_error(L, narg, LUA_TSTRING);
    return s;
}

const char* luaL_optlstring(lua_State* L, int narg, const char* def, size_t* len)
{
    if (lua_isnoneornil(L, narg)) {
        if (len) *len = def ? strlen(def) : 0;
        return def;
    }
    return luaL_checklstring(L, narg, len);
}

lua_Number luaL_checknumber(lua_State* L, int narg)
{
    int isnum;
    lua_Number d = lua_tonumberx(L, narg, &isnum);
    if (!isnum) tag_error(L, narg, LUA_TNUMBER);
    return d;
}

lua_Number luaL_optnumber(lua_State* L, int narg, lua_Number def) { return luaL_opt(L, luaL_checknumber, narg, def); }

lua_Integer luaL_checkinteger(lua_State* L, int narg)
{
    int isnum;
    lua_Integer d = lua_tointegerx(L, narg, &isnum);
    if (!isnum) tag_error(L, narg, LUA_TNUMBER);
    return d;
}

lua_Integer luaL_optinteger(lua_State* L, int narg, lua_Integer def) { return luaL_opt(L, luaL_checkinteger, narg, def); }

void luaL_checkstack(lua_State* L, int space, const char* msg)
{
    if (!lua_checkstack(L, space)) {
        if (msg) luaL_error(L, "stack overflow (%s)", msg);
        else luaL_error(L, "stack overflow");
    }
}

int luaL_getmetafield(lua_State* L, int obj, const char* event)
{
    if (!lua_getmetatable(L, obj)) return 0;
    lua_pushstring(L, event);
    lua_rawget(L, -2);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 2);
        return 0;
    }
    lua_remove(L, -2);
    return 1;
}

int luaL_callmeta(lua_State* L, int obj, const char* event)
{
    obj = lua_absindex(L, obj);
    if (!luaL_getmetafield(L, obj, event)) return 0;
    lua_pushvalue(L, obj);
    lua_call(L, 1, 1);
    return 1;
}

int luaL_len(lua_State* L, int idx)
{
    int isnum;
    lua_len(L, idx);
    int l = int(lua_tointegerx(L, -1, &isnum));
    if (!isnum) luaL_error(L, "object length is not a number");
    lua_pop(L, 1);
    return l;
}

const char* luaL_tolstring(lua_State* L, int idx, size_t* len)
{
    if (!luaL_callmeta(L, idx, "__tostring")) {
        switch (lua_type(L, idx)) {
        case LUA_TNUMBER:
        case LUA_TSTRING: lua_pushvalue(L, idx); break;
        case LUA_TBOOLEAN: lua_pushstring(L, lua_toboolean(L, idx) ? "true" : "false"); break;
        case LUA_TNIL: lua_pushliteral(L, "nil"); break;
        default: lua_pushfstring(L, "%s: %p", luaL_typename(L, idx), lua_topointer(L, idx)); break;
        }
    }
    return lua_tolstring(L, -1, len);
}

void luaL_setfuncs(lua_State* L, const luaL_Reg* l, int nup)
{
    luaL_checkstack(L, nup, "too many upvalues");
    for (; l->name != nullptr; l++) {
        for (int i = 0; i < nup; i++) lua_pushvalue(L, -nup);
        lua_pushcclosure(L, l->func, nup);
        lua_setfield(L, -(nup + 2), l->name);
    }
    lua_pop(L, nup);
}

struct LoadS {
    const char* s;
    size_t size;
};

static const char* getS(lua_State*, void* ud, size_t* size)
{
    LoadS* ls = static_cast<LoadS*>(ud);
    if (ls->size == 0) return nullptr;
    *size = ls->size;
    ls->size = 0;
    return ls->s;
}

int luaL_loadbufferx(lua_State* L, const char* buff, size_t size, const char* name, const char* mode)
{
    LoadS ls{buff, size};
    return lua_load(L, getS, &ls, name, mode);
}

// The chunk name of a string chunk is the text itself.
int luaL_loadstring(lua_State* L, const char* s) { return luaL_loadbuffer(L, s, strlen(s), s); }

static int countlevels(lua_State* L)
{
    lua_Debug ar;
    int li = 1, le = 1;
    while (lua_getstack(L, le, &ar)) {
        li = le;
        le *= 2;
    }
    while (li < le) {
        int m = (li + le) / 2;
        if (lua_getstack(L, m, &ar)) li = m + 1;
        else le = m;
    }
    return le - 1;
}

static void pushfuncname(lua_State* L, lua_Debug* ar)
{
    if (*ar->namewhat != '\0') lua_pushfstring(L, "function '%s'", ar->name);
    else if (*ar->what == 'm') lua_pushliteral(L, "main chunk");
    else if (*ar->what == 'C') lua_pushliteral(L, "?");
    else lua_pushfstring(L, "function <%s:%d>", ar->short_src, fix_from_int(ar->linedefined));
}

void luaL_traceback(lua_State* L, lua_State* L1, const char* msg, int level)
{
    lua_Debug ar;
    int top = lua_gettop(L);
    int numlevels = countlevels(L1);
    int mark = (numlevels > LEVELS1 + LEVELS2) ? LEVELS1 : 0;
    if (msg) lua_pushfstring(L, "%s\n", msg);
    lua_pushliteral(L, "stack traceback:");
    while (lua_getstack(L1, level++, &ar)) {
        if (level == mark) {
            lua_pushliteral(L, "\n\t...");
            level = numlevels - LEVELS2;
        } else {
            lua_getinfo(L1, "Slnt", &ar);
            lua_pushfstring(L, "\n\t%s:", ar.short_src);
            if (ar.currentline > 0) lua_pushfstring(L, "%d:", fix_from_int(ar.currentline));
            lua_pushliteral(L, " in ");
            pushfuncname(L, &ar);
            if (ar.istailcall) lua_pushliteral(L, "\n\t(...tail calls...)");
            lua_concat(L, lua_gettop(L) - top);
        }
    }
    lua_concat(L, lua_gettop(L) - top);
}

// The state's own block is the first allocated and the last freed, so the
// pool (the allocator's ud) goes when its last block does.
struct pooled_state {
    orbo_pool pool;
    size_t live = 0;
};

static void* l_alloc(void* ud, void* ptr, size_t osize, size_t nsize)
{
    pooled_state* ps = static_cast<pooled_state*>(ud);
    void* p = orbo_pool_realloc(&ps->pool, ptr, osize, nsize);
    if (ptr == nullptr && p != nullptr) ps->live++;
    if (nsize == 0 && ptr != nullptr && --ps->live == 0) delete ps;
    return p;
}

static int panic(lua_State* L)
{
    fprintf(stderr, "PANIC: unprotected error in call to Lua API (%s)\n", lua_tostring(L, -1));
    return 0;
}

lua_State* luaL_newstate()
{
    pooled_state* ps = new pooled_state;
    ps->live = 1;  // held while the state is made: a failed start frees every block
    lua_State* L = lua_newstate(l_alloc, ps);
    if (--ps->live == 0) delete ps;
    if (L) lua_atpanic(L, &panic);
    return L;
}

void luaL_openlibs(lua_State* L)
{
    lua_newtable(L);
    lua_setfield(L, LUA_REGISTRYINDEX, "_PRELOAD");
}
