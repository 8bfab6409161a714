// The virtual machine: one switch over the 40 opcodes, all arithmetic on
// 16.16 raw values (add, subtract and negate wrap; multiply, divide, modulo
// and power go through the number module). Invariants inside luaV_execute:
// 'base' is the running frame's first register and is reloaded after
// anything that may move the stack (Protect); L->top == ci->top except
// while a multiple-result sequence is open (after CALL/VARARG with B or C 0).
#include <cstring>

#include "engine/lua/internal.h"

#define MAXTAGLOOP 100

static inline fix32 wadd(fix32 a, fix32 b) { return fix32(uint32_t(a) + uint32_t(b)); }
static inline fix32 wsub(fix32 a, fix32 b) { return fix32(uint32_t(a) - uint32_t(b)); }
static inline fix32 wneg(fix32 a) { return fix32(0u - uint32_t(a)); }

const TValue* luaV_tonumber(const TValue* obj, TValue* n)
{
    lua_Number num;
    if (ttisnumber(obj)) return obj;
    if (ttisstring(obj) && luaO_str2d(svalue(obj), tsvalue(obj)->len, &num)) {
        setnvalue(n, num);
        return n;
    }
    return nullptr;
}

int luaV_tostring(lua_State* L, StkId obj)
{
    if (!ttisnumber(obj)) return 0;
    char s[ORBO_NUMBER_TEXT + 1];
    int l = orbo_fixed_to_string(s, nvalue(obj));
    setsvalue(obj, luaS_newlstr(L, s, size_t(l)));
    return 1;
}

static void callTM(lua_State* L, const TValue* f, const TValue* p1, const TValue* p2, TValue* p3, int hasres)
{
    ptrdiff_t result = savestack(L, p3);
    setobj(L->top++, f);
    setobj(L->top++, p1);
    setobj(L->top++, p2);
    if (!hasres) setobj(L->top++, p3);
    luaD_call(L, L->top - (4 - hasres), hasres, isLua(L->ci));
    if (hasres) {
        p3 = restorestack(L, result);
        setobj(p3, --L->top);
    }
}

void luaV_gettable(lua_State* L, const TValue* t, TValue* key, StkId val)
{
    for (int loop = 0; loop < MAXTAGLOOP; loop++) {
        const TValue* tm;
        if (ttistable(t)) {
            Table* h = hvalue(t);
            const TValue* res = luaH_get(h, key);
            if (!ttisnil(res) || (tm = fasttm(L, h->metatable, TM_INDEX)) == nullptr) {
                setobj(val, res);
                return;
            }
        } else if (ttisnil(tm = luaT_gettmbyobj(L, t, TM_INDEX))) {
            luaG_typeerror(L, t, "index");
        }
        if (ttisfunction(tm)) {
            callTM(L, tm, t, key, val, 1);
            return;
        }
        t = tm;
    }
    luaG_runerror(L, "loop in gettable");
}

void luaV_settable(lua_State* L, const TValue* t, TValue* key, StkId val)
{
    for (int loop = 0; loop < MAXTAGLOOP; loop++) {
        const TValue* tm;
        if (ttistable(t)) {
            Table* h = hvalue(t);
            TValue* oldval = const_cast<TValue*>(luaH_get(h, key));
            // An existing key, or no __newindex: a raw assignment.
            if (!ttisnil(oldval) || (tm = fasttm(L, h->metatable, TM_NEWINDEX)) == nullptr) {
                if (oldval == luaO_nilobject) oldval = luaH_newkey(L, h, key);
                setobj(oldval, val);
                luaH_stored(G(L), h);
                return;
            }
        } else if (ttisnil(tm = luaT_gettmbyobj(L, t, TM_NEWINDEX))) {
            luaG_typeerror(L, t, "index");
        }
        if (ttisfunction(tm)) {
            callTM(L, tm, t, key, val, 0);
            return;
        }
        t = tm;
    }
    luaG_runerror(L, "loop in settable");
}

static int call_binTM(lua_State* L, const TValue* p1, const TValue* p2, StkId res, TMS event)
{
    const TValue* tm = luaT_gettmbyobj(L, p1, event);
    if (ttisnil(tm)) tm = luaT_gettmbyobj(L, p2, event);
    if (ttisnil(tm)) return 0;
    callTM(L, tm, p1, p2, res, 1);
    return 1;
}

static const TValue* get_equalTM(lua_State* L, Table* mt1, Table* mt2, TMS event)
{
    const TValue* tm1 = fasttm(L, mt1, event);
    if (tm1 == nullptr) return nullptr;
    if (mt1 == mt2) return tm1;
    const TValue* tm2 = fasttm(L, mt2, event);
    if (tm2 == nullptr) return nullptr;
    if (luaV_rawequalobj(tm1, tm2)) return tm1;
    return nullptr;
}

static int call_orderTM(lua_State* L, const TValue* p1, const TValue* p2, TMS event)
{
    if (!call_binTM(L, p1, p2, L->top, event)) return -1;
    return !l_isfalse(L->top);
}

// Byte-wise comparison; a string that is a prefix of the other is smaller.
static int l_strcmp(const TString* ls, const TString* rs)
{
    size_t ll = ls->len, lr = rs->len;
    int temp = memcmp(getstr(ls), getstr(rs), ll < lr ? ll : lr);
    if (temp != 0) return temp;
    return ll < lr ? -1 : (ll == lr ? 0 : 1);
}

int luaV_lessthan(lua_State* L, const TValue* l, const TValue* r)
{
    int res;
    if (ttisnumber(l) && ttisnumber(r)) return nvalue(l) < nvalue(r);
    if (ttisstring(l) && ttisstring(r)) return l_strcmp(rawtsvalue(l), rawtsvalue(r)) < 0;
    if ((res = call_orderTM(L, l, r, TM_LT)) < 0) luaG_ordererror(L, l, r);
    return res;
}

int luaV_lessequal(lua_State* L, const TValue* l, const TValue* r)
{
    int res;
    if (ttisnumber(l) && ttisnumber(r)) return nvalue(l) <= nvalue(r);
    if (ttisstring(l) && ttisstring(r)) return l_strcmp(rawtsvalue(l), rawtsvalue(r)) <= 0;
    if ((res = call_orderTM(L, l, r, TM_LE)) >= 0) return res;
    if ((res = call_orderTM(L, r, l, TM_LT)) < 0) luaG_ordererror(L, l, r);
    return !res;
}

