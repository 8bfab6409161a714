// Code generator: turns expdesc values into instructions for the parser.
// Invariants:
// - Registers [0, fs->nactvar) are the active locals; [nactvar, freereg)
//   are temporaries, allocated and released strictly as a stack (freereg
//   asserts the register released is the topmost one).
// - A jump list is a chain of OP_JMP instructions threaded through their own
//   sBx fields, ending in NO_JUMP; the list is named by the pc of its head.
//   An expdesc's 't'/'f' lists are the jumps taken when it is true/false.
// - fs->jpc collects jumps aimed at "the next instruction"; luaK_code
//   resolves them just before emitting, so they never need a label.
// - fs->lasttarget is the highest pc some jump may land on. Peephole merges
//   with the previous instruction (LOADNIL joining) are legal only past it.
// - Constant folding uses the engine's 16.16 arithmetic, so folded values
//   equal what the VM would compute.
#include "lcode.h"

#include <cstdlib>
#include <cstring>

#include "lgc.h"
#include "lmem.h"
#include "lstring.h"

#define hasjumps(e) ((e)->t != (e)->f)

struct KCache {
    int* slot;  // f->k index per bucket, -1 when empty
    int size;   // power of two, so hashes mask instead of divide
    int count;
};

KCache* luaK_newcache(lua_State* L)
{
    KCache* h = cast(KCache*, luaM_malloc(L, sizeof(KCache)));
    h->slot = nullptr;
    h->size = 0;
    h->count = 0;
    return h;
}

void luaK_freecache(lua_State* L, KCache* h)
{
    if (h == nullptr) return;
    luaM_freearray(L, h->slot, h->size);
    luaM_free(L, h);
}

static unsigned int khash(const TValue* v)
{
    switch (rttype(v)) {
    case LUA_TNUMBER: return cast(unsigned int, nvalue(v)) * 2654435761u;
    case LUA_TBOOLEAN: return cast(unsigned int, bvalue(v)) + 1;
    case LUA_TNIL: return 0;
    case LUA_TLNGSTR: {
        TString* ts = rawtsvalue(v);
        if (ts->extra == 0) {  // long strings are hashed lazily, once
            ts->hash = luaS_hash(getstr(ts), ts->len, ts->hash);
            ts->extra = 1;
        }
        return ts->hash;
    }
    default: return rawtsvalue(v)->hash;
    }
}

static bool kequal(const TValue* a, const TValue* b)
{
    if (ttisstring(a) && ttisstring(b)) return luaS_eqstr(rawtsvalue(a), rawtsvalue(b));
    if (rttype(a) != rttype(b)) return false;
    switch (rttype(a)) {
    case LUA_TNIL: return true;
    case LUA_TBOOLEAN: return bvalue(a) == bvalue(b);
    case LUA_TNUMBER: return nvalue(a) == nvalue(b);
    default: return false;
    }
}

static void kcache_insert(KCache* h, const TValue* k, unsigned int hv, int idx)
{
    int m = h->size - 1;
    int i = cast_int(hv & cast(unsigned int, m));
    while (h->slot[i] >= 0) i = (i + 1) & m;
    h->slot[i] = idx;
    (void)k;
}

static void kcache_grow(FuncState* fs)
{
    lua_State* L = fs->ls->L;
    KCache* h = fs->h;
    int oldsize = h->size;
    int* old = h->slot;
    int newsize = oldsize ? oldsize * 2 : 16;
    h->slot = luaM_newvector(L, newsize, int);
    h->size = newsize;
    for (int i = 0; i < newsize; i++) h->slot[i] = -1;
    for (int i = 0; i < oldsize; i++)
        if (old[i] >= 0) kcache_insert(h, &fs->f->k[old[i]], khash(&fs->f->k[old[i]]), old[i]);
    luaM_freearray(L, old, oldsize);
}

