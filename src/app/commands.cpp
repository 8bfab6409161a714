// Placeholder bindings: each returns nothing until its owner replaces this file.
#include "hardware/api/api.h"

int ob_folder(lua_State*) { return 0; }
int ob_ls(lua_State*) { return 0; }
int ob_cd(lua_State*) { return 0; }
int ob_mkdir(lua_State*) { return 0; }
int ob_install_demos(lua_State*) { return 0; }
int ob_install_games(lua_State*) { return 0; }
int ob_scout(lua_State*) { return 0; }
int ob_save(lua_State*) { return 0; }
int ob_reboot(lua_State*) { return 0; }
int ob_shutdown(lua_State*) { return 0; }
int ob_info(lua_State*) { return 0; }
int ob_export(lua_State*) { return 0; }
int ob_import(lua_State*) { return 0; }
int ob_help(lua_State*) { return 0; }
