// Debug information and the runtime errors of the virtual machine. Errors
// raised here carry no position prefix: the running Lua function's line
// goes to orbo_runtime_line instead. Variable descriptions ("local 'x'",
// "global 'x'", "field 'x'", "upvalue 'x'", "method 'x'", "constant 'x'")
// come from a symbolic execution of the function's code up to the fault.
#include <cstring>

#include "engine/lua/internal.h"


static int currentpc(CallInfo* ci) { return pcRel(ci->u.l.savedpc, ci_func(ci)->p); }

int luaG_currentline(CallInfo* ci) { return getfuncline(ci_func(ci)->p, currentpc(ci)); }

static const char* upvalname(Proto* p, int uv)
{
    if (uv >= p->sizeupvalues) return "?";
    TString* s = p->upvalues[uv].name;
    return s == nullptr ? "?" : getstr(s);
}

static const char* getobjname(Proto* p, int lastpc, int reg, const char** name);

// Name of a constant-or-register operand used as a key.
static void kname(Proto* p, int pc, int c, const char** name)
{
    if (ISK(c)) {
        const TValue* kv = &p->k[INDEXK(c)];
        if (ttisstring(kv)) {
            *name = svalue(kv);
            return;
        }
    } else {
        const char* what = getobjname(p, pc, c, name);
        if (what && *what == 'c') return;  // a constant
    }
    *name = "?";
}

// Last instruction before lastpc that changed register reg.
static int findsetreg(Proto* p, int lastpc, int reg)
{
    int setreg = -1;
    for (int pc = 0; pc < lastpc; pc++) {
        Instruction i = p->code[pc];
        OpCode op = GET_OPCODE(i);
        int a = GETARG_A(i);
        switch (op) {
        case OP_LOADNIL:
            if (a <= reg && reg <= a + GETARG_B(i)) setreg = pc;
            break;
        case OP_TFORCALL:
            if (reg >= a + 2) setreg = pc;
            break;
        case OP_CALL:
        case OP_TAILCALL:
            if (reg >= a) setreg = pc;
            break;
        case OP_JMP: {
            int b = GETARG_sBx(i);
            int dest = pc + 1 + b;
            if (pc < dest && dest <= lastpc) pc += b;  // follow forward jumps that stay before lastpc
            break;
        }
        case OP_TEST:
            if (reg == a) setreg = pc;
            break;
        default:
            if (testAMode(op) && reg == a) setreg = pc;
            break;
        }
    }
    return setreg;
}

static const char* getobjname(Proto* p, int lastpc, int reg, const char** name)
{
    *name = luaF_getlocalname(p, reg + 1, lastpc);
    if (*name) return "local";
    int pc = findsetreg(p, lastpc, reg);
    if (pc == -1) return nullptr;
    Instruction i = p->code[pc];
    OpCode op = GET_OPCODE(i);
    switch (op) {
    case OP_MOVE: {
        int b = GETARG_B(i);
        if (b < GETARG_A(i)) return getobjname(p, pc, b, name);
        break;
    }
    case OP_GETTABUP:
    case OP_GETTABLE: {
        int k = GETARG_C(i);
        int t = GETARG_B(i);
        const char* vn = op == OP_GETTABLE ? luaF_getlocalname(p, t + 1, pc) : upvalname(p, t);
        kname(p, pc, k, name);
        return (vn && strcmp(vn, "_ENV") == 0) ? "global" : "field";
    }
    case OP_GETUPVAL: *name = upvalname(p, GETARG_B(i)); return "upvalue";
    case OP_LOADK:
    case OP_LOADKX: {
        int b = op == OP_LOADK ? GETARG_Bx(i) : GETARG_Ax(p->code[pc + 1]);
        if (ttisstring(&p->k[b])) {
            *name = svalue(&p->k[b]);
            return "constant";
        }
        break;
    }
    case OP_SELF: kname(p, pc, GETARG_C(i), name); return "method";
    default: break;
    }
    return nullptr;
}

