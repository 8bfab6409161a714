// Scopes and variables: registration of locals and their debug ranges,
// name resolution through enclosing functions (upvalues), lexical blocks,
// labels and gotos, and opening/closing a function being compiled.
// Invariants:
// - A local is declared by new_localvar but enters scope only at
//   adjustlocalvars; locals occupy registers 0 .. nactvar-1 in order.
// - Pending gotos of a block are resolved against its labels, else handed
//   to the enclosing block on leave; at function level one left over is an
//   error.
// - A block with a captured local (upval) closes it on every exit: fall
//   through, break and goto alike.
#include "lfunc.h"
#include "lmem.h"
#include "lparser_internal.h"
#include "lstring.h"

// Locals per function. Kept well below the 8-bit register field so that
// temporaries above the locals still fit in A/B/C operands.
#define MAXVARS 200

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
void new_localvar(LexState* ls, TString* name)
{
    FuncState* fs = ls->fs;
    Dyndata* dyd = ls->dyd;
    int reg = registerlocalvar(ls, name);
    checklimit(fs, dyd->actvar.n + 1 - fs->firstlocal, MAXVARS, "local variables");
    luaM_growvector(ls->L, dyd->actvar.arr, dyd->actvar.n + 1, dyd->actvar.size, Vardesc, MAX_INT, "local variables");
    dyd->actvar.arr[dyd->actvar.n++].idx = cast(short, reg);
}


LocVar* getlocvar(FuncState* fs, int i)
{
    int idx = fs->ls->dyd->actvar.arr[fs->firstlocal + i].idx;
    lua_assert(idx < fs->nlocvars);
    return &fs->f->locvars[idx];
}

// Brings the last nvars declared locals into scope, starting at this pc.
void adjustlocalvars(LexState* ls, int nvars)
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

int newupvalue(FuncState* fs, TString* name, expdesc* v)
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

void singlevar(LexState* ls, expdesc* var)
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
int findlabel(LexState* ls, int g)
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

int newlabelentry(LexState* ls, Labellist* l, TString* name, int line, int pc)
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
void findgotos(LexState* ls, Labeldesc* lb)
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
void enterblock(FuncState* fs, BlockCnt* bl, lu_byte isloop)
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
void leaveblock(FuncState* fs)
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
Proto* addprototype(LexState* ls)
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

// The child just closed is the last of fs->prev's protos; OP_CLOSURE in the
// parent instantiates it into the next free register.
void codeclosure(LexState* ls, expdesc* v)
{
    FuncState* fs = ls->fs->prev;
    init_exp(v, VRELOCABLE, luaK_codeABx(fs, OP_CLOSURE, 0, cast(unsigned int, fs->np - 1)));
    luaK_exp2nextreg(fs, v);
}

// Starts compiling fs->f as the new innermost function, with its outer block.
void open_func(LexState* ls, FuncState* fs, BlockCnt* bl)
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
void close_func(LexState* ls)
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
    luaP_usevariants(f);
    lua_assert(fs->bl == nullptr);
    luaK_freecache(L, fs->h);
    fs->h = nullptr;
    ls->fs = fs->prev;
}
