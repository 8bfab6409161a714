// Single-pass parser: it drives lcode directly, so the bytecode is final the
// moment a construct has been read. Invariants:
// - Between statements fs->freereg == fs->nactvar: temporaries never outlive
//   the statement that made them.
// - ls->dyd holds, for the whole chunk, the active locals, the pending gotos
//   and the visible labels; a BlockCnt remembers where its own entries start
//   so leaving the block truncates those stacks back.
// - Every recursive construct goes through enterlevel, so nesting depth is
//   capped by LUAI_MAXCCALLS rather than by the native stack.
// - No collection step runs during compilation, so the strings and protos
//   being built need no anchoring. A collector that stepped here would first
//   have to root the lexer's strings and the open protos reachable from ls->fs.
//
// Grammar notation used above the rule functions: 'kw' is a keyword or
// symbol, NAME/NUMBER/STRING are token classes, [x] is optional, {x} repeats
// zero or more times, a | b is a choice.
#include "lparser.h"

#include <cstring>

#include "lcode.h"
#include "ldo.h"
#include "lfunc.h"
#include "lgc.h"
#include "lmem.h"
#include "lstring.h"

// Locals per function. Kept well below the 8-bit register field so that
// temporaries above the locals still fit in A/B/C operands.
#define MAXVARS 200

#define hasmultret(k) ((k) == VCALL || (k) == VVARARG)

// One lexical block being parsed; fs->bl links them innermost first.
struct BlockCnt {
    BlockCnt* previous;
    short firstlabel;  // dyd->label.n on entry: labels from here on are ours
    short firstgoto;   // dyd->gt.n on entry: gotos from here on are ours
    lu_byte nactvar;   // fs->nactvar on entry; restored on leave
    lu_byte upval;     // a local of this block is captured: exits must close it
    lu_byte isloop;    // loop body: 'break' resolves to its end
};

static void statement(LexState* ls);
static void expr(LexState* ls, expdesc* v);

[[noreturn]] static void semerror(LexState* ls, const char* msg)
{
    ls->t.token = 0;  // the message is about meaning, not about the token at hand
    luaX_syntaxerror(ls, msg);
}

[[noreturn]] static void error_expected(LexState* ls, int token)
{
    luaX_syntaxerror(ls, luaO_pushfstring(ls->L, "%s expected", luaX_token2str(ls, token)));
}

[[noreturn]] static void errorlimit(FuncState* fs, int limit, const char* what)
{
    lua_State* L = fs->ls->L;
    int line = fs->f->linedefined;
    const char* where;
    if (line == 0)
        where = "main function";
    else {
        int tab = 0;
        int tline = luaX_tabline(fs->ls, line, &tab);
        where = luaO_pushfstring(L, "function at line %d (tab %d)", luaO_fint(tline), luaO_fint(tab));
    }
    const char* msg = luaO_pushfstring(L, "too many %s (limit is %d) in %s", what, luaO_fint(limit), where);
    luaX_syntaxerror(fs->ls, msg);
}

static void checklimit(FuncState* fs, int v, int l, const char* what)
{
    if (v > l) errorlimit(fs, l, what);
}

static int testnext(LexState* ls, int c)
{
    if (ls->t.token == c) {
        luaX_next(ls);
        return 1;
    }
    return 0;
}

static void check(LexState* ls, int c)
{
    if (ls->t.token != c) error_expected(ls, c);
}

static void checknext(LexState* ls, int c)
{
    check(ls, c);
    luaX_next(ls);
}

#define check_condition(ls, c, msg) \
    {                               \
        if (!(c)) luaX_syntaxerror(ls, msg); \
    }

static void check_match(LexState* ls, int what, int who, int where)
{
    if (!testnext(ls, what)) {
        if (where == ls->linenumber)
            error_expected(ls, what);
        else {
            int tab = 0;
            int tline = luaX_tabline(ls, where, &tab);
            luaX_syntaxerror(ls, luaO_pushfstring(ls->L, "%s expected (to close %s at line %d (tab %d))",
                                                  luaX_token2str(ls, what), luaX_token2str(ls, who),
                                                  luaO_fint(tline), luaO_fint(tab)));
        }
    }
}

static TString* str_checkname(LexState* ls)
{
    check(ls, TK_NAME);
    TString* ts = ls->t.seminfo.ts;
    luaX_next(ls);
    return ts;
}

static void init_exp(expdesc* e, expkind k, int i)
{
    e->f = e->t = NO_JUMP;
    e->k = k;
    e->u.info = i;
}

static void codestring(LexState* ls, expdesc* e, TString* s) { init_exp(e, VK, luaK_stringK(ls->fs, s)); }

static void checkname(LexState* ls, expdesc* e) { codestring(ls, e, str_checkname(ls)); }

static int registerlocalvar(LexState* ls, TString* varname)
{
    FuncState* fs = ls->fs;
    Proto* f = fs->f;
    int oldsize = f->sizelocvars;
    luaM_growvector(ls->L, f->locvars, fs->nlocvars, f->sizelocvars, LocVar, SHRT_MAX, "local variables");
    while (oldsize < f->sizelocvars) f->locvars[oldsize++].varname = nullptr;
    f->locvars[fs->nlocvars].varname = varname;
    return fs->nlocvars++;
}

// Declares a local. It enters scope only at adjustlocalvars, so an
// initialiser such as 'local x = x' still sees the outer x.
static void new_localvar(LexState* ls, TString* name)
{
    FuncState* fs = ls->fs;
    Dyndata* dyd = ls->dyd;
    int reg = registerlocalvar(ls, name);
    checklimit(fs, dyd->actvar.n + 1 - fs->firstlocal, MAXVARS, "local variables");
    luaM_growvector(ls->L, dyd->actvar.arr, dyd->actvar.n + 1, dyd->actvar.size, Vardesc, MAX_INT, "local variables");
    dyd->actvar.arr[dyd->actvar.n++].idx = cast(short, reg);
}

#define new_localvarliteral(ls, v) new_localvar(ls, luaX_newstring(ls, "" v, (sizeof(v) / sizeof(char)) - 1))

static LocVar* getlocvar(FuncState* fs, int i)
{
    int idx = fs->ls->dyd->actvar.arr[fs->firstlocal + i].idx;
    lua_assert(idx < fs->nlocvars);
    return &fs->f->locvars[idx];
}

// Brings the last nvars declared locals into scope, starting at this pc.
static void adjustlocalvars(LexState* ls, int nvars)
{
    FuncState* fs = ls->fs;
    fs->nactvar = cast_byte(fs->nactvar + nvars);
    for (; nvars; nvars--) getlocvar(fs, fs->nactvar - nvars)->startpc = fs->pc;
}

// Ends the scope of the locals above tolevel, closing their debug ranges.
static void removevars(FuncState* fs, int tolevel)
{
    fs->ls->dyd->actvar.n -= (fs->nactvar - tolevel);
    while (fs->nactvar > tolevel) getlocvar(fs, --fs->nactvar)->endpc = fs->pc;
}

