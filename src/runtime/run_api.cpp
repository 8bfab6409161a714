// Placeholder bindings: each returns nothing until its owner replaces this file.
#include "hardware/api/api.h"

int ob_flip(lua_State*) { return 0; }
int ob_load(lua_State*) { return 0; }
int ob_run(lua_State*) { return 0; }
int ob_stop(lua_State*) { return 0; }
int ob_extcmd(lua_State*) { return 0; }
int ob_holdframe(lua_State*) { return 0; }
int ob_update_frame_rate(lua_State*) { return 0; }
int ob_set_mainloop_exists(lua_State*) { return 0; }
int ob_set_fps(lua_State*) { return 0; }
int ob_mark_cpu(lua_State*) { return 0; }
