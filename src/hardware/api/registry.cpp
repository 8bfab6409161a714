#include "engine/lua/baselib.h"
#include "engine/token/token.h"
#include "hardware/api/api.h"

void add_c_functions(lua_State* L)
{
    init_api_function_names();
#define ORBO_REGISTER(name, binding, listed)   \
    if (listed) add_api_function_name(#name); \
    lua_pushcclosure(L, binding, 0);          \
    lua_setglobal(L, #name);
    ORBO_API_GLOBALS(ORBO_REGISTER)
#undef ORBO_REGISTER
}
