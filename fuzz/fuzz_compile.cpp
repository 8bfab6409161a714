// Fuzz target: compiles arbitrary text as a string chunk and lists the
// result. Checks that nothing crashes, leaks or overflows, and that every
// instruction's register and constant operands stay in range.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/lua/lcompile.h"
#include "engine/lua/lopcodes.h"

static void check_proto(const Proto* f)
{
    for (int pc = 0; pc < f->sizecode; pc++) {
        Instruction i = f->code[pc];
        OpCode o = GET_OPCODE(i);
        if (int(o) >= NUM_OPCODES) abort();
        if (getOpMode(o) == iABC && testAMode(o) && GETARG_A(i) >= f->maxstacksize) abort();
        if (o == OP_LOADK && GETARG_Bx(i) >= f->sizek) abort();
        if (o == OP_CLOSURE && GETARG_Bx(i) >= f->sizep) abort();
        if (getOpMode(o) == iAsBx) {
            int target = pc + 1 + GETARG_sBx(i);
            if (target < 0 || target > f->sizecode) abort();
        }
    }
    for (int i = 0; i < f->sizep; i++) check_proto(f->p[i]);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lua_State* L = lua_newstate(orbo_default_alloc, nullptr);
    if (!L) return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    Proto* f = nullptr;
    if (orbo_compile(L, text.data(), text.size(), "=fuzz", &f) == LUA_OK) {
        check_proto(f);
        std::string listing = orbo_listing(f);
        (void)listing;
    }
    lua_close(L);
    return 0;
}
