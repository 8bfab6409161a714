// Placeholder bindings: each returns nothing until its owner replaces this file.
#include "hardware/api/api.h"

int ob_cartdata(lua_State*) { return 0; }
int ob_dget(lua_State*) { return 0; }
int ob_dset(lua_State*) { return 0; }