static int searchupvalue(FuncState* fs, TString* name)
{
    Upvaldesc* up = fs->f->upvalues;
    for (int i = 0; i < fs->nups; i++)
        if (luaS_eqstr(up[i].name, name)) return i;
    return -1;
}

static int newupvalue(FuncState* fs, TString* name, expdesc* v)
{
    Proto* f = fs->f;
    int oldsize = f->sizeupvalues;
    checklimit(fs, fs->nups + 1, MAXUPVAL, "upvalues");
    luaM_growvector(fs->ls->L, f->upvalues, fs->nups, f->sizeupvalues, Upvaldesc, MAXUPVAL, "upvalues");
    while (oldsize < f->sizeupvalues) f->upvalues[oldsize++].name = nullptr;
    f->upvalues[fs->nups].instack = (v->k == VLOCAL);
    f->upvalues[fs->nups].idx = cast_byte(v->u.info);
    f->upvalues[fs->nups].name = name;
    return fs->nups++;
}

static int searchvar(FuncState* fs, TString* n)
{
    for (int i = cast_int(fs->nactvar) - 1; i >= 0; i--)
        if (luaS_eqstr(n, getlocvar(fs, i)->varname)) return i;
    return -1;
}

// A closure captures the local in register 'level': flag the block that
// declared it so that leaving the block emits an upvalue close.
static void markupval(FuncState* fs, int level)
{
    BlockCnt* bl = fs->bl;
    while (bl->nactvar > level) bl = bl->previous;
    bl->upval = 1;
}

// Resolves a name from fs outwards: VLOCAL in fs itself, VUPVAL when found
// in an enclosing function (creating the upvalue chain on the way back in),
// VVOID when it is free everywhere and thus a global. 'base' is 0 while
// searching on behalf of an inner function.
static int singlevaraux(FuncState* fs, TString* n, expdesc* var, int base)
{
    if (fs == nullptr) return VVOID;  // ran out of functions
    int v = searchvar(fs, n);
    if (v >= 0) {
        init_exp(var, VLOCAL, v);
        if (!base) markupval(fs, v);  // seen from an inner function: it becomes captured
        return VLOCAL;
    }
    int idx = searchupvalue(fs, n);
    if (idx < 0) {
        if (singlevaraux(fs->prev, n, var, 0) == VVOID) return VVOID;
        idx = newupvalue(fs, n, var);  // var now describes it one level out
    }
    init_exp(var, VUPVAL, idx);
    return VUPVAL;
}

static void singlevar(LexState* ls, expdesc* var)
{
    TString* varname = str_checkname(ls);
    FuncState* fs = ls->fs;
    if (singlevaraux(fs, varname, var, 1) == VVOID) {  // free name: compile as _ENV[name]
        expdesc key;
        singlevaraux(fs, ls->envn, var, 1);  // _ENV itself always resolves
        lua_assert(var->k == VLOCAL || var->k == VUPVAL);
        codestring(ls, &key, varname);
        luaK_indexed(fs, var, &key);
    }
}

// Makes nexps values (the last one still in e) fill exactly nvars registers:
// an open call or '...' is asked for the missing count, otherwise missing
// values become nil. Surplus values are the caller's to drop.
static void adjust_assign(LexState* ls, int nvars, int nexps, expdesc* e)
{
    FuncState* fs = ls->fs;
    int extra = nvars - nexps;
    if (hasmultret(e->k)) {
        extra++;  // the call itself supplies one of the values
        if (extra < 0) extra = 0;
        luaK_setreturns(fs, e, extra);  // ask the call/vararg for exactly the missing count
        if (extra > 1) luaK_reserveregs(fs, extra - 1);
    } else {
        if (e->k != VVOID) luaK_exp2nextreg(fs, e);  // single value: into its register
        if (extra > 0) {
            int reg = fs->freereg;
            luaK_reserveregs(fs, extra);
            luaK_nil(fs, reg, extra);
        }
    }
}

// Depth guard for recursive rules; paired with leavelevel.
static void enterlevel(LexState* ls)
{
    lua_State* L = ls->L;
    ++L->nCcalls;
    checklimit(ls->fs, L->nCcalls, LUAI_MAXCCALLS, "C levels");
}
#define leavelevel(ls) ((ls)->L->nCcalls--)

// Patches goto g to its label and removes it from the pending list. Jumping
// forward into the scope of a local declared after the goto is an error.
static void closegoto(LexState* ls, int g, Labeldesc* label)
{
    FuncState* fs = ls->fs;
    Labellist* gl = &ls->dyd->gt;
    Labeldesc* gt = &gl->arr[g];
    lua_assert(luaS_eqstr(gt->name, label->name));
    if (gt->nactvar < label->nactvar) {
        TString* vname = getlocvar(fs, gt->nactvar)->varname;
        int tab = 0;
        int tline = luaX_tabline(ls, gt->line, &tab);
        const char* msg =
            luaO_pushfstring(ls->L, "<goto %s> at line %d (tab %d) jumps into the scope of local '%s'",
                             getstr(gt->name), luaO_fint(tline), luaO_fint(tab), getstr(vname));
        semerror(ls, msg);
    }
    luaK_patchlist(fs, gt->pc, label->pc);
    // resolved: drop it from the pending list, keeping order
    for (int i = g; i < gl->n - 1; i++) gl->arr[i] = gl->arr[i + 1];
    gl->n--;
}

// Resolves pending goto g against the labels visible in the current block;
// returns 1 when it was resolved (and removed from the pending list).
static int findlabel(LexState* ls, int g)
{
    BlockCnt* bl = ls->fs->bl;
    Dyndata* dyd = ls->dyd;
    Labeldesc* gt = &dyd->gt.arr[g];
    for (int i = bl->firstlabel; i < dyd->label.n; i++) {
        Labeldesc* lb = &dyd->label.arr[i];
        if (luaS_eqstr(lb->name, gt->name)) {
            if (gt->nactvar > lb->nactvar && (bl->upval || dyd->label.n > bl->firstlabel))
                luaK_patchclose(ls->fs, gt->pc, lb->nactvar);
            closegoto(ls, g, lb);
            return 1;
        }
    }
    return 0;  // stays pending for an enclosing block
}

static int newlabelentry(LexState* ls, Labellist* l, TString* name, int line, int pc)
{
    int n = l->n;
    luaM_growvector(ls->L, l->arr, n, l->size, Labeldesc, SHRT_MAX, "labels/gotos");
    l->arr[n].name = name;
    l->arr[n].line = line;
    l->arr[n].nactvar = ls->fs->nactvar;
    l->arr[n].pc = pc;
    l->n++;
    return n;
}

