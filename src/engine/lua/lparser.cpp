// Statements and the entry point: token checks and error reporting shared
// by the parser modules, the statement rules (assignment, control
// structures, local/function/return, labels and gotos), the main function
// and luaY_parser. Invariants:
// - Every statement starts and ends with fs->freereg == fs->nactvar.
// - A 'return' is the last statement of its block.
#include "lparser_internal.h"

#include <cstring>

#include "ldo.h"
#include "lfunc.h"
#include "lgc.h"
#include "lmem.h"
#include "lstring.h"

static void statement(LexState* ls);

[[noreturn]] void semerror(LexState* ls, const char* msg)
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

void checklimit(FuncState* fs, int v, int l, const char* what)
{
    if (v > l) errorlimit(fs, l, what);
}

int testnext(LexState* ls, int c)
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

void checknext(LexState* ls, int c)
{
    check(ls, c);
    luaX_next(ls);
}


void check_match(LexState* ls, int what, int who, int where)
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

TString* str_checkname(LexState* ls)
{
    check(ls, TK_NAME);
    TString* ts = ls->t.seminfo.ts;
    luaX_next(ls);
    return ts;
}

void init_exp(expdesc* e, expkind k, int i)
{
    e->f = e->t = NO_JUMP;
    e->k = k;
    e->u.info = i;
}

void codestring(LexState* ls, expdesc* e, TString* s) { init_exp(e, VK, luaK_stringK(ls->fs, s)); }

void checkname(LexState* ls, expdesc* e) { codestring(ls, e, str_checkname(ls)); }

// Depth guard for recursive rules; paired with leavelevel.
void enterlevel(LexState* ls)
{
    lua_State* L = ls->L;
    ++L->nCcalls;
    checklimit(ls->fs, L->nCcalls, LUAI_MAXCCALLS, "C levels");
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
void statlist(LexState* ls)
{
    while (!block_follow(ls, 1)) {
        if (ls->t.token == TK_RETURN) {
            statement(ls);
            return;  // nothing may follow a return in its block
        }
        statement(ls);
    }
}

// Statements
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
