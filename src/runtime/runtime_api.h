// The runtime's script bindings (run, load, stop, the frame loop's glue,
// the pause menu's items, stat and time), declared from the API list, and
// their wiring into the registry.
#pragma once
#include "engine/api_list.h"
#include "engine/lua/lua.h"

#define ORBO_DECLARE_RUNTIME(name, binding, listed, layer) ORBO_API_IS(layer, runtime, int binding(lua_State* L);)
ORBO_API_GLOBALS(ORBO_DECLARE_RUNTIME)
#undef ORBO_DECLARE_RUNTIME

// Hands the runtime's bindings to the registry (orbo_runtime_init does).
void orbo_bind_runtime_api();