// Index of v in f->k; a new value is appended. Equal values share one slot,
// which keeps the constant table identical to the reference compiler's.
static int addk(FuncState* fs, TValue* v)
{
    lua_State* L = fs->ls->L;
    Proto* f = fs->f;
    KCache* h = fs->h;
    unsigned int hv = khash(v);
    if (h->size > 0) {
        int m = h->size - 1;
        for (int i = cast_int(hv & cast(unsigned int, m)); h->slot[i] >= 0; i = (i + 1) & m)
            if (kequal(&f->k[h->slot[i]], v)) return h->slot[i];
    }
    int oldsize = f->sizek;
    int k = fs->nk;
    luaM_growvector(L, f->k, k, f->sizek, TValue, MAXARG_Ax, "constants");
    while (oldsize < f->sizek) setnilvalue(&f->k[oldsize++]);
    setkvalue(&f->k[k], v);
    fs->nk++;
    if ((h->count + 1) * 2 > h->size) kcache_grow(fs);
    kcache_insert(h, v, hv, k);
    h->count++;
    return k;
}

int luaK_stringK(FuncState* fs, TString* s)
{
    TValue o;
    setsvalue(&o, s);
    return addk(fs, &o);
}

int luaK_numberK(FuncState* fs, lua_Number r)
{
    TValue o;
    setnvalue(&o, r);
    return addk(fs, &o);
}

static int boolK(FuncState* fs, int b)
{
    TValue o;
    setbvalue(&o, b);
    return addk(fs, &o);
}

static int nilK(FuncState* fs)
{
    TValue o;
    setnilvalue(&o);
    return addk(fs, &o);
}

static bool isnumeral(expdesc* e) { return e->k == VKNUM && e->t == NO_JUMP && e->f == NO_JUMP; }

void luaK_nil(FuncState* fs, int from, int n)
{
    int l = from + n - 1;  // inclusive end of the new range
    if (fs->pc > fs->lasttarget) {  // merging is unsafe if a jump lands here
        Instruction* previous = &fs->f->code[fs->pc - 1];
        if (GET_OPCODE(*previous) == OP_LOADNIL) {
            int pfrom = GETARG_A(*previous);
            int pl = pfrom + GETARG_B(*previous);
            if ((pfrom <= from && from <= pl + 1) || (from <= pfrom && pfrom <= l + 1)) {  // ranges touch or overlap
                if (pfrom < from) from = pfrom;
                if (pl > l) l = pl;
                SETARG_A(*previous, from);
                SETARG_B(*previous, l - from);
                return;
            }
        }
    }
    luaK_codeABC(fs, OP_LOADNIL, from, n - 1, 0);
}

int luaK_jump(FuncState* fs)
{
    int jpc = fs->jpc;  // jumps to here now go where this jump goes
    fs->jpc = NO_JUMP;
    int j = luaK_codeAsBx(fs, OP_JMP, 0, NO_JUMP);
    luaK_concat(fs, &j, jpc);
    return j;
}

void luaK_ret(FuncState* fs, int first, int nret) { luaK_codeABC(fs, OP_RETURN, first, nret + 1, 0); }

static int condjump(FuncState* fs, OpCode op, int A, int B, int C)
{
    luaK_codeABC(fs, op, A, B, C);
    return luaK_jump(fs);
}

static void fixjump(FuncState* fs, int pc, int dest)
{
    Instruction* jmp = &fs->f->code[pc];
    int offset = dest - (pc + 1);
    lua_assert(dest != NO_JUMP);
    if (abs(offset) > MAXARG_sBx) luaX_syntaxerror(fs->ls, "control structure too long");
    SETARG_sBx(*jmp, offset);
}

// Returns the current pc and records it as a jump target, which forbids
// peephole merges across it.
int luaK_getlabel(FuncState* fs)
{
    fs->lasttarget = fs->pc;
    return fs->pc;
}

// Next element of the jump list after the jump at pc.
static int getjump(FuncState* fs, int pc)
{
    int offset = GETARG_sBx(fs->f->code[pc]);
    if (offset == NO_JUMP) return NO_JUMP;  // a self-loop offset of -1 ends the list
    return (pc + 1) + offset;
}

