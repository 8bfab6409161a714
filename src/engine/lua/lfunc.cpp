#include "lfunc.h"

#include "lgc.h"
#include "lmem.h"

Proto* luaF_newproto(lua_State* L)
{
    Proto* f = static_cast<Proto*>(luaC_newobj(L, LUA_TPROTO, sizeof(Proto), nullptr, 0));
    f->k = nullptr;
    f->sizek = 0;
    f->p = nullptr;
    f->sizep = 0;
    f->code = nullptr;
    f->cache = nullptr;
    f->sizecode = 0;
    f->lineinfo = nullptr;
    f->sizelineinfo = 0;
    f->upvalues = nullptr;
    f->sizeupvalues = 0;
    f->numparams = 0;
    f->is_vararg = 0;
    f->maxstacksize = 0;
    f->locvars = nullptr;
    f->sizelocvars = 0;
    f->linedefined = 0;
    f->lastlinedefined = 0;
    f->source = nullptr;
    f->gclist = nullptr;
    return f;
}

void luaF_freeproto(lua_State* L, Proto* f)
{
    luaM_freearray(L, f->code, f->sizecode);
    luaM_freearray(L, f->p, f->sizep);
    luaM_freearray(L, f->k, f->sizek);
    luaM_freearray(L, f->lineinfo, f->sizelineinfo);
    luaM_freearray(L, f->locvars, f->sizelocvars);
    luaM_freearray(L, f->upvalues, f->sizeupvalues);
    luaM_free(L, f);
}