// Equality of two values of the same tag; L null means raw equality.
int luaV_equalobj_(lua_State* L, const TValue* t1, const TValue* t2)
{
    const TValue* tm;
    if (rttype(t1) != rttype(t2)) return 0;
    switch (ttype(t1)) {
    case LUA_TNIL: return 1;
    case LUA_TNUMBER: return nvalue(t1) == nvalue(t2);
    case LUA_TBOOLEAN: return bvalue(t1) == bvalue(t2);
    case LUA_TLIGHTUSERDATA: return pvalue(t1) == pvalue(t2);
    case LUA_TLCF: return fvalue(t1) == fvalue(t2);
    case LUA_TSHRSTR: return rawtsvalue(t1) == rawtsvalue(t2);
    case LUA_TLNGSTR: return luaS_eqlngstr(rawtsvalue(t1), rawtsvalue(t2));
    case LUA_TUSERDATA:
        if (uvalue(t1) == uvalue(t2)) return 1;
        if (L == nullptr) return 0;
        tm = get_equalTM(L, uvalue(t1)->metatable, uvalue(t2)->metatable, TM_EQ);
        break;
    case LUA_TTABLE:
        if (hvalue(t1) == hvalue(t2)) return 1;
        if (L == nullptr) return 0;
        tm = get_equalTM(L, hvalue(t1)->metatable, hvalue(t2)->metatable, TM_EQ);
        break;
    default: return gcvalue(t1) == gcvalue(t2);
    }
    if (tm == nullptr) return 0;
    callTM(L, tm, t1, t2, L->top, 1);
    return !l_isfalse(L->top);
}

// Concatenates the 'total' values below the top, right to left, coalescing
// runs of strings and numbers into one buffer copy.
void luaV_concat(lua_State* L, int total)
{
    do {
        StkId top = L->top;
        int n = 2;
        if (!(ttisstring(top - 2) || ttisnumber(top - 2)) || !tostring(L, top - 1)) {
            if (!call_binTM(L, top - 2, top - 1, top - 2, TM_CONCAT)) luaG_concaterror(L, top - 2, top - 1);
        } else if (tsvalue(top - 1)->len == 0) {
            (void)tostring(L, top - 2);
        } else if (ttisstring(top - 2) && tsvalue(top - 2)->len == 0) {
            setobj(top - 2, top - 1);
        } else {
            size_t tl = tsvalue(top - 1)->len;
            for (n = 1; n < total && tostring(L, top - n - 1); n++) {
                size_t l = tsvalue(top - n - 1)->len;
                if (l >= (MAX_SIZET / sizeof(char)) - tl) luaG_runerror(L, "string length overflow");
                tl += l;
            }
            // The pieces stay anchored on the stack until the result is
            // built: a short result (interned, so hashed from its whole
            // text) through a local buffer, a long one straight into the
            // new string object.
            char shortbuf[LUAI_MAXSHORTLEN];
            TString* ts = nullptr;
            char* buffer = shortbuf;
            if (tl > LUAI_MAXSHORTLEN) {
                ts = luaS_newlngstr(L, tl);
                buffer = getstr(ts);
            }
            size_t pos = 0;
            for (int i = n; i > 0; i--) {
                size_t l = tsvalue(top - i)->len;
                memcpy(buffer + pos, svalue(top - i), l);
                pos += l;
            }
            if (ts == nullptr) ts = luaS_newlstr(L, shortbuf, tl);
            setsvalue(top - n, ts);
        }
        total -= n - 1;
        L->top -= n - 1;
    } while (total > 1);
}

void luaV_objlen(lua_State* L, StkId ra, const TValue* rb)
{
    const TValue* tm;
    switch (ttypenv(rb)) {
    case LUA_TTABLE: {
        Table* h = hvalue(rb);
        tm = fasttm(L, h->metatable, TM_LEN);
        if (tm) break;
        setnvalue(ra, fix_from_int(luaH_getn(h)));
        return;
    }
    case LUA_TSTRING: setnvalue(ra, fix_from_int(int32_t(tsvalue(rb)->len))); return;
    default:
        tm = luaT_gettmbyobj(L, rb, TM_LEN);
        if (ttisnil(tm)) luaG_typeerror(L, rb, "get length of");
        break;
    }
    callTM(L, tm, rb, rb, ra, 1);
}

static inline fix32 arith_op(TMS op, fix32 a, fix32 b)
{
    switch (op) {
    case TM_ADD: return wadd(a, b);
    case TM_SUB: return wsub(a, b);
    case TM_MUL: return ob_fmul(a, b);
    case TM_DIV: return ob_fdiv(a, b);
    case TM_MOD: return ob_fmod(a, b);
    case TM_POW: return ob_fpow(a, b);
    default: return wneg(a);
    }
}

void luaV_arith(lua_State* L, StkId ra, const TValue* rb, const TValue* rc, TMS op)
{
    TValue tempb, tempc;
    const TValue *b, *c;
    if ((b = luaV_tonumber(rb, &tempb)) != nullptr && (c = luaV_tonumber(rc, &tempc)) != nullptr) {
        setnvalue(ra, arith_op(op, nvalue(b), nvalue(c)));
    } else if (!call_binTM(L, rb, rc, ra, op)) {
        luaG_aritherror(L, rb, rc);
    }
}

// The closure made last from p, if it has exactly the upvalues a new one
// would get: then it is reused (so a function expression with no fresh
// upvalues yields the same value each time it runs). Every collection
// clears the caches, so no cache refers to a freed closure.
static LClosure* getcached(Proto* p, UpVal** encup, StkId base)
{
    LClosure* c = p->cache;
    if (c == nullptr) return nullptr;
    Upvaldesc* uv = p->upvalues;
    for (int i = 0; i < p->sizeupvalues; i++) {
        TValue* v = uv[i].instack ? base + uv[i].idx : encup[uv[i].idx]->v;
        if (c->upvals[i]->v != v) return nullptr;
    }
    return c;
}

// Closure creation: upvalues come from the enclosing frame's registers
// (found or opened) or from the enclosing closure's own upvalues.
static void pushclosure(lua_State* L, Proto* p, UpVal** encup, StkId base, StkId ra)
{
    int nup = p->sizeupvalues;
    Upvaldesc* uv = p->upvalues;
    LClosure* ncl = luaF_newLclosure(L, nup);
    ncl->p = p;
    setclLvalue(ra, ncl);
    for (int i = 0; i < nup; i++) {
        if (uv[i].instack) ncl->upvals[i] = luaF_findupval(L, base + uv[i].idx);
        else ncl->upvals[i] = encup[uv[i].idx];
    }
    p->cache = ncl;
}

