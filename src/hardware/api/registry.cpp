#include "engine/lua/baselib.h"
#include "engine/token/token.h"
#include "hardware/api/api.h"

namespace {
// The hardware's and the engine's bindings are known here; the others are
// handed in by their layers.
#define ORBO_SLOT(name, binding, listed, layer) \
    ORBO_API_IS(layer, engine, binding) ORBO_API_IS(layer, hardware, binding) \
    ORBO_API_IS(layer, runtime, nullptr) ORBO_API_IS(layer, app, nullptr),
lua_CFunction g_slots[ORBO_API_COUNT] = {ORBO_API_GLOBALS(ORBO_SLOT)};
#undef ORBO_SLOT

struct api_entry {
    const char* name;
    bool listed;
};
constexpr api_entry k_entries[ORBO_API_COUNT] = {
#define ORBO_ENTRY(name, binding, listed, layer) {#name, listed},
    ORBO_API_GLOBALS(ORBO_ENTRY)
#undef ORBO_ENTRY
};
}  // namespace

void orbo_api_bind(orbo_api_id id, lua_CFunction binding)
{
    if (id >= 0 && id < ORBO_API_COUNT) g_slots[id] = binding;
}

void add_c_functions(lua_State* L)
{
    init_api_function_names();
    for (int i = 0; i < ORBO_API_COUNT; i++) {
        if (k_entries[i].listed) add_api_function_name(k_entries[i].name);
        if (!g_slots[i]) continue;
        lua_pushcclosure(L, g_slots[i], 0);
        lua_setglobal(L, k_entries[i].name);
    }
}