// How the function running in ci was called, seen from its caller.
static const char* getfuncname(lua_State* L, CallInfo* ci, const char** name)
{
    TMS tm;
    Proto* p = ci_func(ci)->p;
    int pc = currentpc(ci);
    Instruction i = p->code[pc];
    switch (GET_OPCODE(i)) {
    case OP_CALL:
    case OP_TAILCALL: return getobjname(p, pc, GETARG_A(i), name);
    case OP_TFORCALL: *name = "for iterator"; return "for iterator";
    case OP_SELF: case OP_GETTABUP: case OP_GETTABLE: tm = TM_INDEX; break;
    case OP_SETTABUP: case OP_SETTABLE: tm = TM_NEWINDEX; break;
    case OP_EQ: tm = TM_EQ; break;
    case OP_ADD: tm = TM_ADD; break;
    case OP_SUB: tm = TM_SUB; break;
    case OP_MUL: tm = TM_MUL; break;
    case OP_DIV: tm = TM_DIV; break;
    case OP_MOD: tm = TM_MOD; break;
    case OP_POW: tm = TM_POW; break;
    case OP_UNM: tm = TM_UNM; break;
    case OP_LEN: tm = TM_LEN; break;
    case OP_LT: tm = TM_LT; break;
    case OP_LE: tm = TM_LE; break;
    case OP_CONCAT: tm = TM_CONCAT; break;
    default: return nullptr;
    }
    *name = getstr(G(L)->tmname[tm]);
    return "metamethod";
}

static const char* getupvalname(CallInfo* ci, const TValue* o, const char** name)
{
    LClosure* c = ci_func(ci);
    for (int i = 0; i < c->nupvalues; i++) {
        if (c->upvals[i]->v == o) {
            *name = upvalname(c->p, i);
            return "upvalue";
        }
    }
    return nullptr;
}

static bool isinstack(CallInfo* ci, const TValue* o)
{
    for (StkId p = ci->u.l.base; p < ci->top; p++)
        if (o == p) return true;
    return false;
}

void luaG_typeerror(lua_State* L, const TValue* o, const char* op)
{
    CallInfo* ci = L->ci;
    const char* name = nullptr;
    const char* t = objtypename(o);
    const char* kind = nullptr;
    if (isLua(ci)) {
        kind = getupvalname(ci, o, &name);
        if (!kind && isinstack(ci, o)) kind = getobjname(ci_func(ci)->p, currentpc(ci), int(o - ci->u.l.base), &name);
    }
    if (kind) luaG_runerror(L, "attempt to %s %s '%s' (a %s value)", op, kind, name, t);
    luaG_runerror(L, "attempt to %s a %s value", op, t);
}

void luaG_concaterror(lua_State* L, StkId p1, StkId p2)
{
    if (ttisstring(p1) || ttisnumber(p1)) p1 = p2;
    luaG_typeerror(L, p1, "concatenate");
}

void luaG_aritherror(lua_State* L, const TValue* p1, const TValue* p2)
{
    TValue temp;
    if (luaV_tonumber(p1, &temp) == nullptr) p2 = p1;  // first operand is wrong
    luaG_typeerror(L, p2, "perform arithmetic on");
}

void luaG_ordererror(lua_State* L, const TValue* p1, const TValue* p2)
{
    const char* t1 = objtypename(p1);
    const char* t2 = objtypename(p2);
    if (t1 == t2) luaG_runerror(L, "attempt to compare two %s values", t1);
    luaG_runerror(L, "attempt to compare %s with %s", t1, t2);
}

void luaG_errormsg(lua_State* L)
{
    if (L->errfunc != 0) {
        StkId errfunc = restorestack(L, L->errfunc);
        if (!ttisfunction(errfunc)) luaD_throw(L, LUA_ERRERR);
        setobj(L->top, L->top - 1);
        setobj(L->top - 1, errfunc);
        incr_top(L);
        luaD_call(L, L->top - 2, 1, 0);
    }
    luaD_throw(L, LUA_ERRRUN);
}

