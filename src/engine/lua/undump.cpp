// Loader for binary chunks written by the stock 5.2 compiler (luac), used
// by tests and tools to run the virtual machine on reference bytecode.
// Numbers are stored there as doubles and become the nearest 16.16 raw
// value (out of range gives -32768).
// Program text never comes this way.
#include <cmath>
#include <cstring>

#include "engine/lua/internal.h"

namespace {
struct LoadState {
    lua_State* L;
    const char* p;
    size_t n;
    const char* name;
};

[[noreturn]] void error(LoadState* S, const char* why)
{
    luaO_pushfstring(S->L, "%s: %s precompiled chunk", S->name, why);
    luaD_throw(S->L, LUA_ERRSYNTAX);
}

void loadblock(LoadState* S, void* b, size_t size)
{
    if (size > S->n) error(S, "truncated");
    memcpy(b, S->p, size);
    S->p += size;
    S->n -= size;
}

int loadbyte(LoadState* S)
{
    unsigned char c;
    loadblock(S, &c, 1);
    return c;
}

int loadint(LoadState* S)
{
    int32_t x;
    loadblock(S, &x, sizeof(x));
    if (x < 0) error(S, "corrupted");
    return x;
}

lua_Number loadnumber(LoadState* S)
{
    double d;
    loadblock(S, &d, sizeof(d));
    double r = std::nearbyint(d * 65536.0);  // folded constants like -1 stay exact
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return fix32(0x80000000u);
    return fix32(int64_t(r));
}

TString* loadstring(LoadState* S)
{
    uint64_t size;
    loadblock(S, &size, sizeof(size));
    if (size == 0) return nullptr;
    if (size > S->n) error(S, "truncated");
    TString* ts = luaS_newlstr(S->L, S->p, size_t(size - 1));
    S->p += size;
    S->n -= size;
    return ts;
}

void loadfunction(LoadState* S, Proto* f);

void loadconstants(LoadState* S, Proto* f)
{
    int n = loadint(S);
    f->k = luaM_newvector(S->L, n, TValue);
    f->sizek = n;
    for (int i = 0; i < n; i++) setnilvalue(&f->k[i]);
    for (int i = 0; i < n; i++) {
        TValue* o = &f->k[i];
        int t = loadbyte(S);
        switch (t) {
        case LUA_TNIL: setnilvalue(o); break;
        case LUA_TBOOLEAN: setbvalue(o, loadbyte(S)); break;
        case LUA_TNUMBER: setnvalue(o, loadnumber(S)); break;
        case LUA_TSTRING: {
            TString* s = loadstring(S);
            if (s == nullptr) error(S, "corrupted");
            TValue sv;
            setsvalue(&sv, s);
            setkvalue(o, &sv);
            break;
        }
        default: error(S, "corrupted");
        }
    }
    n = loadint(S);
    f->p = luaM_newvector(S->L, n, Proto*);
    f->sizep = n;
    for (int i = 0; i < n; i++) f->p[i] = nullptr;
    for (int i = 0; i < n; i++) {
        f->p[i] = luaF_newproto(S->L);
        loadfunction(S, f->p[i]);
    }
}

void loadupvalues(LoadState* S, Proto* f)
{
    int n = loadint(S);
    f->upvalues = luaM_newvector(S->L, n, Upvaldesc);
    f->sizeupvalues = n;
    for (int i = 0; i < n; i++) f->upvalues[i].name = nullptr;
    for (int i = 0; i < n; i++) {
        f->upvalues[i].instack = lu_byte(loadbyte(S));
        f->upvalues[i].idx = lu_byte(loadbyte(S));
    }
}

void loaddebug(LoadState* S, Proto* f)
{
    f->source = loadstring(S);
    int n = loadint(S);
    f->lineinfo = luaM_newvector(S->L, n, int);
    f->sizelineinfo = n;
    loadblock(S, f->lineinfo, sizeof(int) * size_t(n));
    n = loadint(S);
    f->locvars = luaM_newvector(S->L, n, LocVar);
    f->sizelocvars = n;
    for (int i = 0; i < n; i++) f->locvars[i].varname = nullptr;
    for (int i = 0; i < n; i++) {
        f->locvars[i].varname = loadstring(S);
        f->locvars[i].startpc = loadint(S);
        f->locvars[i].endpc = loadint(S);
    }
    n = loadint(S);
    for (int i = 0; i < n; i++) {
        TString* name = loadstring(S);
        if (i < f->sizeupvalues) f->upvalues[i].name = name;
    }
}

void loadfunction(LoadState* S, Proto* f)
{
    f->linedefined = loadint(S);
    f->lastlinedefined = loadint(S);
    f->numparams = lu_byte(loadbyte(S));
    f->is_vararg = lu_byte(loadbyte(S));
    f->maxstacksize = lu_byte(loadbyte(S));
    int n = loadint(S);
    f->code = luaM_newvector(S->L, n, Instruction);
    f->sizecode = n;
    loadblock(S, f->code, sizeof(Instruction) * size_t(n));
    for (int i = 0; i < n; i++)
        if (GET_RAWOP(f->code[i]) >= NUM_OPCODES) error(S, "bad opcode");
    loadconstants(S, f);
    loadupvalues(S, f);
    loaddebug(S, f);
    luaP_usevariants(f);
}

const char header[] = {'\x1b', 'L', 'u', 'a', '\x52', 0, 1, 4, 8, 4, 8, 0,
                       '\x19', '\x93', '\r', '\n', '\x1a', '\n'};
}  // namespace

// The caller blocks the collector: the prototypes are anchored only once
// the closure is on the stack.
LClosure* luaU_undump_buffer(lua_State* L, const char* buff, size_t size, const char* name)
{
    LoadState S{L, buff, size, name};
    char h[sizeof(header)];
    loadblock(&S, h, sizeof(h));
    if (memcmp(h, header, sizeof(h)) != 0) error(&S, "incompatible");
    Proto* p = luaF_newproto(L);
    loadfunction(&S, p);
    LClosure* cl = luaF_newLclosure(L, p->sizeupvalues);
    cl->p = p;
    setclLvalue(L->top, cl);
    api_incr_top(L);
    luaD_checkstack(L, 1);
    for (int i = 0; i < cl->nupvalues; i++) cl->upvals[i] = luaF_newupval(L);
    if (cl->nupvalues >= 1) {
        Table* reg = hvalue(&G(L)->l_registry);
        setobj(cl->upvals[0]->v, luaH_getint(reg, LUA_RIDX_GLOBALS));
    }
    return cl;
}