// The instruction that decides a conditional jump is the test right before it;
// an unconditional jump controls itself.
static Instruction* getjumpcontrol(FuncState* fs, int pc)
{
    Instruction* pi = &fs->f->code[pc];
    if (pc >= 1 && testTMode(GET_OPCODE(*(pi - 1)))) return pi - 1;
    return pi;
}

// True when some jump in the list is not a TESTSET, i.e. arrives without
// having stored a value, so the value must be materialised with LOADBOOLs.
static int need_value(FuncState* fs, int list)
{
    for (; list != NO_JUMP; list = getjump(fs, list)) {
        Instruction i = *getjumpcontrol(fs, list);
        if (GET_OPCODE(i) != OP_TESTSET) return 1;
    }
    return 0;
}

// Points a TESTSET's destination at reg, or turns it into a plain TEST when
// no copy is wanted. Returns 0 for jumps not controlled by a TESTSET.
static int patchtestreg(FuncState* fs, int node, int reg)
{
    Instruction* i = getjumpcontrol(fs, node);
    if (GET_OPCODE(*i) != OP_TESTSET) return 0;
    if (reg != NO_REG && reg != GETARG_B(*i))
        SETARG_A(*i, reg);
    else  // no destination, or the value already sits in reg
        *i = CREATE_ABC(OP_TEST, GETARG_B(*i), 0, GETARG_C(*i));
    return 1;
}

static void removevalues(FuncState* fs, int list)
{
    for (; list != NO_JUMP; list = getjump(fs, list)) patchtestreg(fs, list, NO_REG);
}

// Resolves a whole list: jumps that carry a value (TESTSET) go to vtarget
// with the value in reg, all others to dtarget.
static void patchlistaux(FuncState* fs, int list, int vtarget, int reg, int dtarget)
{
    while (list != NO_JUMP) {
        int next = getjump(fs, list);
        if (patchtestreg(fs, list, reg))
            fixjump(fs, list, vtarget);
        else
            fixjump(fs, list, dtarget);
        list = next;
    }
}

static void dischargejpc(FuncState* fs)
{
    patchlistaux(fs, fs->jpc, fs->pc, NO_REG, fs->pc);
    fs->jpc = NO_JUMP;
}

void luaK_patchlist(FuncState* fs, int list, int target)
{
    if (target == fs->pc)
        luaK_patchtohere(fs, list);
    else {
        lua_assert(target < fs->pc);
        patchlistaux(fs, list, target, NO_REG, target);
    }
}

// Makes every jump in the list close upvalues of registers >= level on the
// way (the A operand of OP_JMP).
void luaK_patchclose(FuncState* fs, int list, int level)
{
    level++;  // A is stored +1: A = 0 means close nothing
    while (list != NO_JUMP) {
        int next = getjump(fs, list);
        lua_assert(GET_OPCODE(fs->f->code[list]) == OP_JMP &&
                   (GETARG_A(fs->f->code[list]) == 0 || GETARG_A(fs->f->code[list]) >= level));
        SETARG_A(fs->f->code[list], level);
        list = next;
    }
}

void luaK_patchtohere(FuncState* fs, int list)
{
    luaK_getlabel(fs);
    luaK_concat(fs, &fs->jpc, list);
}

void luaK_concat(FuncState* fs, int* l1, int l2)
{
    if (l2 == NO_JUMP) return;
    if (*l1 == NO_JUMP) {
        *l1 = l2;
        return;
    }
    int list = *l1;
    int next;
    while ((next = getjump(fs, list)) != NO_JUMP) list = next;  // append l2 at the tail
    fixjump(fs, list, l2);
}

static int luaK_code(FuncState* fs, Instruction i)
{
    Proto* f = fs->f;
    dischargejpc(fs);  // pending jumps land on this very instruction
    luaM_growvector(fs->ls->L, f->code, fs->pc, f->sizecode, Instruction, MAX_INT, "opcodes");
    f->code[fs->pc] = i;
    luaM_growvector(fs->ls->L, f->lineinfo, fs->pc, f->sizelineinfo, int, MAX_INT, "opcodes");
    f->lineinfo[fs->pc] = fs->ls->lastline;
    return fs->pc++;
}