// A label was just declared: resolve the current block's pending gotos to it.
static void findgotos(LexState* ls, Labeldesc* lb)
{
    Labellist* gl = &ls->dyd->gt;
    int i = ls->fs->bl->firstgoto;
    while (i < gl->n) {
        if (luaS_eqstr(gl->arr[i].name, lb->name))
            closegoto(ls, i, lb);
        else
            i++;
    }
}

// The block is closing with gotos still pending: they now belong to the
// enclosing block. Their local level drops to the block's entry level, and
// if the block had captured locals the jump must close them on the way out.
static void movegotosout(FuncState* fs, BlockCnt* bl)
{
    int i = bl->firstgoto;
    Labellist* gl = &fs->ls->dyd->gt;
    while (i < gl->n) {
        Labeldesc* gt = &gl->arr[i];
        if (gt->nactvar > bl->nactvar) {
            if (bl->upval) luaK_patchclose(fs, gt->pc, bl->nactvar);
            gt->nactvar = bl->nactvar;
        }
        if (!findlabel(fs->ls, i)) i++;  // a resolved goto is removed, so i already names the next
    }
}

// Blocks start with no temporaries alive: freereg == nactvar.
static void enterblock(FuncState* fs, BlockCnt* bl, lu_byte isloop)
{
    bl->isloop = isloop;
    bl->nactvar = fs->nactvar;
    bl->firstlabel = cast(short, fs->ls->dyd->label.n);
    bl->firstgoto = cast(short, fs->ls->dyd->gt.n);
    bl->upval = 0;
    bl->previous = fs->bl;
    fs->bl = bl;
    lua_assert(fs->freereg == fs->nactvar);
}

// 'break' is a goto to the reserved label "break", declared where the loop ends.
static void breaklabel(LexState* ls)
{
    TString* n = luaS_newliteral(ls->L, "break");
    int l = newlabelentry(ls, &ls->dyd->label, n, 0, ls->fs->pc);
    findgotos(ls, &ls->dyd->label.arr[l]);
}

[[noreturn]] static void undefgoto(LexState* ls, Labeldesc* gt)
{
    int tab = 0;
    int tline = luaX_tabline(ls, gt->line, &tab);
    const char* msg;
    if (isreserved(gt->name))
        msg = luaO_pushfstring(ls->L, "<%s> at line %d not inside a loop", getstr(gt->name), luaO_fint(tline));
    else
        msg = luaO_pushfstring(ls->L, "no visible label '%s' for <goto> at line %d (tab %d)", getstr(gt->name),
                               luaO_fint(tline), luaO_fint(tab));
    semerror(ls, msg);
}

// Ends the scope: its locals die, its labels vanish, and gotos still pending
// move to the enclosing block (or are errors at function level).
static void leaveblock(FuncState* fs)
{
    BlockCnt* bl = fs->bl;
    LexState* ls = fs->ls;
    if (bl->previous && bl->upval) {
        // fall-through exit must close the captured locals too
        int j = luaK_jump(fs);
        luaK_patchclose(fs, j, bl->nactvar);
        luaK_patchtohere(fs, j);
    }
    if (bl->isloop) breaklabel(ls);
    fs->bl = bl->previous;
    removevars(fs, bl->nactvar);
    lua_assert(bl->nactvar == fs->nactvar);
    fs->freereg = fs->nactvar;
    ls->dyd->label.n = bl->firstlabel;  // its labels go out of sight
    if (bl->previous)
        movegotosout(fs, bl);
    else if (bl->firstgoto < ls->dyd->gt.n)  // function body: nowhere left to look
        undefgoto(ls, &ls->dyd->gt.arr[bl->firstgoto]);
}

// Appends a fresh child proto to fs->f->p; fs->np counts the used slots.
static Proto* addprototype(LexState* ls)
{
    lua_State* L = ls->L;
    FuncState* fs = ls->fs;
    Proto* f = fs->f;
    if (fs->np >= f->sizep) {
        int oldsize = f->sizep;
        luaM_growvector(L, f->p, fs->np, f->sizep, Proto*, MAXARG_Bx, "functions");
        while (oldsize < f->sizep) f->p[oldsize++] = nullptr;
    }
    Proto* clp = luaF_newproto(L);
    f->p[fs->np++] = clp;
    return clp;
}

// Owns a function's constant cache: freed when its body is done and also
// when a syntax error unwinds past it.
struct CacheGuard {
    lua_State* L;
    FuncState* fs;
    ~CacheGuard()
    {
        luaK_freecache(L, fs->h);
        fs->h = nullptr;
    }
};

// The child just closed is the last of fs->prev's protos; OP_CLOSURE in the
// parent instantiates it into the next free register.
static void codeclosure(LexState* ls, expdesc* v)
{
    FuncState* fs = ls->fs->prev;
    init_exp(v, VRELOCABLE, luaK_codeABx(fs, OP_CLOSURE, 0, cast(unsigned int, fs->np - 1)));
    luaK_exp2nextreg(fs, v);
}

// Starts compiling fs->f as the new innermost function, with its outer block.
static void open_func(LexState* ls, FuncState* fs, BlockCnt* bl)
{
    fs->prev = ls->fs;  // enclosing function, for upvalue lookup
    fs->ls = ls;
    ls->fs = fs;
    fs->pc = 0;
    fs->lasttarget = 0;
    fs->jpc = NO_JUMP;
    fs->freereg = 0;
    fs->nk = 0;
    fs->np = 0;
    fs->nups = 0;
    fs->nlocvars = 0;
    fs->nactvar = 0;
    fs->firstlocal = ls->dyd->actvar.n;
    fs->bl = nullptr;
    Proto* f = fs->f;
    f->source = ls->source;
    f->maxstacksize = 2;  // the VM assumes at least two registers
    fs->h = luaK_newcache(ls->L);
    enterblock(fs, bl, 0);
}

// Finishes the innermost function: final return, arrays trimmed to size,
// and the enclosing function becomes current again.
static void close_func(LexState* ls)
{
    lua_State* L = ls->L;
    FuncState* fs = ls->fs;
    Proto* f = fs->f;
    luaK_ret(fs, 0, 0);  // falling off the end returns nothing
    leaveblock(fs);
    luaM_reallocvector(L, f->code, f->sizecode, fs->pc, Instruction);
    f->sizecode = fs->pc;
    luaM_reallocvector(L, f->lineinfo, f->sizelineinfo, fs->pc, int);
    f->sizelineinfo = fs->pc;
    luaM_reallocvector(L, f->k, f->sizek, fs->nk, TValue);
    f->sizek = fs->nk;
    luaM_reallocvector(L, f->p, f->sizep, fs->np, Proto*);
    f->sizep = fs->np;
    luaM_reallocvector(L, f->locvars, f->sizelocvars, fs->nlocvars, LocVar);
    f->sizelocvars = fs->nlocvars;
    luaM_reallocvector(L, f->upvalues, f->sizeupvalues, fs->nups, Upvaldesc);
    f->sizeupvalues = fs->nups;
    lua_assert(fs->bl == nullptr);
    luaK_freecache(L, fs->h);
    fs->h = nullptr;
    ls->fs = fs->prev;
}

