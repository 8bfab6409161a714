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

void orbo_skip_file_prefix(std::string* text)
{
    if (text->compare(0, 3, "\xEF\xBB\xBF") == 0) text->erase(0, 3);
    if (!text->empty() && (*text)[0] == '#') {
        size_t nl = text->find('\n');
        text->erase(0, nl == std::string::npos ? text->size() : nl);
        if (nl == std::string::npos) text->push_back('\n');
    }
}