int luaK_codeABC(FuncState* fs, OpCode o, int a, int b, int c)
{
    lua_assert(getOpMode(o) == iABC);
    return luaK_code(fs, CREATE_ABC(o, a, b, c));
}

int luaK_codeABx(FuncState* fs, OpCode o, int a, unsigned int bc)
{
    lua_assert(getOpMode(o) == iABx || getOpMode(o) == iAsBx);
    return luaK_code(fs, CREATE_ABx(o, a, bc));
}

static int codeextraarg(FuncState* fs, int a) { return luaK_code(fs, CREATE_Ax(OP_EXTRAARG, a)); }

int luaK_codek(FuncState* fs, int reg, int k)
{
    if (k <= MAXARG_Bx) return luaK_codeABx(fs, OP_LOADK, reg, cast(unsigned int, k));
    int p = luaK_codeABx(fs, OP_LOADKX, reg, 0);
    codeextraarg(fs, k);
    return p;
}

// Per-function register cap: every register must fit the 8-bit A operand,
// with some values above it left unused.
#define MAXSTACK 250

void luaK_checkstack(FuncState* fs, int n)
{
    int newstack = fs->freereg + n;
    if (newstack > fs->f->maxstacksize) {
        if (newstack >= MAXSTACK) luaX_syntaxerror(fs->ls, "function or expression too complex");
        fs->f->maxstacksize = cast_byte(newstack);
    }
}

void luaK_reserveregs(FuncState* fs, int n)
{
    luaK_checkstack(fs, n);
    fs->freereg = cast_byte(fs->freereg + n);
}

// Releases a temporary. Constants and locals are not on the temporary stack;
// anything else must be the topmost temporary.
static void freereg(FuncState* fs, int reg)
{
    if (!ISK(reg) && reg >= fs->nactvar) {
        fs->freereg--;
        lua_assert(reg == fs->freereg);
    }
}

static void freeexp(FuncState* fs, expdesc* e)
{
    if (e->k == VNONRELOC) freereg(fs, e->u.info);
}

// Fixes the result count of an open call or '...' (LUA_MULTRET: all).
void luaK_setreturns(FuncState* fs, expdesc* e, int nresults)
{
    if (e->k == VCALL) {
        SETARG_C(getcode(fs, e), nresults + 1);
    } else if (e->k == VVARARG) {
        SETARG_B(getcode(fs, e), nresults + 1);
        SETARG_A(getcode(fs, e), fs->freereg);
        luaK_reserveregs(fs, 1);
    }
}

void luaK_setoneret(FuncState* fs, expdesc* e)
{
    if (e->k == VCALL) {  // its single result replaces the function in A
        e->k = VNONRELOC;
        e->u.info = GETARG_A(getcode(fs, e));
    } else if (e->k == VVARARG) {
        SETARG_B(getcode(fs, e), 2);
        e->k = VRELOCABLE;  // A is chosen later, when the value is placed
    }
}

// Turns a variable reference into a value: locals are already in place,
// upvalues and indexing become a relocatable load whose A is still open.
void luaK_dischargevars(FuncState* fs, expdesc* e)
{
    switch (e->k) {
    case VLOCAL: e->k = VNONRELOC; break;
    case VUPVAL:
        e->u.info = luaK_codeABC(fs, OP_GETUPVAL, 0, e->u.info, 0);
        e->k = VRELOCABLE;
        break;
    case VINDEXED: {
        OpCode op = OP_GETTABUP;
        freereg(fs, e->u.ind.idx);
        if (e->u.ind.vt == VLOCAL) {  // table in a register, not an upvalue
            freereg(fs, e->u.ind.t);
            op = OP_GETTABLE;
        }
        e->u.info = luaK_codeABC(fs, op, 0, e->u.ind.t, e->u.ind.idx);
        e->k = VRELOCABLE;
        break;
    }
    case VVARARG:
    case VCALL: luaK_setoneret(fs, e); break;
    default: break;  // already a value
    }
}