// ---------------------------------------------------------------------------
// Grammar rules
// ---------------------------------------------------------------------------

// Whether the current token closes a block. 'until' only counts when asked
// for, because in a repeat body it is followed by the condition.
static int block_follow(LexState* ls, int withuntil)
{
    switch (ls->t.token) {
    case TK_ELSE:
    case TK_ELSEIF:
    case TK_END:
    case TK_EOS: return 1;
    case TK_UNTIL: return withuntil;
    default: return 0;
    }
}

// stat_list: { stat }
static void statlist(LexState* ls)
{
    while (!block_follow(ls, 1)) {
        if (ls->t.token == TK_RETURN) {
            statement(ls);
            return;  // nothing may follow a return in its block
        }
        statement(ls);
    }
}

// field_sel: ( '.' | ':' ) NAME
static void fieldsel(LexState* ls, expdesc* v)
{
    FuncState* fs = ls->fs;
    expdesc key;
    luaK_exp2anyregup(fs, v);
    luaX_next(ls);
    checkname(ls, &key);
    luaK_indexed(fs, v, &key);
}

// index: '[' expr ']'
static void yindex(LexState* ls, expdesc* v)
{
    luaX_next(ls);
    expr(ls, v);
    luaK_exp2val(ls->fs, v);
    checknext(ls, ']');
}

// Table constructors

struct ConsControl {
    expdesc v;       // latest positional item, not yet in a register
    expdesc* t;      // the table, fixed in a register
    int nh;          // keyed fields so far (sizes the hash part)
    int na;          // positional items so far (sizes the array part)
    int tostore;     // positional items on the stack awaiting OP_SETLIST
};

// rec_field: ( NAME | '[' expr ']' ) '=' expr
static void recfield(LexState* ls, ConsControl* cc)
{
    FuncState* fs = ls->fs;
    int reg = ls->fs->freereg;
    expdesc key, val;
    if (ls->t.token == TK_NAME) {
        checklimit(fs, cc->nh, MAX_INT, "items in a constructor");
        checkname(ls, &key);
    } else
        yindex(ls, &key);
    cc->nh++;
    checknext(ls, '=');
    int rkkey = luaK_exp2RK(fs, &key);
    expr(ls, &val);
    luaK_codeABC(fs, OP_SETTABLE, cc->t->u.info, rkkey, luaK_exp2RK(fs, &val));
    fs->freereg = cast_byte(reg);  // key and value temporaries are spent
}

// Puts the pending positional item in a register before the next field.
static void closelistfield(FuncState* fs, ConsControl* cc)
{
    if (cc->v.k == VVOID) return;
    luaK_exp2nextreg(fs, &cc->v);
    cc->v.k = VVOID;
    if (cc->tostore == LFIELDS_PER_FLUSH) {
        luaK_setlist(fs, cc->t->u.info, cc->na, cc->tostore);  // batch of LFIELDS_PER_FLUSH is full
        cc->tostore = 0;
    }
}

// Stores what is left at the closing brace; an open tail stores all its values.
static void lastlistfield(FuncState* fs, ConsControl* cc)
{
    if (cc->tostore == 0) return;
    if (hasmultret(cc->v.k)) {
        luaK_setmultret(fs, &cc->v);
        luaK_setlist(fs, cc->t->u.info, cc->na, LUA_MULTRET);
        cc->na--;  // a multi-value tail has no fixed count; SETLIST takes them all
    } else {
        if (cc->v.k != VVOID) luaK_exp2nextreg(fs, &cc->v);
        luaK_setlist(fs, cc->t->u.info, cc->na, cc->tostore);
    }
}

// list_field: expr
static void listfield(LexState* ls, ConsControl* cc)
{
    expr(ls, &cc->v);
    checklimit(ls->fs, cc->na, MAX_INT, "items in a constructor");
    cc->na++;
    cc->tostore++;
}

// field: list_field | rec_field
static void field(LexState* ls, ConsControl* cc)
{
    switch (ls->t.token) {
    case TK_NAME:  // 'x = ...' is keyed, a bare 'x' is positional
        if (luaX_lookahead(ls) != '=')
            listfield(ls, cc);
        else
            recfield(ls, cc);
        break;
    case '[': recfield(ls, cc); break;
    default: listfield(ls, cc); break;
    }
}

// constructor: '{' [ field { sep field } [ sep ] ] '}'
// sep: ',' | ';'
static void constructor(LexState* ls, expdesc* t)
{
    FuncState* fs = ls->fs;
    int line = ls->linenumber;
    int pc = luaK_codeABC(fs, OP_NEWTABLE, 0, 0, 0);
    ConsControl cc;
    cc.na = cc.nh = cc.tostore = 0;
    cc.t = t;
    init_exp(t, VRELOCABLE, pc);
    init_exp(&cc.v, VVOID, 0);
    luaK_exp2nextreg(ls->fs, t);  // items are stored above the table
    checknext(ls, '{');
    do {
        lua_assert(cc.v.k == VVOID || cc.tostore > 0);
        if (ls->t.token == '}') break;
        closelistfield(fs, &cc);
        field(ls, &cc);
    } while (testnext(ls, ',') || testnext(ls, ';'));
    check_match(ls, '}', '{', line);
    lastlistfield(fs, &cc);
    SETARG_B(fs->f->code[pc], luaO_int2fb(cast(unsigned int, cc.na)));  // size hints are known only now
    SETARG_C(fs->f->code[pc], luaO_int2fb(cast(unsigned int, cc.nh)));
}

// par_list: [ param { ',' param } ]
// param: NAME | '...'
static void parlist(LexState* ls)
{
    FuncState* fs = ls->fs;
    Proto* f = fs->f;
    int nparams = 0;
    f->is_vararg = 0;
    if (ls->t.token != ')') {
        do {
            switch (ls->t.token) {
            case TK_NAME:
                new_localvar(ls, str_checkname(ls));
                nparams++;
                break;
            case TK_DOTS:  // must be the last parameter
                luaX_next(ls);
                f->is_vararg = 1;
                break;
            default: luaX_syntaxerror(ls, "<name> or '...' expected");
            }
        } while (!f->is_vararg && testnext(ls, ','));
    }
    adjustlocalvars(ls, nparams);
    f->numparams = cast_byte(fs->nactvar);
    luaK_reserveregs(fs, fs->nactvar);  // parameters occupy the first registers
}