// Completes an instruction interrupted by a yield inside a metamethod.
void luaV_finishOp(lua_State* L)
{
    CallInfo* ci = L->ci;
    StkId base = ci->u.l.base;
    Instruction inst = *(ci->u.l.savedpc - 1);
    OpCode op = GET_OPCODE(inst);
    switch (op) {
    case OP_ADD: case OP_SUB: case OP_MUL: case OP_DIV: case OP_MOD: case OP_POW:
    case OP_UNM: case OP_LEN: case OP_GETTABUP: case OP_GETTABLE: case OP_SELF:
        setobj(base + GETARG_A(inst), --L->top);
        break;
    case OP_LE: case OP_LT: case OP_EQ: {
        int res = !l_isfalse(L->top - 1);
        L->top--;
        // "<=" done through "<" with swapped operands (the left operand has
        // no __le): negate the result. The left operand may be a constant.
        if (op == OP_LE) {
            int b = GETARG_B(inst);
            const TValue* rb = ISK(b) ? ci->u.l.k + INDEXK(b) : base + b;
            if (ttisnil(luaT_gettmbyobj(L, rb, TM_LE))) res = !res;
        }
        if (res != GETARG_A(inst)) ci->u.l.savedpc++;  // condition failed: skip the jump
        break;
    }
    case OP_CONCAT: {
        StkId top = L->top - 1;
        int b = GETARG_B(inst);
        int total = int(top - 1 - (base + b));
        setobj(top - 2, top);
        if (total > 1) {
            L->top = top - 1;
            luaV_concat(L, total);
        }
        setobj(ci->u.l.base + GETARG_A(inst), L->top - 1);
        L->top = ci->top;
        break;
    }
    case OP_TFORCALL: L->top = ci->top; break;
    case OP_CALL:
        if (GETARG_C(inst) - 1 >= 0) L->top = ci->top;
        break;
    default: break;
    }
}

// Count and line hooks, called before an instruction. A hook that yields
// leaves the instruction to run again on resumption, without a second hook.
static void traceexec(lua_State* L)
{
    CallInfo* ci = L->ci;
    lu_byte mask = L->hookmask;
    int counthook = ((mask & LUA_MASKCOUNT) && L->hookcount == 0);
    if (counthook) resethookcount(L);
    if (ci->callstatus & CIST_HOOKYIELD) {
        ci->callstatus &= lu_byte(~CIST_HOOKYIELD);
        return;
    }
    if (counthook) luaD_hook(L, LUA_HOOKCOUNT, -1);
    if (mask & LUA_MASKLINE) {
        Proto* p = ci_func(ci)->p;
        int npc = pcRel(ci->u.l.savedpc, p);
        int newline = getfuncline(p, npc);
        if (npc == 0 || ci->u.l.savedpc <= L->oldpc || newline != getfuncline(p, pcRel(L->oldpc, p)))
            luaD_hook(L, LUA_HOOKLINE, newline);
    }
    L->oldpc = ci->u.l.savedpc;
    if (L->status == LUA_YIELD) {
        if (counthook) L->hookcount = 1;
        ci->u.l.savedpc--;
        ci->callstatus |= CIST_HOOKYIELD;
        ci->func = L->top - 1;
        luaD_throw(L, LUA_YIELD);
    }
}

// ---- The interpreter loop ----
//
// Registers of luaV_execute: pc (the next instruction; ci->u.l.savedpc is
// only brought up to date before anything that may look at it or leave the
// loop), base, k, cl and hc, the hook counter. Every instruction decrements
// hc once, and the slow path runs when it reaches 0:
//   count hook only: hc is L->hookcount, held in a register; it goes back to
//                    L->hookcount before any call out of the loop and is
//                    read again after it (host functions read and move it);
//   line hook:       hc is 1, so every instruction takes the slow path, which
//                    keeps L->hookcount itself as the reference engine does;
//   no count hook:   hc is a large number; reaching 0 just reloads it.
// So the instruction count and the moments of the count hook are those of
// the reference engine, with one register decrement per instruction.

#define HOOKMODE_MASK (LUA_MASKLINE | LUA_MASKCOUNT)
#define HC_IDLE INT_MAX

static inline int hook_load(const lua_State* L)
{
    lu_byte mask = L->hookmask;
    if (!(mask & HOOKMODE_MASK)) return HC_IDLE;
    if (mask & LUA_MASKLINE) return 1;
    return L->hookcount;
}

static inline void hook_save(lua_State* L, int hc)
{
    if ((L->hookmask & HOOKMODE_MASK) == LUA_MASKCOUNT) L->hookcount = hc;
}

// The counter reached 0: the count or line hook is due (or, without hooks,
// the idle count ran out). pc is the instruction after the one about to run.
static int __attribute__((noinline)) hook_due(lua_State* L, const Instruction* pc)
{
    lu_byte mask = L->hookmask;
    if (!(mask & HOOKMODE_MASK)) return HC_IDLE;
    L->ci->u.l.savedpc = pc;
    if (mask & LUA_MASKLINE) L->hookcount--;
    else L->hookcount = 0;
    traceexec(L);
    return hook_load(L);
}

#if defined(__GNUC__)
#define l_likely(x) __builtin_expect(!!(x), 1)
#define l_unlikely(x) __builtin_expect(!!(x), 0)
#else
#define l_likely(x) (x)
#define l_unlikely(x) (x)
#endif

// Array slot of a number key, or null.
static inline TValue* arrayslot(Table* h, lua_Number n)
{
    int k = n >> 16;
    if ((n & 0xffff) == 0 && unsigned(k - 1) < unsigned(h->sizearray)) return &h->array[k - 1];
    return nullptr;
}

// Raw lookup for the common keys (array-part numbers, short strings).
// KeyOrder says which kind is tested first and laid out as the straight
// path: strings for constant keys (fields, globals, methods; their hash is
// read from the constant), numbers for register keys (array indices).
// short_string is a key known to be a short-string constant.
enum class KeyOrder { number_first, string_first, short_string };

// A short-string constant key's value in h (the nil object when absent).
static inline const TValue* shortfield(Table* h, const TValue* key)
{
    return luaH_getshortstr(h, rawtsvalue(key), key->aux_);
}

template <KeyOrder order = KeyOrder::number_first>
static inline __attribute__((always_inline)) const TValue* rawget(Table* h, const TValue* key)
{
    if (order == KeyOrder::short_string) return shortfield(h, key);
    if (order == KeyOrder::string_first && l_likely(ttisshrstring(key))) return shortfield(h, key);
    if (ttisnumber(key)) {
        TValue* slot = arrayslot(h, nvalue(key));
        if (slot) return slot;
        return luaH_get(h, key);
    }
    if (ttisshrstring(key)) return luaH_getshortstr(h, rawtsvalue(key));
    return luaH_get(h, key);
}

