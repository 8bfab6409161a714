#include "lopcodes.h"

const char* const luaP_opnames[NUM_OPCODES + 1] = {
#define LUA_OPNAME(name, t, a, b, c, m) #name,
    LUA_OPCODES(LUA_OPNAME)
#undef LUA_OPNAME
    nullptr};

// Bit 7: instruction is a test (next one is a jump); bit 6: sets R(A);
// bits 4-5: B kind; bits 2-3: C kind; bits 0-1: layout.
const lu_byte luaP_opmodes[NUM_OPCODES] = {
#define LUA_OPMODE(name, t, a, b, c, m) lu_byte(((t) << 7) | ((a) << 6) | ((b) << 4) | ((c) << 2) | (m)),
    LUA_OPCODES(LUA_OPMODE)
#undef LUA_OPMODE
};