// body: '(' par_list ')' block 'end'
static void body(LexState* ls, expdesc* e, int ismethod, int line)
{
    FuncState new_fs;
    BlockCnt bl;
    new_fs.f = addprototype(ls);
    new_fs.f->linedefined = line;
    new_fs.h = nullptr;
    CacheGuard guard{ls->L, &new_fs};
    open_func(ls, &new_fs, &bl);
    checknext(ls, '(');
    if (ismethod) {
        new_localvarliteral(ls, "self");  // methods get an implicit first parameter
        adjustlocalvars(ls, 1);
    }
    parlist(ls);
    checknext(ls, ')');
    statlist(ls);
    new_fs.f->lastlinedefined = ls->linenumber;
    check_match(ls, TK_END, TK_FUNCTION, line);
    codeclosure(ls, e);
    close_func(ls);
}

// exp_list: expr { ',' expr }
// Every value but the last is fixed in the next register; the last is left
// in 'v' so the caller can decide how many results it should yield.
static int explist(LexState* ls, expdesc* v)
{
    int n = 1;
    expr(ls, v);
    while (testnext(ls, ',')) {
        luaK_exp2nextreg(ls->fs, v);
        expr(ls, v);
        n++;
    }
    return n;
}

// func_args: '(' [ exp_list ] ')' | constructor | STRING
// f is the function, already in a register; the call leaves it VCALL.
static void funcargs(LexState* ls, expdesc* f, int line)
{
    FuncState* fs = ls->fs;
    expdesc args;
    int nparams;
    switch (ls->t.token) {
    case '(': {  // func_args: '(' [ exp_list ] ')'
        luaX_next(ls);
        if (ls->t.token == ')')
            args.k = VVOID;
        else {
            explist(ls, &args);
            luaK_setmultret(fs, &args);
        }
        check_match(ls, ')', '(', line);
        break;
    }
    case '{': constructor(ls, &args); break;  // func_args: constructor
    case TK_STRING:                           // func_args: STRING
        codestring(ls, &args, ls->t.seminfo.ts);
        luaX_next(ls);  // only after the string was taken from seminfo
        break;
    default: luaX_syntaxerror(ls, "function arguments expected");
    }
    lua_assert(f->k == VNONRELOC);
    int base = f->u.info;  // the function; arguments follow it
    if (hasmultret(args.k))
        nparams = LUA_MULTRET;  // last argument is open: count runs to the stack top
    else {
        if (args.k != VVOID) luaK_exp2nextreg(fs, &args);
        nparams = fs->freereg - (base + 1);
    }
    init_exp(f, VCALL, luaK_codeABC(fs, OP_CALL, base, nparams + 1, 2));
    luaK_fixline(fs, line);
    fs->freereg = cast_byte(base + 1);  // until told otherwise a call yields one value, at base
}

// Expressions

// primary_exp: NAME | '(' expr ')'
static void primaryexp(LexState* ls, expdesc* v)
{
    switch (ls->t.token) {
    case '(': {
        int line = ls->linenumber;
        luaX_next(ls);
        expr(ls, v);
        check_match(ls, ')', '(', line);
        luaK_dischargevars(ls->fs, v);
        return;
    }
    case TK_NAME: singlevar(ls, v); return;
    default: luaX_syntaxerror(ls, "unexpected symbol");
    }
}

// suffixed_exp: primary_exp { '.' NAME | index | ':' NAME func_args | func_args }
static void suffixedexp(LexState* ls, expdesc* v)
{
    FuncState* fs = ls->fs;
    int line = ls->linenumber;
    primaryexp(ls, v);
    for (;;) {
        switch (ls->t.token) {
        case '.': fieldsel(ls, v); break;
        case '[': {
            expdesc key;
            luaK_exp2anyregup(fs, v);
            yindex(ls, &key);
            luaK_indexed(fs, v, &key);
            break;
        }
        case ':': {
            expdesc key;
            luaX_next(ls);
            checkname(ls, &key);
            luaK_self(fs, v, &key);
            funcargs(ls, v, line);
            break;
        }
        case '(':
        case TK_STRING:
        case '{':
            luaK_exp2nextreg(fs, v);
            funcargs(ls, v, line);
            break;
        default: return;
        }
    }
}

// simple_exp: NUMBER | STRING | 'nil' | 'true' | 'false' | '...'
//           | constructor | 'function' body | suffixed_exp
static void simpleexp(LexState* ls, expdesc* v)
{
    switch (ls->t.token) {
    case TK_NUMBER:
        init_exp(v, VKNUM, 0);
        v->u.nval = ls->t.seminfo.r;
        break;
    case TK_STRING: codestring(ls, v, ls->t.seminfo.ts); break;
    case TK_NIL: init_exp(v, VNIL, 0); break;
    case TK_TRUE: init_exp(v, VTRUE, 0); break;
    case TK_FALSE: init_exp(v, VFALSE, 0); break;
    case TK_DOTS: {  // only legal inside a vararg function
        FuncState* fs = ls->fs;
        check_condition(ls, fs->f->is_vararg, "cannot use '...' outside a vararg function");
        init_exp(v, VVARARG, luaK_codeABC(fs, OP_VARARG, 0, 1, 0));
        break;
    }
    case '{': constructor(ls, v); return;
    case TK_FUNCTION:
        luaX_next(ls);
        body(ls, v, 0, ls->linenumber);
        return;
    default: suffixedexp(ls, v); return;
    }
    luaX_next(ls);
}

static UnOpr getunopr(int op)
{
    switch (op) {
    case TK_NOT: return OPR_NOT;
    case '-': return OPR_MINUS;
    case '#': return OPR_LEN;
    default: return OPR_NOUNOPR;
    }
}

static BinOpr getbinopr(int op)
{
    switch (op) {
    case '+': return OPR_ADD;
    case '-': return OPR_SUB;
    case '*': return OPR_MUL;
    case '/': return OPR_DIV;
    case '%': return OPR_MOD;
    case '^': return OPR_POW;
    case TK_CONCAT: return OPR_CONCAT;
    case TK_NE: return OPR_NE;
    case TK_EQ: return OPR_EQ;
    case '<': return OPR_LT;
    case TK_LE: return OPR_LE;
    case '>': return OPR_GT;
    case TK_GE: return OPR_GE;
    case TK_AND: return OPR_AND;
    case TK_OR: return OPR_OR;
    default: return OPR_NOBINOPR;
    }
}

// Binding power of each binary operator, in BinOpr order: {left, right}.
// A right priority lower than the left makes the operator right-associative.
static const struct {
    lu_byte left;
    lu_byte right;
} priority[] = {
    {6, 6}, {6, 6}, {7, 7}, {7, 7}, {7, 7},  // + - * / %
    {10, 9}, {5, 4},                         // ^ ..  (both right-associative)
    {3, 3}, {3, 3}, {3, 3},                  // == < <=
    {3, 3}, {3, 3}, {3, 3},                  // ~= > >=
    {2, 2}, {1, 1}                           // and or
};

#define UNARY_PRIORITY 8  // binds tighter than all but '^'

