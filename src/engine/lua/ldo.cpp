#include "ldo.h"

#include "lparser.h"
#include "lstring.h"

void luaD_throw(lua_State* L, int errcode) { throw luaD_error{errcode}; }

// Puts the error value of a failed protected call at stack slot oldtop.
static void seterrorobj(lua_State* L, int errcode, ptrdiff_t oldtop)
{
    TValue* slot = L->stack + oldtop;
    switch (errcode) {
    case LUA_ERRMEM: setsvalue(slot, G(L)->memerrmsg); break;
    case LUA_ERRERR: setsvalue(slot, luaS_newliteral(L, "error in error handling")); break;
    default: setobj(slot, L->top - 1); break;
    }
    L->top = slot + 1;
}

int luaD_protectedparser(lua_State* L, ZIO* z, const char* name, Proto** out)
{
    ptrdiff_t oldtop = L->top - L->stack;
    unsigned short oldnCcalls = L->nCcalls;
    Mbuffer buff;
    Dyndata dyd{};
    luaZ_initbuffer(&buff);
    int status = LUA_OK;
    L->nny++;
    try {
        *out = luaY_parser(L, z, &buff, &dyd, name);
    } catch (const luaD_error& e) {
        status = e.status;
        L->nCcalls = oldnCcalls;
        // The message of a memory error exists ahead of time, so
        // reporting it cannot fail again.
        seterrorobj(L, status, oldtop);
    }
    luaZ_freebuffer(L, &buff);
    luaM_freearray(L, dyd.actvar.arr, dyd.actvar.size);
    luaM_freearray(L, dyd.gt.arr, dyd.gt.size);
    luaM_freearray(L, dyd.label.arr, dyd.label.size);
    L->nny--;
    return status;
}