// t[key] through raw hits and __index tables only (the flags cache of
// absent metamethods is kept as luaT_gettm keeps it). Null when a function
// __index, a non-table or a long chain is met: the caller then takes the
// full path from the start, which repeats only side-effect-free lookups.
// The raw lookup in the first table is inline; the chain is not.
static const TValue* __attribute__((noinline)) index_chain(global_State* g, Table* h, const TValue* key, const TValue* v,
                                                           const Instruction* pc)
{
    chain_memo* memo = nullptr;
    if (ttisshrstring(key)) {
        memo = &g->caches.chain_memos[(reinterpret_cast<uintptr_t>(pc) / sizeof(Instruction)) % CHAIN_MEMOS];
        if (memo->mt == h->metatable && memo->key == rawtsvalue(key) && memo->epoch == g->caches.chain_epoch)
            return memo->slot;
    }
    const Table* first_mt = h->metatable;
    for (int depth = 0; depth < 8; depth++) {
        Table* mt = h->metatable;
        if (mt == nullptr || (mt->flags & (1u << TM_INDEX))) return v;
        const TValue* tm = luaH_getshortstr(mt, g->tmname[TM_INDEX]);
        if (ttisnil(tm)) {
            mt->flags |= cast_byte(1u << TM_INDEX);
            return v;
        }
        if (!ttistable(tm)) return nullptr;
        mt->in_chain = 1;
        h = hvalue(tm);
        h->in_chain = 1;
        v = rawget(h, key);
        if (!ttisnil(v)) {
            if (memo != nullptr) *memo = {first_mt, rawtsvalue(key), g->caches.chain_epoch, v};
            return v;
        }
    }
    return nullptr;
}

template <KeyOrder order>
static inline __attribute__((always_inline)) const TValue* index_fast(global_State* g, Table* h, const TValue* key,
                                                                      const Instruction* pc)
{
    const TValue* v = rawget<order>(h, key);
    if (l_likely(!ttisnil(v))) return v;
    Table* mt = h->metatable;
    if (mt == nullptr || (mt->flags & (1u << TM_INDEX))) return v;
    return index_chain(g, h, key, v, pc);
}

// The slot a raw assignment t[key] = v can store into directly: an existing
// non-nil slot, or any existing slot of a table without metatable. Null
// otherwise (new key, or a nil slot under a metatable: __newindex decides).
template <KeyOrder order>
static inline TValue* newindex_slot(Table* h, const TValue* key)
{
    TValue* slot = const_cast<TValue*>(rawget<order>(h, key));
    if (slot == luaO_nilobject) return nullptr;
    if (!ttisnil(slot) || h->metatable == nullptr) return slot;
    return nullptr;
}

// t[key] = val past the inline path. A key absent from a table without
// metatable is a raw insertion, as luaV_settable would do it after looking
// the key up once more.
static void __attribute__((noinline)) settable_slow(lua_State* L, const TValue* t, TValue* key, TValue* val)
{
    if (ttistable(t) && hvalue(t)->metatable == nullptr) {
        Table* h = hvalue(t);
        TValue* cell = luaH_newkey(L, h, key);
        setobj(cell, val);
        luaH_stored(G(L), h);
        return;
    }
    luaV_settable(L, t, key, val);
}

// A call of a light host function with no call, return or line hook and
// room on the stack: luaD_precall's and luaD_poscall's work inline (the
// caller has saved pc and the hook count). False when the function yielded:
// its frame stays for lua_resume.
static inline bool call_light(lua_State* L, CallInfo* ci, StkId func, int nresults)
{
    lua_CFunction f = fvalue(func);
    CallInfo* nci = ci->next;
    nci->nresults = short(nresults);
    nci->func = func;
    nci->top = L->top + LUA_MINSTACK;
    nci->callstatus = 0;
    L->ci = nci;
    luaC_checkGC(L);
    int n = luaD_runhost(L, f);
    if (L->status == LUA_YIELD) return false;
    L->ci = ci;
    L->top = luaD_moveresults(nci->func, L->top - n, L->top, nresults);  // the stack may have moved
    return true;
}

// The outcome of comparison j (an _RN or _NR variant) with x in its
// register operand; k is the function's constants.
static inline int compare_number(Instruction j, lua_Number x, const TValue* k)
{
    switch (GET_RAWOP(j)) {
    case OP_LT_RN: return x < nvalue(&k[INDEXK(GETARG_C(j))]);
    case OP_LE_RN: return x <= nvalue(&k[INDEXK(GETARG_C(j))]);
    case OP_LT_NR: return nvalue(&k[INDEXK(GETARG_B(j))]) < x;
    case OP_LE_NR: return nvalue(&k[INDEXK(GETARG_B(j))]) <= x;
    default: return x == nvalue(&k[INDEXK(GETARG_C(j))]);  // EQ_RN
    }
}

// Number modulo with the common case (both operands positive) inline; a
// power-of-two divisor needs no hardware division (same remainder).
static inline fix32 vm_mod(fix32 a, fix32 b)
{
    if (a >= 0 && b > 0) {
        if ((b & (b - 1)) == 0) return a & (b - 1);
        return a % b;
    }
    return ob_fmod(a, b);
}


// Operands as byte offsets: a field shifted to 4 bits above its position
// and masked is already index * sizeof(TValue) (one shift and one mask,
// where index-then-scale takes three operations).
static_assert(sizeof(TValue) == 16, "operand offsets scale by 16");
#define OPOFF(i, pos, mask) (((i) >> ((pos)-4)) & ((mask) << 4))
#define ATOFF(p, off) reinterpret_cast<TValue*>(reinterpret_cast<char*>(p) + (off))
#define RA(i) ATOFF(base, OPOFF(i, POS_A, MAXARG_A))
#define RB(i) ATOFF(base, OPOFF(i, POS_B, MAXARG_B))
#define RC(i) ATOFF(base, OPOFF(i, POS_C, MAXARG_C))
#define ISKB(i) ((i) & (BITRK << POS_B))
#define ISKC(i) ((i) & (BITRK << POS_C))
// The running closure and its constants are read through the frame (ci is
// always in a register; two more registers for them cost the loop more in
// spills than the extra load).
#define CL (ci->u.l.cl)
#define KBASE (ci->u.l.k)
#define KB(i) ATOFF(KBASE, OPOFF(i, POS_B, MAXINDEXRK))
#define KC(i) ATOFF(KBASE, OPOFF(i, POS_C, MAXINDEXRK))
#define RKB(i) (ISKB(i) ? KB(i) : RB(i))
#define RKC(i) (ISKC(i) ? KC(i) : RC(i))
#define KBx(i) ATOFF(KBASE, OPOFF(i, POS_Bx, MAXARG_Bx))