// sub_expr: ( simple_exp | unop sub_expr ) { binop sub_expr }
// Precedence climbing: only operators whose left priority exceeds 'limit'
// are consumed here. Returns the first operator left for the caller.
static BinOpr subexpr(LexState* ls, expdesc* v, int limit)
{
    enterlevel(ls);
    UnOpr uop = getunopr(ls->t.token);
    if (uop != OPR_NOUNOPR) {
        int line = ls->linenumber;
        luaX_next(ls);
        subexpr(ls, v, UNARY_PRIORITY);
        luaK_prefix(ls->fs, uop, v, line);
    } else
        simpleexp(ls, v);
    BinOpr op = getbinopr(ls->t.token);
    while (op != OPR_NOBINOPR && priority[op].left > limit) {
        expdesc v2;
        int line = ls->linenumber;
        luaX_next(ls);
        luaK_infix(ls->fs, op, v);
        BinOpr nextop = subexpr(ls, &v2, priority[op].right);
        luaK_posfix(ls->fs, op, v, &v2, line);
        op = nextop;
    }
    leavelevel(ls);
    return op;
}

// expr: sub_expr
static void expr(LexState* ls, expdesc* v) { subexpr(ls, v, 0); }

// Statements

// block: stat_list   (in a scope of its own)
static void block(LexState* ls)
{
    FuncState* fs = ls->fs;
    BlockCnt bl;
    enterblock(fs, &bl, 0);
    statlist(ls);
    leaveblock(fs);
}

// Targets of a multiple assignment, chained on the C stack from the last
// one read back to the first.
struct LHS_assign {
    LHS_assign* prev;
    expdesc v;  // a VLOCAL, VUPVAL or VINDEXED target
};

// Stores run right to left, so in 'a[i], i = 1, 2' the earlier indexed target
// would see the new 'i'. When the target just read (v) is the table or the
// index of an earlier indexed target, copy it to a fresh register first and
// let that target use the copy.
static void check_conflict(LexState* ls, LHS_assign* lh, expdesc* v)
{
    FuncState* fs = ls->fs;
    int extra = fs->freereg;  // where the copy goes, if one is needed
    int conflict = 0;
    for (; lh; lh = lh->prev) {
        if (lh->v.k == VINDEXED) {
            if (lh->v.u.ind.vt == v->k && lh->v.u.ind.t == v->u.info) {  // same table slot
                conflict = 1;
                lh->v.u.ind.vt = VLOCAL;
                lh->v.u.ind.t = cast_byte(extra);
            }
            if (v->k == VLOCAL && lh->v.u.ind.idx == v->u.info) {  // same key register
                conflict = 1;
                lh->v.u.ind.idx = cast(short, extra);
            }
        }
    }
    if (conflict) {
        OpCode op = (v->k == VLOCAL) ? OP_MOVE : OP_GETUPVAL;
        luaK_codeABC(fs, op, extra, v->u.info, 0);
        luaK_reserveregs(fs, 1);
    }
}

static void assignment(LexState* ls, LHS_assign* lh, int nvars)
{
    expdesc e;
    check_condition(ls, vkisvar(lh->v.k), "syntax error");
    if (testnext(ls, ',')) {  // assignment: ',' suffixed_exp assignment
        LHS_assign nv;
        nv.prev = lh;
        suffixedexp(ls, &nv.v);
        if (nv.v.k != VINDEXED) check_conflict(ls, lh, &nv.v);
        checklimit(ls->fs, nvars + ls->L->nCcalls, LUAI_MAXCCALLS, "C levels");
        assignment(ls, &nv, nvars + 1);
    } else {  // assignment: '=' exp_list
        checknext(ls, '=');
        int nexps = explist(ls, &e);
        if (nexps != nvars) {
            adjust_assign(ls, nvars, nexps, &e);
            if (nexps > nvars) ls->fs->freereg = cast_byte(ls->fs->freereg - (nexps - nvars));  // surplus values are dropped
        } else {
            luaK_setoneret(ls->fs, &e);  // counts match: store straight from e
            luaK_storevar(ls->fs, &lh->v, &e);
            return;
        }
    }
    init_exp(&e, VNONRELOC, ls->fs->freereg - 1);  // value for this target is on top
    luaK_storevar(ls->fs, &lh->v, &e);
}

// cond: expr
// Returns the jump list taken when the condition is false.
static int cond(LexState* ls)
{
    expdesc v;
    expr(ls, &v);
    if (v.k == VNIL) v.k = VFALSE;  // only truthiness matters
    luaK_goiftrue(ls->fs, &v);
    return v.f;
}

// goto_stat: 'goto' NAME | 'break'
// pc is the jump to resolve; it stays pending until its label is known.
static void gotostat(LexState* ls, int pc)
{
    int line = ls->linenumber;
    TString* label;
    if (testnext(ls, TK_GOTO))
        label = str_checkname(ls);
    else {
        luaX_next(ls);
        label = luaS_newliteral(ls->L, "break");
    }
    int g = newlabelentry(ls, &ls->dyd->gt, label, line, pc);
    findlabel(ls, g);  // backward jump: the label may already be known
}

// A label name may appear once per block.
static void checkrepeated(FuncState* fs, Labellist* ll, TString* label)
{
    for (int i = fs->bl->firstlabel; i < ll->n; i++) {
        if (luaS_eqstr(label, ll->arr[i].name)) {
            int tab = 0;
            int tline = luaX_tabline(fs->ls, ll->arr[i].line, &tab);
            const char* msg = luaO_pushfstring(fs->ls->L, "label '%s' already defined on line %d (tab %d)",
                                               getstr(label), luaO_fint(tline), luaO_fint(tab));
            semerror(fs->ls, msg);
        }
    }
}

// Empty statements and labels emit nothing, so they do not count when
// deciding whether a label or goto ends its block.
static void skipnoopstat(LexState* ls)
{
    while (ls->t.token == ';' || ls->t.token == TK_DBCOLON) statement(ls);
}

// label: '::' NAME '::'   (the leading '::' and NAME are already read)
static void labelstat(LexState* ls, TString* label, int line)
{
    FuncState* fs = ls->fs;
    Labellist* ll = &ls->dyd->label;
    checkrepeated(fs, ll, label);
    checknext(ls, TK_DBCOLON);
    int l = newlabelentry(ls, ll, label, line, fs->pc);
    skipnoopstat(ls);
    if (block_follow(ls, 0)) {
        // a label closing its block lies past the scope of the block's
        // locals, so a goto issued before they were declared may reach it
        ll->arr[l].nactvar = fs->bl->nactvar;
    }
    findgotos(ls, &ll->arr[l]);
}

// while_stat: 'while' cond 'do' block 'end'
static void whilestat(LexState* ls, int line)
{
    FuncState* fs = ls->fs;
    BlockCnt bl;
    luaX_next(ls);
    int whileinit = luaK_getlabel(fs);
    int condexit = cond(ls);
    enterblock(fs, &bl, 1);
    checknext(ls, TK_DO);
    block(ls);
    luaK_jumpto(fs, whileinit);
    check_match(ls, TK_END, TK_WHILE, line);
    leaveblock(fs);
    luaK_patchtohere(fs, condexit);
}