static int code_label(FuncState* fs, int A, int b, int jump)
{
    luaK_getlabel(fs);  // jumps from the and/or chain land on these
    return luaK_codeABC(fs, OP_LOADBOOL, A, b, jump);
}

// Puts the value of e into reg, ignoring its jump lists.
static void discharge2reg(FuncState* fs, expdesc* e, int reg)
{
    luaK_dischargevars(fs, e);
    switch (e->k) {
    case VNIL: luaK_nil(fs, reg, 1); break;
    case VFALSE:
    case VTRUE: luaK_codeABC(fs, OP_LOADBOOL, reg, e->k == VTRUE, 0); break;
    case VK: luaK_codek(fs, reg, e->u.info); break;
    case VKNUM: luaK_codek(fs, reg, luaK_numberK(fs, e->u.nval)); break;
    case VRELOCABLE: {
        Instruction* pc = &getcode(fs, e);
        SETARG_A(*pc, reg);
        break;
    }
    case VNONRELOC:
        if (reg != e->u.info) luaK_codeABC(fs, OP_MOVE, reg, e->u.info, 0);
        break;
    default: lua_assert(e->k == VVOID || e->k == VJMP); return;  // no value to move
    }
    e->u.info = reg;
    e->k = VNONRELOC;
}

static void discharge2anyreg(FuncState* fs, expdesc* e)
{
    if (e->k != VNONRELOC) {
        luaK_reserveregs(fs, 1);
        discharge2reg(fs, e, fs->freereg - 1);
    }
}

// Puts the full value of e, jump lists included, into reg. Jumps that do
// not carry a value land on a LOADBOOL pair that writes false or true.
static void exp2reg(FuncState* fs, expdesc* e, int reg)
{
    discharge2reg(fs, e, reg);
    if (e->k == VJMP) luaK_concat(fs, &e->t, e->u.info);  // a comparison jumps when true
    if (hasjumps(e)) {
        int p_f = NO_JUMP;  // pc of the LOADBOOL false, if emitted
        int p_t = NO_JUMP;  // pc of the LOADBOOL true, if emitted
        if (need_value(fs, e->t) || need_value(fs, e->f)) {
            int fj = (e->k == VJMP) ? NO_JUMP : luaK_jump(fs);
            p_f = code_label(fs, reg, 0, 1);
            p_t = code_label(fs, reg, 1, 0);
            luaK_patchtohere(fs, fj);
        }
        int final = luaK_getlabel(fs);
        patchlistaux(fs, e->f, final, reg, p_f);
        patchlistaux(fs, e->t, final, reg, p_t);
    }
    e->f = e->t = NO_JUMP;
    e->u.info = reg;
    e->k = VNONRELOC;
}

void luaK_exp2nextreg(FuncState* fs, expdesc* e)
{
    luaK_dischargevars(fs, e);
    freeexp(fs, e);
    luaK_reserveregs(fs, 1);
    exp2reg(fs, e, fs->freereg - 1);
}

int luaK_exp2anyreg(FuncState* fs, expdesc* e)
{
    luaK_dischargevars(fs, e);
    if (e->k == VNONRELOC) {
        if (!hasjumps(e)) return e->u.info;
        if (e->u.info >= fs->nactvar) {      // a temporary may take the jump results
            exp2reg(fs, e, e->u.info);
            return e->u.info;
        }
    }
    luaK_exp2nextreg(fs, e);  // a local must not be overwritten
    return e->u.info;
}

void luaK_exp2anyregup(FuncState* fs, expdesc* e)
{
    if (e->k != VUPVAL || hasjumps(e)) luaK_exp2anyreg(fs, e);
}

void luaK_exp2val(FuncState* fs, expdesc* e)
{
    if (hasjumps(e))
        luaK_exp2anyreg(fs, e);
    else
        luaK_dischargevars(fs, e);
}