void luaG_runerror(lua_State* L, const char* fmt, ...)
{
    va_list argp;
    va_start(argp, fmt);
    luaO_pushvfstring(L, fmt, argp);
    va_end(argp);
    if (isLua(L->ci)) orbo_runtime_line = luaG_currentline(L->ci);
    luaG_errormsg(L);
}

// Debug interface.

int lua_sethook(lua_State* L, lua_Hook func, int mask, int count)
{
    if (func == nullptr || mask == 0) {
        mask = 0;
        func = nullptr;
    }
    if (isLua(L->ci)) L->oldpc = L->ci->u.l.savedpc;
    L->hook = func;
    L->basehookcount = count;
    resethookcount(L);
    L->hookmask = cast_byte(mask);
    return 1;
}

lua_Hook lua_gethook(lua_State* L) { return L->hook; }
int lua_gethookmask(lua_State* L) { return L->hookmask; }
int lua_gethookcount(lua_State* L) { return L->basehookcount; }

int lua_getstack(lua_State* L, int level, lua_Debug* ar)
{
    if (level < 0) return 0;
    CallInfo* ci;
    for (ci = L->ci; level > 0 && ci != &L->base_ci; ci = ci->previous) level--;
    if (level == 0 && ci != &L->base_ci) {
        ar->i_ci = ci;
        return 1;
    }
    return 0;
}

// A Lua closure, or null for a host function.
static void funcinfo(lua_Debug* ar, LClosure* cl)
{
    if (cl == nullptr) {
        ar->source = "=[C]";
        ar->linedefined = -1;
        ar->lastlinedefined = -1;
        ar->what = "C";
    } else {
        Proto* p = cl->p;
        ar->source = p->source ? getstr(p->source) : "=?";
        ar->linedefined = p->linedefined;
        ar->lastlinedefined = p->lastlinedefined;
        ar->what = (ar->linedefined == 0) ? "main" : "Lua";
    }
    luaO_chunkid(ar->short_src, ar->source, LUA_IDSIZE);
}

static int auxgetinfo(lua_State* L, const char* what, lua_Debug* ar, const TValue* func, CallInfo* ci)
{
    int status = 1;
    for (; *what; what++) {
        switch (*what) {
        case 'S': funcinfo(ar, ttisLclosure(func) ? clLvalue(func) : nullptr); break;
        case 'l': ar->currentline = (ci && isLua(ci)) ? luaG_currentline(ci) : -1; break;
        case 'u':
            ar->nups = ttisLclosure(func) ? clLvalue(func)->nupvalues : ttisCclosure(func) ? clCvalue(func)->nupvalues : 0;
            if (!ttisLclosure(func)) {
                ar->isvararg = 1;
                ar->nparams = 0;
            } else {
                ar->isvararg = char(clLvalue(func)->p->is_vararg);
                ar->nparams = clLvalue(func)->p->numparams;
            }
            break;
        case 't': ar->istailcall = ci ? char(ci->callstatus & CIST_TAIL) : 0; break;
        case 'n':
            if (ci != nullptr && !(ci->callstatus & CIST_TAIL) && isLua(ci->previous))
                ar->namewhat = getfuncname(L, ci->previous, &ar->name);
            else ar->namewhat = nullptr;
            if (ar->namewhat == nullptr) {
                ar->namewhat = "";
                ar->name = nullptr;
            }
            break;
        case 'L':
        case 'f': break;
        default: status = 0;
        }
    }
    return status;
}

int lua_getinfo(lua_State* L, const char* what, lua_Debug* ar)
{
    CallInfo* ci = nullptr;
    StkId func;
    if (*what == '>') {
        func = L->top - 1;
        what++;
        L->top--;
    } else {
        ci = ar->i_ci;
        func = ci->func;
    }
    int status = auxgetinfo(L, what, ar, func, ci);
    if (strchr(what, 'f')) {
        setobj(L->top, func);
        incr_top(L);
    }
    return status;
}