// repeat_stat: 'repeat' block 'until' cond
// The condition is inside the body's scope, so it can see the body's locals.
static void repeatstat(LexState* ls, int line)
{
    FuncState* fs = ls->fs;
    int repeat_init = luaK_getlabel(fs);
    BlockCnt bl1, bl2;
    enterblock(fs, &bl1, 1);  // target of 'break'
    enterblock(fs, &bl2, 0);  // scope of the body's locals
    luaX_next(ls);
    statlist(ls);
    check_match(ls, TK_UNTIL, TK_REPEAT, line);
    int condexit = cond(ls);
    if (bl2.upval)  // looping back must close captured locals as well
        luaK_patchclose(fs, condexit, bl2.nactvar);
    leaveblock(fs);
    luaK_patchlist(fs, condexit, repeat_init);  // false: go round again
    leaveblock(fs);
}

// An expression fixed in the next register (for loop bounds).
static int exp1(LexState* ls)
{
    expdesc e;
    expr(ls, &e);
    luaK_exp2nextreg(ls->fs, &e);
    lua_assert(e.k == VNONRELOC);
    return e.u.info;
}

// for_body: 'do' block
// The three hidden control registers sit at 'base'; the declared variables
// follow them in a scope of their own.
static void forbody(LexState* ls, int base, int line, int nvars, int isnum)
{
    BlockCnt bl;
    FuncState* fs = ls->fs;
    adjustlocalvars(ls, 3);
    checknext(ls, TK_DO);
    int prep = isnum ? luaK_codeAsBx(fs, OP_FORPREP, base, NO_JUMP) : luaK_jump(fs);
    enterblock(fs, &bl, 0);
    adjustlocalvars(ls, nvars);
    luaK_reserveregs(fs, nvars);
    block(ls);
    leaveblock(fs);
    luaK_patchtohere(fs, prep);
    int endfor;
    if (isnum)
        endfor = luaK_codeAsBx(fs, OP_FORLOOP, base, NO_JUMP);
    else {
        luaK_codeABC(fs, OP_TFORCALL, base, 0, nvars);
        luaK_fixline(fs, line);
        endfor = luaK_codeAsBx(fs, OP_TFORLOOP, base + 2, NO_JUMP);
    }
    luaK_patchlist(fs, endfor, prep + 1);
    luaK_fixline(fs, line);
}

// for_num: NAME '=' expr ',' expr [ ',' expr ] for_body
static void fornum(LexState* ls, TString* varname, int line)
{
    FuncState* fs = ls->fs;
    int base = fs->freereg;
    new_localvarliteral(ls, "(for index)");
    new_localvarliteral(ls, "(for limit)");
    new_localvarliteral(ls, "(for step)");
    new_localvar(ls, varname);
    checknext(ls, '=');
    exp1(ls);
    checknext(ls, ',');
    exp1(ls);
    if (testnext(ls, ','))
        exp1(ls);
    else {  // step defaults to 1
        luaK_codek(fs, fs->freereg, luaK_numberK(fs, FIX_ONE));
        luaK_reserveregs(fs, 1);
    }
    forbody(ls, base, line, 1, 1);
}

// for_list: NAME { ',' NAME } 'in' exp_list for_body
static void forlist(LexState* ls, TString* indexname)
{
    FuncState* fs = ls->fs;
    expdesc e;
    int nvars = 4;  // three hidden registers + the first name
    int base = fs->freereg;
    // hidden: iterator function, state, control value
    new_localvarliteral(ls, "(for generator)");
    new_localvarliteral(ls, "(for state)");
    new_localvarliteral(ls, "(for control)");
    new_localvar(ls, indexname);
    while (testnext(ls, ',')) {
        new_localvar(ls, str_checkname(ls));
        nvars++;
    }
    checknext(ls, TK_IN);
    int line = ls->linenumber;
    adjust_assign(ls, 3, explist(ls, &e), &e);
    luaK_checkstack(fs, 3);  // TFORCALL copies the three hidden values above them
    forbody(ls, base, line, nvars - 3, 0);
}

// for_stat: 'for' ( for_num | for_list ) 'end'
static void forstat(LexState* ls, int line)
{
    FuncState* fs = ls->fs;
    BlockCnt bl;
    enterblock(fs, &bl, 1);  // holds the hidden registers; 'break' ends it
    luaX_next(ls);
    TString* varname = str_checkname(ls);
    switch (ls->t.token) {
    case '=': fornum(ls, varname, line); break;
    case ',':
    case TK_IN: forlist(ls, varname); break;
    default: luaX_syntaxerror(ls, "'=' or 'in' expected");
    }
    check_match(ls, TK_END, TK_FOR, line);
    leaveblock(fs);
}

// test_then_block: ( 'if' | 'elseif' ) cond 'then' block
// 'if c then break end' and 'if c then goto x end' compile to a single
// conditional jump to the target instead of a jump around a jump.
static void test_then_block(LexState* ls, int* escapelist)
{
    BlockCnt bl;
    FuncState* fs = ls->fs;
    expdesc v;
    int jf;  // false exit past the 'then' part
    luaX_next(ls);
    expr(ls, &v);
    checknext(ls, TK_THEN);
    if (ls->t.token == TK_GOTO || ls->t.token == TK_BREAK) {
        luaK_goiffalse(ls->fs, &v);  // v.t: the jumps taken when true
        enterblock(fs, &bl, 0);      // the goto belongs to the 'then' block
        gotostat(ls, v.t);
        skipnoopstat(ls);
        if (block_follow(ls, 0)) {   // nothing else in the block
            leaveblock(fs);
            return;  // no false exit needed: falling through is the false case
        }
        jf = luaK_jump(fs);  // false case skips the rest of the block
    } else {
        luaK_goiftrue(ls->fs, &v);  // falls into the block when true
        enterblock(fs, &bl, 0);
        jf = v.f;
    }
    statlist(ls);
    leaveblock(fs);
    if (ls->t.token == TK_ELSE || ls->t.token == TK_ELSEIF)
        luaK_concat(fs, escapelist, luaK_jump(fs));  // finished branch: to the 'end'
    luaK_patchtohere(fs, jf);
}

// if_stat: 'if' cond 'then' block { 'elseif' cond 'then' block } [ 'else' block ] 'end'
static void ifstat(LexState* ls, int line)
{
    int escapelist = NO_JUMP;  // jumps from each finished branch to the end
    test_then_block(ls, &escapelist);
    while (ls->t.token == TK_ELSEIF) test_then_block(ls, &escapelist);
    if (testnext(ls, TK_ELSE)) block(ls);
    check_match(ls, TK_END, TK_IF, line);
    luaK_patchtohere(ls->fs, escapelist);
}

