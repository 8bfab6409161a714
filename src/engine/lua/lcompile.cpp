#include "lcompile.h"

#include <cstdlib>

#include "ldo.h"
#include "lzio.h"

void* orbo_default_alloc(void*, void* ptr, size_t, size_t nsize)
{
    if (nsize == 0) {
        free(ptr);
        return nullptr;
    }
    return realloc(ptr, nsize);
}

int orbo_compile(lua_State* L, const char* text, size_t len, const char* chunkname, Proto** out)
{
    ZIO z;
    luaZ_init(&z, text, len);
    *out = nullptr;
    return luaD_protectedparser(L, &z, chunkname, out);
}

const char* orbo_error_text(lua_State* L)
{
    if (L->top == L->stack || !ttisstring(L->top - 1)) return "";
    return svalue(L->top - 1);
}