// The reads of i and j (_S reads of h) when both fields are present; ra is
// i's register (written even when j's field is absent: i then runs alone).
static inline __attribute__((always_inline)) bool read_pair(Table* h, Instruction i, Instruction j, StkId ra,
                                                            CallInfo* ci, StkId base)
{
    const TValue* v = shortfield(h, KC(i));
    if (l_unlikely(ttisnil(v))) return false;
    setobj(ra, v);
    const TValue* w = shortfield(h, KC(j));
    if (l_unlikely(ttisnil(w))) return false;
    setobj(RA(j), w);
    return true;
}

#define savepc() (ci->u.l.savedpc = pc)
#define savestate() { savepc(); hook_save(L, hc); }
#define loadstate() { base = ci->u.l.base; hc = hook_load(L); }
// Around every call that may run other code, raise an error, allocate or
// move the stack.
#define Protect(x) { savestate(); x; loadstate(); }
#define dojump(i, e) { int a_ = GETARG_A(i); if (a_ > 0) luaF_close(L, base + a_ - 1); pc += GETARG_sBx(i) + e; }
#define donextjump() { Instruction ni_ = *pc; dojump(ni_, 1); }
#define checkGC(L, c) { if (l_unlikely(g->totalbytes >= g->GCthreshold)) { savestate(); L->top = (c); luaC_step(L); L->top = ci->top; loadstate(); } }


// Instruction dispatch. With GCC or Clang each handler jumps straight to the
// next one through a table of label addresses (one indirect branch per
// handler predicts far better than the shared one of a switch); elsewhere
// it is a plain switch.
#if defined(__GNUC__) && !defined(ORBO_NO_JUMPTABLE)
#define ORBO_JUMPTABLE 1
// The table is indexed by the instruction's low byte (the opcode and two
// bits of A), which saves masking the opcode out.
#define vmdispatch(o) goto* disptab[(o) & 0xff];
#define vmcase(l) L_##l:
#define vmbreak { vmfetch(); vmdispatch(i); }
#define DISPATCH_INDEX(i) (i)
#else
#define ORBO_JUMPTABLE 0
#define vmdispatch(o) switch (o)
#define DISPATCH_INDEX(i) GET_RAWOP(i)
#define vmcase(l) case l:
#define vmbreak break
#endif
#define vmfetch()                                      \
    {                                                  \
        i = *pc;                                       \
        pc++;                                          \
        if (l_unlikely(--hc == 0)) {                   \
            hc = hook_due(L, pc);                      \
            base = ci->u.l.base;                       \
        }                                              \
        ra = RA(i);                                    \
    }

// R(A) := t[key]: tables and __index tables inline, the rest (and every
// metamethod call) through luaV_gettable. The macros' own names start
// with ix_, so that a handler may pass any of its variables.
#define vm_index(t_, key_, order)                                                                        \
    {                                                                                                    \
        const TValue* ix_t = (t_);                                                                       \
        TValue* ix_key = (key_);                                                                         \
        const TValue* ix_v = ttistable(ix_t) ? index_fast<order>(g, hvalue(ix_t), ix_key, pc) : nullptr; \
        if (l_likely(ix_v != nullptr)) setobj(ra, ix_v);                                                 \
        else Protect(luaV_gettable(L, ix_t, ix_key, ra));                                                \
    }

// t[key] := val: existing slots inline, the rest through luaV_settable.
#define vm_newindex(t_, key_, val_, order)                                                               \
    {                                                                                                    \
        const TValue* ix_t = (t_);                                                                       \
        TValue* ix_key = (key_);                                                                         \
        TValue* ix_val = (val_);                                                                         \
        TValue* ix_slot = ttistable(ix_t) ? newindex_slot<order>(hvalue(ix_t), ix_key) : nullptr;        \
        if (l_likely(ix_slot != nullptr)) {                                                              \
            setobj(ix_slot, ix_val);                                                                     \
            luaH_stored(G(L), hvalue(ix_t));                                                             \
        } else {                                                                                         \
            Protect(settable_slow(L, ix_t, ix_key, ix_val));                                             \
        }                                                                                                \
    }

// A run of two _S reads of the table tab_ (the first read alone when a hook
// falls on the second or a field is absent).
#define read_pair_op(tab_)                                                                               \
    {                                                                                                    \
        const TValue* tab = (tab_);                                                                      \
        if (l_likely(hc > 1 && ttistable(tab) && read_pair(hvalue(tab), i, *pc, ra, ci, base))) {        \
            pc++;                                                                                        \
            hc--;                                                                                        \
            vmbreak;                                                                                     \
        }                                                                                                \
        vm_index(tab, KC(i), KeyOrder::short_string) vmbreak;                                            \
    }

// if (rb op rc) ~= A then skip the jump, else take it. The operands' kinds
// are given by the opcode as for arith_op: 'numbers' tests what is not known
// to be a number.
#define compare_op(rb_, rc_, numbers, op, slow)                                    \
    {                                                                              \
        TValue* rb = (rb_);                                                        \
        TValue* rc = (rc_);                                                        \
        int res;                                                                   \
        if (l_likely(numbers)) res = nvalue(rb) op nvalue(rc);                     \
        else Protect(res = slow(L, rb, rc));                                       \
        if (res != GETARG_A(i)) pc++;                                              \
        else donextjump();                                                         \
    }                                                                              \
    vmbreak;

// R(A) := rb op rc, the operands' kinds given by the opcode (RK for the
// base opcode, registers for _RR, a register and a number constant for _RN,
// where only the register needs checking).
#define arith_op(rb_, rc_, numbers, tm, fastop)                                    \
    {                                                                              \
        TValue* rb = (rb_);                                                        \
        TValue* rc = (rc_);                                                        \
        if (l_likely(numbers)) {                                                   \
            setnvalue(ra, fastop(nvalue(rb), nvalue(rc)));                         \
        } else {                                                                   \
            Protect(luaV_arith(L, ra, rb, rc, tm));                                \
        }                                                                          \
    }                                                                              \
    vmbreak;