int luaK_exp2RK(FuncState* fs, expdesc* e)
{
    luaK_exp2val(fs, e);
    switch (e->k) {
    case VTRUE:
    case VFALSE:
    case VNIL:
        if (fs->nk <= MAXINDEXRK) {  // only while a new index still fits in RK
            e->u.info = (e->k == VNIL) ? nilK(fs) : boolK(fs, (e->k == VTRUE));
            e->k = VK;
            return RKASK(e->u.info);
        }
        break;
    case VKNUM:
        e->u.info = luaK_numberK(fs, e->u.nval);
        e->k = VK;
        [[fallthrough]];
    case VK:
        if (e->u.info <= MAXINDEXRK) return RKASK(e->u.info);
        break;
    default: break;
    }
    return luaK_exp2anyreg(fs, e);  // not a constant, or its index is too large
}

void luaK_storevar(FuncState* fs, expdesc* var, expdesc* ex)
{
    switch (var->k) {
    case VLOCAL:
        freeexp(fs, ex);
        exp2reg(fs, ex, var->u.info);
        return;
    case VUPVAL: {
        int e = luaK_exp2anyreg(fs, ex);
        luaK_codeABC(fs, OP_SETUPVAL, e, var->u.info, 0);
        break;
    }
    case VINDEXED: {
        OpCode op = (var->u.ind.vt == VLOCAL) ? OP_SETTABLE : OP_SETTABUP;
        int e = luaK_exp2RK(fs, ex);
        luaK_codeABC(fs, op, var->u.ind.t, var->u.ind.idx, e);
        break;
    }
    default: lua_assert(0);
    }
    freeexp(fs, ex);
}

void luaK_self(FuncState* fs, expdesc* e, expdesc* key)
{
    luaK_exp2anyreg(fs, e);
    int ereg = e->u.info;
    freeexp(fs, e);
    e->u.info = fs->freereg;
    e->k = VNONRELOC;
    luaK_reserveregs(fs, 2);  // SELF writes the method and the object
    luaK_codeABC(fs, OP_SELF, e->u.info, ereg, luaK_exp2RK(fs, key));
    freeexp(fs, key);
}

static void invertjump(FuncState* fs, expdesc* e)
{
    Instruction* pc = getjumpcontrol(fs, e->u.info);
    lua_assert(testTMode(GET_OPCODE(*pc)) && GET_OPCODE(*pc) != OP_TESTSET && GET_OPCODE(*pc) != OP_TEST);
    SETARG_A(*pc, !(GETARG_A(*pc)));
}

// Emits a test that jumps when e's truth equals cond; returns the jump.
static int jumponcond(FuncState* fs, expdesc* e, int cond)
{
    if (e->k == VRELOCABLE) {
        Instruction ie = getcode(fs, e);
        if (GET_OPCODE(ie) == OP_NOT) {
            fs->pc--;  // test the operand with the sense flipped instead
            return condjump(fs, OP_TEST, GETARG_B(ie), 0, !cond);
        }
    }
    discharge2anyreg(fs, e);
    freeexp(fs, e);
    return condjump(fs, OP_TESTSET, NO_REG, e->u.info, cond);
}

// Falls through when e is true; the jumps taken when it is false join e->f.
void luaK_goiftrue(FuncState* fs, expdesc* e)
{
    int pc;  // the new jump, or NO_JUMP when the outcome is known
    luaK_dischargevars(fs, e);
    switch (e->k) {
    case VJMP:
        invertjump(fs, e);
        pc = e->u.info;
        break;
    case VK:
    case VKNUM:
    case VTRUE: pc = NO_JUMP; break;  // constants are true: never jump
    default: pc = jumponcond(fs, e, 0); break;
    }
    luaK_concat(fs, &e->f, pc);
    luaK_patchtohere(fs, e->t);
    e->t = NO_JUMP;
}