// local_func: 'local' 'function' NAME body
static void localfunc(LexState* ls)
{
    expdesc b;
    FuncState* fs = ls->fs;
    new_localvar(ls, str_checkname(ls));
    adjustlocalvars(ls, 1);  // in scope before the body, so it can recurse
    body(ls, &b, 0, ls->linenumber);  // closure lands in the local's register
    // the debug range starts only now, once the register holds the closure
    getlocvar(fs, b.u.info)->startpc = fs->pc;
}

// local_stat: 'local' NAME { ',' NAME } [ '=' exp_list ]
static void localstat(LexState* ls)
{
    int nvars = 0;
    int nexps;
    expdesc e;
    do {
        new_localvar(ls, str_checkname(ls));
        nvars++;
    } while (testnext(ls, ','));
    if (testnext(ls, '='))
        nexps = explist(ls, &e);
    else {
        e.k = VVOID;
        nexps = 0;
    }
    adjust_assign(ls, nvars, nexps, &e);
    adjustlocalvars(ls, nvars);
}

// func_name: NAME { '.' NAME } [ ':' NAME ]
// Returns 1 for a method, which gets an implicit 'self'.
static int funcname(LexState* ls, expdesc* v)
{
    int ismethod = 0;
    singlevar(ls, v);
    while (ls->t.token == '.') fieldsel(ls, v);
    if (ls->t.token == ':') {
        ismethod = 1;
        fieldsel(ls, v);
    }
    return ismethod;
}

// func_stat: 'function' func_name body
static void funcstat(LexState* ls, int line)
{
    expdesc v, b;
    luaX_next(ls);
    int ismethod = funcname(ls, &v);
    body(ls, &b, ismethod, line);
    luaK_storevar(ls->fs, &v, &b);
    luaK_fixline(ls->fs, line);  // the store is attributed to the 'function' line
}

// expr_stat: suffixed_exp [ assignment ]
// Without an assignment the suffixed_exp must be a call.
static void exprstat(LexState* ls)
{
    FuncState* fs = ls->fs;
    LHS_assign v;
    suffixedexp(ls, &v.v);
    if (ls->t.token == '=' || ls->t.token == ',') {
        v.prev = nullptr;
        assignment(ls, &v, 1);
    } else {  // otherwise it must have been a call
        check_condition(ls, v.v.k == VCALL, "syntax error");
        SETARG_C(getcode(fs, &v.v), 1);  // C = 1: results discarded
    }
}

// ret_stat: 'return' [ exp_list ] [ ';' ]
static void retstat(LexState* ls)
{
    FuncState* fs = ls->fs;
    expdesc e;
    int first, nret;  // returned values are registers first .. first+nret-1
    if (block_follow(ls, 1) || ls->t.token == ';')
        first = nret = 0;
    else {
        nret = explist(ls, &e);
        if (hasmultret(e.k)) {
            luaK_setmultret(fs, &e);
            if (e.k == VCALL && nret == 1) {  // 'return f(x)' reuses the frame
                SET_OPCODE(getcode(fs, &e), OP_TAILCALL);
                lua_assert(GETARG_A(getcode(fs, &e)) == fs->nactvar);
            }
            first = fs->nactvar;
            nret = LUA_MULTRET;  // up to the stack top
        } else {
            if (nret == 1)  // may return straight from wherever it lives
                first = luaK_exp2anyreg(fs, &e);
            else {
                luaK_exp2nextreg(fs, &e);  // several values must be consecutive
                first = fs->nactvar;       // they were pushed right above the locals
                lua_assert(nret == fs->freereg - first);
            }
        }
    }
    luaK_ret(fs, first, nret);
    testnext(ls, ';');
}

// stat: ';' | if_stat | while_stat | 'do' block 'end' | for_stat | repeat_stat
//     | func_stat | local_stat | local_func | label | ret_stat | goto_stat
//     | expr_stat
static void statement(LexState* ls)
{
    int line = ls->linenumber;  // statements report where they start
    orbo_last_line_number = line;
    enterlevel(ls);
    switch (ls->t.token) {
    case ';': luaX_next(ls); break;  // stat: ';'
    case TK_IF: ifstat(ls, line); break;
    case TK_WHILE: whilestat(ls, line); break;
    case TK_DO:  // stat: 'do' block 'end'
        luaX_next(ls);
        block(ls);
        check_match(ls, TK_END, TK_DO, line);
        break;
    case TK_FOR: forstat(ls, line); break;
    case TK_REPEAT: repeatstat(ls, line); break;
    case TK_FUNCTION: funcstat(ls, line); break;
    case TK_LOCAL:  // stat: local_func | local_stat
        luaX_next(ls);
        if (testnext(ls, TK_FUNCTION))  // local_func: 'local' 'function' NAME body
            localfunc(ls);
        else
            localstat(ls);
        break;
    case TK_DBCOLON:  // stat: label
        luaX_next(ls);
        labelstat(ls, str_checkname(ls), line);
        break;
    case TK_RETURN:
        luaX_next(ls);
        retstat(ls);
        break;
    case TK_BREAK:
    case TK_GOTO: gotostat(ls, luaK_jump(ls->fs)); break;
    default: exprstat(ls); break;  // stat: expr_stat
    }
    lua_assert(ls->fs->f->maxstacksize >= ls->fs->freereg && ls->fs->freereg >= ls->fs->nactvar);
    ls->fs->freereg = ls->fs->nactvar;  // no temporary survives a statement
    leavelevel(ls);
}

// The chunk is a vararg function whose only upvalue, _ENV, is supplied by
// the loader.
static void mainfunc(LexState* ls, FuncState* fs)
{
    BlockCnt bl;
    expdesc v;
    fs->h = nullptr;
    CacheGuard guard{ls->L, fs};
    open_func(ls, fs, &bl);
    fs->f->is_vararg = 1;
    init_exp(&v, VLOCAL, 0);
    newupvalue(fs, ls->envn, &v);
    luaX_next(ls);  // prime the one-token lookahead
    statlist(ls);
    check(ls, TK_EOS);
    close_func(ls);
}

Proto* luaY_parser(lua_State* L, ZIO* z, Mbuffer* buff, Dyndata* dyd, const char* name)
{
    LexState lexstate;
    FuncState funcstate;
    funcstate.f = luaF_newproto(L);
    funcstate.f->source = luaS_new(L, name);
    lexstate.buff = buff;
    lexstate.dyd = dyd;
    dyd->actvar.n = dyd->gt.n = dyd->label.n = 0;
    luaX_setinput(L, &lexstate, z, funcstate.f->source, zgetc(z));
    mainfunc(&lexstate, &funcstate);
    lua_assert(!funcstate.prev && funcstate.nups == 1 && !lexstate.fs);
    return funcstate.f;
}