#define ARITH_OPS(X) X(ADD, wadd) X(SUB, wsub) X(MUL, ob_fmul) X(DIV, ob_fdiv) X(MOD, vm_mod)
#define ARITH_HANDLERS(name, fastop)                                                          \
    vmcase(OP_##name) arith_op(RKB(i), RKC(i), ttisnumber(rb) && ttisnumber(rc), TM_##name, fastop) \
    vmcase(OP_##name##_RR) arith_op(RB(i), RC(i), ttisnumber(rb) && ttisnumber(rc), TM_##name, fastop) \
    vmcase(OP_##name##_RN) arith_op(RB(i), KC(i), ttisnumber(rb), TM_##name, fastop)

// GCC merges the indirect jumps of the handlers into one unless cross
// jumping is off.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-crossjumping", "no-gcse"), aligned(64)))
#endif
void luaV_execute(lua_State* L)
{
    CallInfo* ci = L->ci;
    global_State* g = G(L);
    StkId base;
    const Instruction* pc;
    Instruction i;
    StkId ra;
    int hc = hook_load(L);
#if ORBO_JUMPTABLE
    // Each opcode's and variant's label four times over: they fill the
    // opcode field's 64 values.
    static_assert(SIZE_OP == 6 && NUM_OPCODES + NUM_OPVARIANTS == 64, "a row is 64 labels");
#define ORBO_OPLABEL(name, t, a, b, c, m) &&L_OP_##name,
#define ORBO_VARLABEL(name, base) &&L_OP_##name,
#define ORBO_ROW LUA_OPCODES(ORBO_OPLABEL) LUA_OPVARIANTS(ORBO_VARLABEL)
    static const void* const disptab[256] = {
        ORBO_ROW ORBO_ROW ORBO_ROW ORBO_ROW
#undef ORBO_ROW
#undef ORBO_VARLABEL
#undef ORBO_OPLABEL
    };
#endif
newframe:
    base = ci->u.l.base;
    pc = ci->u.l.savedpc;
    for (;;) {
        vmfetch();
        vmdispatch (DISPATCH_INDEX(i)) {
        vmcase(OP_MOVE) setobj(ra, RB(i)); vmbreak;
        vmcase(OP_LOADK) setobj(ra, KBx(i)); vmbreak;
        vmcase(OP_LOADKX) setobj(ra, KBASE + GETARG_Ax(*pc++)); vmbreak;
        vmcase(OP_LOADBOOL)
            setbvalue(ra, GETARG_B(i));
            if (GETARG_C(i)) pc++;
            vmbreak;
        vmcase(OP_LOADNIL) {
            int b = GETARG_B(i);
            do {
                setnilvalue(ra++);
            } while (b--);
            vmbreak;
        }
        vmcase(OP_GETUPVAL) setobj(ra, CL->upvals[GETARG_B(i)]->v); vmbreak;
        vmcase(OP_GETTABUP)
            if (ISKC(i)) vm_index(CL->upvals[GETARG_B(i)]->v, KC(i), KeyOrder::string_first)
            else vm_index(CL->upvals[GETARG_B(i)]->v, RC(i), KeyOrder::number_first)
            vmbreak;
        vmcase(OP_GETTABLE)
            if (ISKC(i)) vm_index(RB(i), KC(i), KeyOrder::string_first)
            else vm_index(RB(i), RC(i), KeyOrder::number_first)
            vmbreak;
        vmcase(OP_SETTABUP)
            if (ISKB(i)) vm_newindex(CL->upvals[GETARG_A(i)]->v, KB(i), RKC(i), KeyOrder::string_first)
            else vm_newindex(CL->upvals[GETARG_A(i)]->v, RB(i), RKC(i), KeyOrder::number_first)
            vmbreak;
        vmcase(OP_SETUPVAL) setobj(CL->upvals[GETARG_B(i)]->v, ra); vmbreak;
        vmcase(OP_SETTABLE)
            if (ISKB(i)) vm_newindex(ra, KB(i), RKC(i), KeyOrder::string_first)
            else vm_newindex(ra, RB(i), RKC(i), KeyOrder::number_first)
            vmbreak;
        vmcase(OP_NEWTABLE) {
            int b = GETARG_B(i);
            int c = GETARG_C(i);
            savestate();
            Table* t = luaH_new(L);
            sethvalue(ra, t);
            if (b != 0 || c != 0) luaH_resize(L, t, luaO_fb2int(b), luaO_fb2int(c));
            loadstate();
            checkGC(L, ra + 1);
            vmbreak;
        }
        vmcase(OP_SELF) {
            StkId rb = RB(i);
            setobj(ra + 1, rb);
            if (ISKC(i)) vm_index(rb, KC(i), KeyOrder::string_first)
            else vm_index(rb, RC(i), KeyOrder::number_first)
            vmbreak;
        }
        ARITH_OPS(ARITH_HANDLERS)
        vmcase(OP_POW) {
            TValue* rb = RKB(i);
            TValue* rc = RKC(i);
            // The power charges cycles (square-root steps): a call out.
            if (ttisnumber(rb) && ttisnumber(rc)) {
                fix32 a = nvalue(rb), e = nvalue(rc);
                fix32 r;
                Protect(r = ob_fpow(a, e));
                setnvalue(RA(i), r);
            } else {
                Protect(luaV_arith(L, ra, rb, rc, TM_POW));
            }
            vmbreak;
        }
        vmcase(OP_UNM) {
            TValue* rb = RB(i);
            if (ttisnumber(rb)) {
                setnvalue(ra, wneg(nvalue(rb)));
            } else {
                Protect(luaV_arith(L, ra, rb, rb, TM_UNM));
            }
            vmbreak;
        }
        vmcase(OP_NOT) {
            TValue* rb = RB(i);
            int res = l_isfalse(rb);
            setbvalue(ra, res);
            vmbreak;
        }
        vmcase(OP_LEN) {
            TValue* rb = RB(i);
            if (ttisstring(rb)) {
                setnvalue(ra, fix_from_int(int32_t(tsvalue(rb)->len)));
            } else if (ttistable(rb) && hvalue(rb)->metatable == nullptr) {
                setnvalue(ra, fix_from_int(luaH_getn(hvalue(rb))));
            } else {
                Protect(luaV_objlen(L, ra, rb));
            }
            vmbreak;
        }
        vmcase(OP_CONCAT) {
            int b = GETARG_B(i);
            int c = GETARG_C(i);
            L->top = base + c + 1;  // mark the end of the concatenated values
            Protect(luaV_concat(L, c - b + 1));
            ra = RA(i);
            StkId rb = b + base;
            setobj(ra, rb);
            checkGC(L, (ra >= rb ? ra + 1 : rb));
            L->top = ci->top;
            vmbreak;
        }
        vmcase(OP_JMP) dojump(i, 0); vmbreak;
        vmcase(OP_EQ) {
            TValue* rb = RKB(i);
            TValue* rc = RKC(i);
            int res;
            if (ttisnumber(rb) && ttisnumber(rc)) res = nvalue(rb) == nvalue(rc);
            else if (!ttisequal(rb, rc)) res = 0;
            else if (ttisshrstring(rb)) res = rawtsvalue(rb) == rawtsvalue(rc);  // interned: same text, same string
            else if (ttisnil(rb) || ttisboolean(rb)) res = luaV_rawequalobj(rb, rc);
            else Protect(res = luaV_equalobj_(L, rb, rc));
            if (res != GETARG_A(i)) pc++;
            else donextjump();
            vmbreak;
        }
        vmcase(OP_LT) compare_op(RKB(i), RKC(i), ttisnumber(rb) && ttisnumber(rc), <, luaV_lessthan)
        vmcase(OP_LE) compare_op(RKB(i), RKC(i), ttisnumber(rb) && ttisnumber(rc), <=, luaV_lessequal)
        vmcase(OP_TEST)
            if (GETARG_C(i) ? l_isfalse(ra) : !l_isfalse(ra)) pc++;
            else donextjump();
            vmbreak;
        vmcase(OP_TESTSET) {
            TValue* rb = RB(i);
            if (GETARG_C(i) ? l_isfalse(rb) : !l_isfalse(rb)) pc++;
            else {
                setobj(ra, rb);
                donextjump();
            }
            vmbreak;
        }
        vmcase(OP_CALL) {
            int b = GETARG_B(i);
            int nresults = GETARG_C(i) - 1;
            StkId top = b != 0 ? ra + b : L->top;  // with B 0 the previous instruction set top
            L->top = top;
            savepc();
            if (ttisLclosure(ra) && !(L->hookmask & LUA_MASKCALL)) {
                // Lua-to-Lua call with fixed parameters and room on the
                // stack: luaD_precall's work without its generality.
                LClosure* ncl = clLvalue(ra);
                Proto* p = ncl->p;
                if (!p->is_vararg && L->stack_last - top > p->maxstacksize) {
                    CallInfo* nci = ci->next;
                    if (l_unlikely(nci == nullptr)) {
                        hook_save(L, hc);
                        nci = luaE_extendCI(L);
                        hc = hook_load(L);
                    }
                    for (int n = int(top - ra) - 1; n < p->numparams; n++) setnilvalue(top++);
                    nci->nresults = short(nresults);
                    nci->func = ra;
                    nci->u.l.base = ra + 1;
                    nci->top = ra + 1 + p->maxstacksize;
                    nci->u.l.savedpc = p->code;
                    nci->u.l.cl = ncl;
                    nci->u.l.k = p->k;
                    nci->callstatus = CIST_LUA | CIST_REENTRY;
                    L->ci = ci = nci;
                    L->top = nci->top;
                    if (l_unlikely(g->totalbytes >= g->GCthreshold)) {
                        hook_save(L, hc);
                        luaC_step(L);  // may shrink the stack: reload the frame
                        hc = hook_load(L);
                        goto newframe;
                    }
                    // The new frame's registers are known here: no reload.
                    base = ra + 1;
                    pc = p->code;
                    continue;
                }
            }
            if (ttislcf(ra) && !(L->hookmask & (LUA_MASKCALL | LUA_MASKRET | LUA_MASKLINE)) && ci->next != nullptr &&
                L->stack_last - L->top > LUA_MINSTACK) {
                hook_save(L, hc);
                if (!call_light(L, ci, ra, nresults)) return;  // it yielded in place: back to lua_resume
                if (nresults >= 0) L->top = ci->top;
                loadstate();
                vmbreak;
            }
            hook_save(L, hc);
            if (luaD_precall(L, ra, nresults)) {  // C function
                if (L->status == LUA_YIELD) return;  // it yielded in place: back to lua_resume
                if (nresults >= 0) L->top = ci->top;
                loadstate();
            } else {  // Lua function: run it in this loop
                ci = L->ci;
                ci->callstatus |= CIST_REENTRY;
                hc = hook_load(L);
                goto newframe;
            }
            vmbreak;
        }
        vmcase(OP_TAILCALL) {
            int b = GETARG_B(i);
            if (b != 0) L->top = ra + b;
            savestate();
            if (luaD_precall(L, ra, LUA_MULTRET)) {
                if (L->status == LUA_YIELD) return;
                loadstate();
            } else {
                // Move the new frame down over the caller's.
                CallInfo* nci = L->ci;
                CallInfo* oci = nci->previous;
                StkId nfunc = nci->func;
                StkId ofunc = oci->func;
                StkId lim = nci->u.l.base + getproto(nfunc)->numparams;
                if (CL->p->sizep > 0) luaF_close(L, oci->u.l.base);
                int aux;
                for (aux = 0; nfunc + aux < lim; aux++) setobj(ofunc + aux, nfunc + aux);
                oci->u.l.base = ofunc + (nci->u.l.base - nfunc);
                oci->top = L->top = ofunc + (L->top - nfunc);
                oci->u.l.savedpc = nci->u.l.savedpc;
                oci->u.l.cl = nci->u.l.cl;
                oci->u.l.k = nci->u.l.k;
                oci->callstatus |= CIST_TAIL;
                ci = L->ci = oci;
                hc = hook_load(L);
                goto newframe;
            }
            vmbreak;
        }
        vmcase(OP_RETURN) {
            int b = GETARG_B(i);
            StkId top = b != 0 ? ra + b - 1 : L->top;
            if (CL->p->sizep > 0) luaF_close(L, base);  // does not look at L->top
            if ((ci->callstatus & CIST_REENTRY) && !(L->hookmask & (LUA_MASKRET | LUA_MASKLINE))) {
                // Back to a Lua caller in this loop: luaD_poscall inline.
                StkId res = ci->func;
                int wanted = ci->nresults;
                L->ci = ci = ci->previous;
                if (l_likely(b == 2 && wanted == 1)) {  // one value for one
                    setobj(res, ra);
                    L->top = ci->top;
                    goto newframe;
                }
                res = luaD_moveresults(res, ra, top, wanted);
                L->top = wanted != LUA_MULTRET ? ci->top : res;
                goto newframe;
            }
            L->top = top;
            savestate();
            b = luaD_poscall(L, ra);
            if (!(ci->callstatus & CIST_REENTRY)) return;  // called from C: back there
            ci = L->ci;
            if (b) L->top = ci->top;
            hc = hook_load(L);
            goto newframe;
        }
        vmcase(OP_FORLOOP) {
            fix32 step = nvalue(ra + 2);
            fix32 prev = nvalue(ra);
            fix32 idx = wadd(prev, step);
            fix32 limit = nvalue(ra + 1);
            // An ascending index that wrapped past the top ends the loop:
            // with a positive step the exact sum says so in one comparison.
            bool go;
            if (l_likely(step > 0)) go = int64_t(prev) + step <= limit;
            else go = limit <= idx && !(step == 0 && prev >= 0 && idx <= 0);
            if (go) {
                pc += GETARG_sBx(i);
                setnvalue(ra, idx);
                setnvalue(ra + 3, idx);
            }
            vmbreak;
        }
        vmcase(OP_FORPREP) {
            const TValue* init = ra;
            const TValue* plimit = ra + 1;
            const TValue* pstep = ra + 2;
            if (!ttisnumber(init) || !ttisnumber(plimit) || !ttisnumber(pstep)) {
                savestate();
                if (!tonumber(init, ra)) luaG_runerror(L, "'for' initial value must be a number");
                else if (!tonumber(plimit, ra + 1)) luaG_runerror(L, "'for' limit must be a number");
                else if (!tonumber(pstep, ra + 2)) luaG_runerror(L, "'for' step must be a number");
            }
            setnvalue(ra, wsub(nvalue(ra), nvalue(ra + 2)));
            pc += GETARG_sBx(i);
            vmbreak;
        }
        vmcase(OP_TFORCALL) {
            StkId cb = ra + 3;  // call base
            setobj(cb + 2, ra + 2);
            setobj(cb + 1, ra + 1);
            setobj(cb, ra);
            L->top = cb + 3;
            Protect(luaD_call(L, cb, GETARG_C(i), 1));
            L->top = ci->top;
            i = *pc++;
            ra = RA(i);
            goto l_tforloop;
        }
        vmcase(OP_TFORLOOP)
        l_tforloop:
            if (!ttisnil(ra + 1)) {
                setobj(ra, ra + 1);
                pc += GETARG_sBx(i);
            }
            vmbreak;
        vmcase(OP_SETLIST) {
            int n = GETARG_B(i);
            int c = GETARG_C(i);
            if (n == 0) n = int(L->top - ra) - 1;
            if (c == 0) c = GETARG_Ax(*pc++);
            Table* h = hvalue(ra);
            int last = ((c - 1) * LFIELDS_PER_FLUSH) + n;
            savestate();
            if (last > h->sizearray && last <= 32767) luaH_resizearray(L, h, last);
            for (; n > 0; n--) {
                TValue* val = ra + n;
                luaH_setint(L, h, last--, val);
            }
            loadstate();
            L->top = ci->top;
            vmbreak;
        }
        vmcase(OP_CLOSURE) {
            Proto* p = CL->p->p[GETARG_Bx(i)];
            LClosure* ncl = getcached(p, CL->upvals, base);
            if (ncl == nullptr) {
                Protect(pushclosure(L, p, CL->upvals, base, ra));
            } else {
                setclLvalue(ra, ncl);
            }
            checkGC(L, ra + 1);
            vmbreak;
        }
        vmcase(OP_VARARG) {
            int b = GETARG_B(i) - 1;
            int n = int(base - ci->func) - CL->p->numparams - 1;
            if (b < 0) {
                b = n;
                Protect(luaD_checkstack(L, n));
                ra = RA(i);
                L->top = ra + n;
            }
            for (int j = 0; j < b; j++) {
                if (j < n) {
                    setobj(ra + j, base - n + j);
                } else {
                    setnilvalue(ra + j);
                }
            }
            vmbreak;
        }
        vmcase(OP_EQ_RN) {
            // A number constant equals only a number: no metamethod applies.
            TValue* rb = RB(i);
            int res = ttisnumber(rb) && nvalue(rb) == nvalue(KC(i));
            if (res != GETARG_A(i)) pc++;
            else donextjump();
            vmbreak;
        }
        vmcase(OP_LT_RN) compare_op(RB(i), KC(i), ttisnumber(rb), <, luaV_lessthan)
        vmcase(OP_LE_RN) compare_op(RB(i), KC(i), ttisnumber(rb), <=, luaV_lessequal)
        vmcase(OP_LT_NR) compare_op(KB(i), RC(i), ttisnumber(rc), <, luaV_lessthan)
        vmcase(OP_LE_NR) compare_op(KB(i), RC(i), ttisnumber(rc), <=, luaV_lessequal)
        vmcase(OP_GETTABUP_S) vm_index(CL->upvals[GETARG_B(i)]->v, KC(i), KeyOrder::short_string) vmbreak;
        vmcase(OP_GETTABLE_S) vm_index(RB(i), KC(i), KeyOrder::short_string) vmbreak;
        vmcase(OP_SETTABUP_S) vm_newindex(CL->upvals[GETARG_A(i)]->v, KB(i), RKC(i), KeyOrder::short_string) vmbreak;
        vmcase(OP_SETTABLE_S) vm_newindex(ra, KB(i), RKC(i), KeyOrder::short_string) vmbreak;
        vmcase(OP_SELF_S) {
            StkId rb = RB(i);
            setobj(ra + 1, rb);
            vm_index(rb, KC(i), KeyOrder::short_string)
            vmbreak;
        }
        // Runs: all of it inline when no hook falls inside the run (hc
        // covers its instructions) and every value is of the kind the fast
        // paths take; otherwise only the first instruction, a _S read.
        vmcase(OP_GETTABUP_2) read_pair_op(CL->upvals[GETARG_B(i)]->v)
        vmcase(OP_GETTABLE_2) read_pair_op(RB(i))
        vmcase(OP_GETTABLE_CMP) {
            TValue* t = RB(i);
            if (l_likely(hc > 1 && ttistable(t))) {
                const TValue* v = shortfield(hvalue(t), KC(i));
                if (l_likely(ttisnumber(v))) {
                    setobj(ra, v);
                    for (;;) {
                        Instruction j = *pc++;  // the comparison; pc is at its jump
                        hc--;
                        if (compare_number(j, nvalue(ra), KBASE) == GETARG_A(j)) {
                            pc += GETARG_sBx(*pc) + 1;  // the jump closes no upvalues
                            break;
                        }
                        pc++;
                        // The same run again ('t.k < a or t.k > b'): ra holds its value.
                        if (*pc != i || hc <= 2) break;
                        pc++;
                        hc--;
                    }
                    vmbreak;
                }
            }
            vm_index(t, KC(i), KeyOrder::short_string) vmbreak;
        }
        vmcase(OP_GETTABLE_UPD) {
            TValue* t = RB(i);
            if (l_likely(hc > 3 && ttistable(t))) {
                Table* h = hvalue(t);
                TValue* v = const_cast<TValue*>(shortfield(h, KC(i)));  // a number is a live slot
                const TValue* d = shortfield(h, KC(*pc));
                if (l_likely(ttisnumber(v) && ttisnumber(d))) {
                    fix32 r = GET_RAWOP(pc[1]) == OP_ADD_RR ? wadd(nvalue(v), nvalue(d)) : wsub(nvalue(v), nvalue(d));
                    setobj(RA(*pc), d);
                    setnvalue(ra, r);
                    setnvalue(v, r);
                    luaH_stored(g, h);
                    pc += 3;
                    hc -= 3;
                    vmbreak;
                }
            }
            vm_index(t, KC(i), KeyOrder::short_string) vmbreak;
        }
        vmcase(OP_EXTRAARG) vmbreak;
        }
    }
}