// Falls through when e is false; the jumps taken when it is true join e->t.
void luaK_goiffalse(FuncState* fs, expdesc* e)
{
    int pc;  // the new jump, or NO_JUMP when the outcome is known
    luaK_dischargevars(fs, e);
    switch (e->k) {
    case VJMP: pc = e->u.info; break;
    case VNIL:
    case VFALSE: pc = NO_JUMP; break;  // never true: never jump
    default: pc = jumponcond(fs, e, 1); break;
    }
    luaK_concat(fs, &e->t, pc);
    luaK_patchtohere(fs, e->f);
    e->f = NO_JUMP;
}

static void codenot(FuncState* fs, expdesc* e)
{
    luaK_dischargevars(fs, e);
    switch (e->k) {
    case VNIL:
    case VFALSE: e->k = VTRUE; break;
    case VK:
    case VKNUM:
    case VTRUE: e->k = VFALSE; break;
    case VJMP: invertjump(fs, e); break;
    case VRELOCABLE:
    case VNONRELOC:
        discharge2anyreg(fs, e);
        freeexp(fs, e);
        e->u.info = luaK_codeABC(fs, OP_NOT, 0, e->u.info, 0);
        e->k = VRELOCABLE;
        break;
    default: lua_assert(0); break;
    }
    // 'not' swaps the exits; values the jumps carried would be the wrong ones
    int temp = e->f;
    e->f = e->t;
    e->t = temp;
    removevalues(fs, e->f);
    removevalues(fs, e->t);
}

void luaK_indexed(FuncState* fs, expdesc* t, expdesc* k)
{
    lua_assert(!hasjumps(t));
    t->u.ind.t = cast_byte(t->u.info);
    t->u.ind.idx = cast(short, luaK_exp2RK(fs, k));
    t->u.ind.vt = cast_byte((t->k == VUPVAL) ? VUPVAL : VLOCAL);
    t->k = VINDEXED;
}

// Folds arithmetic on two numerals at compile time using the same 16.16
// operations as the VM. Division and modulo by zero are left to run time,
// where they behave as the VM defines.
static int constfolding(OpCode op, expdesc* e1, expdesc* e2)
{
    if (!isnumeral(e1) || !isnumeral(e2)) return 0;
    if ((op == OP_DIV || op == OP_MOD) && e2->u.nval == 0) return 0;
    e1->u.nval = orbo_arith(op - OP_ADD + ORBO_OPADD, e1->u.nval, e2->u.nval);
    return 1;
}

static void codearith(FuncState* fs, OpCode op, expdesc* e1, expdesc* e2, int line)
{
    if (constfolding(op, e1, e2)) return;
    int o2 = (op != OP_UNM && op != OP_LEN) ? luaK_exp2RK(fs, e2) : 0;
    int o1 = luaK_exp2RK(fs, e1);
    // release the higher temporary first to keep the stack discipline
    if (o1 > o2) {
        freeexp(fs, e1);
        freeexp(fs, e2);
    } else {
        freeexp(fs, e2);
        freeexp(fs, e1);
    }
    e1->u.info = luaK_codeABC(fs, op, 0, o1, o2);
    e1->k = VRELOCABLE;
    luaK_fixline(fs, line);
}

static void codecomp(FuncState* fs, OpCode op, int cond, expdesc* e1, expdesc* e2)
{
    int o1 = luaK_exp2RK(fs, e1);
    int o2 = luaK_exp2RK(fs, e2);
    freeexp(fs, e2);
    freeexp(fs, e1);
    if (cond == 0 && op != OP_EQ) {  // a > b is b < a; a >= b is b <= a
        int temp = o1;
        o1 = o2;
        o2 = temp;
        cond = 1;
    }
    e1->u.info = condjump(fs, op, cond, o1, o2);
    e1->k = VJMP;
}

