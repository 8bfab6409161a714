// Expressions: field selection and indexing, table constructors, parameter
// lists and function bodies, call arguments, and operator-precedence
// parsing of sub-expressions. Invariants:
// - A rule describes its value in an expdesc and leaves the choice of
//   register to the caller; only what later code must find in a register
//   (the called function, a table being built, the values of an exp_list
//   but the last) is fixed here, in consecutive registers from freereg.
// - An open call or '...' in last position stays open (VCALL/VVARARG) so
//   the caller can ask it for as many values as it needs.
#include "lparser_internal.h"

// field_sel: ( '.' | ':' ) NAME
void fieldsel(LexState* ls, expdesc* v)
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
void body(LexState* ls, expdesc* e, int ismethod, int line)
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
int explist(LexState* ls, expdesc* v)
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
void suffixedexp(LexState* ls, expdesc* v)
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
void expr(LexState* ls, expdesc* v) { subexpr(ls, v, 0); }