void luaK_prefix(FuncState* fs, UnOpr op, expdesc* e, int line)
{
    expdesc e2;
    e2.t = e2.f = NO_JUMP;
    e2.k = VKNUM;
    e2.u.nval = 0;
    switch (op) {
    case OPR_MINUS:
        if (isnumeral(e))
            e->u.nval = fix_neg(e->u.nval);
        else {
            luaK_exp2anyreg(fs, e);
            codearith(fs, OP_UNM, e, &e2, line);
        }
        break;
    case OPR_NOT: codenot(fs, e); break;
    case OPR_LEN:
        luaK_exp2anyreg(fs, e);  // LEN takes a register operand only
        codearith(fs, OP_LEN, e, &e2, line);
        break;
    default: lua_assert(0);
    }
}

void luaK_infix(FuncState* fs, BinOpr op, expdesc* v)
{
    switch (op) {
    case OPR_AND: luaK_goiftrue(fs, v); break;
    case OPR_OR: luaK_goiffalse(fs, v); break;
    case OPR_CONCAT: luaK_exp2nextreg(fs, v); break;  // CONCAT needs its operands in consecutive registers
    case OPR_ADD:
    case OPR_SUB:
    case OPR_MUL:
    case OPR_DIV:
    case OPR_MOD:
    case OPR_POW:
        if (!isnumeral(v)) luaK_exp2RK(fs, v);
        break;
    default: luaK_exp2RK(fs, v); break;
    }
}

void luaK_posfix(FuncState* fs, BinOpr op, expdesc* e1, expdesc* e2, int line)
{
    switch (op) {
    case OPR_AND:
        lua_assert(e1->t == NO_JUMP);  // luaK_infix already resolved it
        luaK_dischargevars(fs, e2);
        luaK_concat(fs, &e2->f, e1->f);
        *e1 = *e2;
        break;
    case OPR_OR:
        lua_assert(e1->f == NO_JUMP);  // luaK_infix already resolved it
        luaK_dischargevars(fs, e2);
        luaK_concat(fs, &e2->t, e1->t);
        *e1 = *e2;
        break;
    case OPR_CONCAT:
        luaK_exp2val(fs, e2);
        // '..' is right-associative: when e2 is itself a CONCAT starting right
        // after e1, widen its range down to e1 instead of emitting another.
        if (e2->k == VRELOCABLE && GET_OPCODE(getcode(fs, e2)) == OP_CONCAT) {
            lua_assert(e1->u.info == GETARG_B(getcode(fs, e2)) - 1);
            freeexp(fs, e1);
            SETARG_B(getcode(fs, e2), e1->u.info);
            e1->k = VRELOCABLE;
            e1->u.info = e2->u.info;
        } else {
            luaK_exp2nextreg(fs, e2);
            codearith(fs, OP_CONCAT, e1, e2, line);
        }
        break;
    case OPR_ADD:
    case OPR_SUB:
    case OPR_MUL:
    case OPR_DIV:
    case OPR_MOD:
    case OPR_POW: codearith(fs, cast(OpCode, op - OPR_ADD + OP_ADD), e1, e2, line); break;
    case OPR_EQ:
    case OPR_LT:
    case OPR_LE: codecomp(fs, cast(OpCode, op - OPR_EQ + OP_EQ), 1, e1, e2); break;
    case OPR_NE:
    case OPR_GT:
    case OPR_GE: codecomp(fs, cast(OpCode, op - OPR_NE + OP_EQ), 0, e1, e2); break;
    default: lua_assert(0);
    }
}

void luaK_fixline(FuncState* fs, int line) { fs->f->lineinfo[fs->pc - 1] = line; }

void luaK_setlist(FuncState* fs, int base, int nelems, int tostore)
{
    int c = (nelems - 1) / LFIELDS_PER_FLUSH + 1;
    int b = (tostore == LUA_MULTRET) ? 0 : tostore;
    lua_assert(tostore != 0);
    if (c <= MAXARG_C)
        luaK_codeABC(fs, OP_SETLIST, base, b, c);
    else if (c <= MAXARG_Ax) {
        luaK_codeABC(fs, OP_SETLIST, base, b, 0);
        codeextraarg(fs, c);
    } else
        luaX_syntaxerror(fs->ls, "constructor too long");
    fs->freereg = cast_byte(base + 1);  // the stored items are spent; the table stays
}
