// Shared state and entry points of the parser modules: lscope.cpp (locals,
// upvalues, blocks, labels and gotos, function open/close), lexpr.cpp
// (expressions, constructors, function bodies) and lparser.cpp (statements,
// token helpers and luaY_parser). Only these three files include it; the
// rest of the engine sees lparser.h alone.
//
// The parser is single-pass: it drives lcode directly, so the bytecode is
// final the moment a construct has been read. Invariants:
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
#pragma once

#include "lcode.h"
#include "lparser.h"

#define hasmultret(k) ((k) == VCALL || (k) == VVARARG)

#define check_condition(ls, c, msg) \
    {                               \
        if (!(c)) luaX_syntaxerror(ls, msg); \
    }

#define new_localvarliteral(ls, v) new_localvar(ls, luaX_newstring(ls, "" v, (sizeof(v) / sizeof(char)) - 1))

#define leavelevel(ls) ((ls)->L->nCcalls--)

// One lexical block being parsed; fs->bl links them innermost first.
struct BlockCnt {
    BlockCnt* previous;
    short firstlabel;  // dyd->label.n on entry: labels from here on are ours
    short firstgoto;   // dyd->gt.n on entry: gotos from here on are ours
    lu_byte nactvar;   // fs->nactvar on entry; restored on leave
    lu_byte upval;     // a local of this block is captured: exits must close it
    lu_byte isloop;    // loop body: 'break' resolves to its end
};

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

// lparser.cpp: token checks, errors, depth guard, statement lists
[[noreturn]] void semerror(LexState* ls, const char* msg);
void checklimit(FuncState* fs, int v, int l, const char* what);
int testnext(LexState* ls, int c);
void checknext(LexState* ls, int c);
void check_match(LexState* ls, int what, int who, int where);
TString* str_checkname(LexState* ls);
void init_exp(expdesc* e, expkind k, int i);
void codestring(LexState* ls, expdesc* e, TString* s);
void checkname(LexState* ls, expdesc* e);
void enterlevel(LexState* ls);
void statlist(LexState* ls);

// lscope.cpp: locals, upvalues, blocks, labels and gotos, function state
void new_localvar(LexState* ls, TString* name);
LocVar* getlocvar(FuncState* fs, int i);
void adjustlocalvars(LexState* ls, int nvars);
int newupvalue(FuncState* fs, TString* name, expdesc* v);
void singlevar(LexState* ls, expdesc* var);
int findlabel(LexState* ls, int g);
int newlabelentry(LexState* ls, Labellist* l, TString* name, int line, int pc);
void findgotos(LexState* ls, Labeldesc* lb);
void enterblock(FuncState* fs, BlockCnt* bl, lu_byte isloop);
void leaveblock(FuncState* fs);
Proto* addprototype(LexState* ls);
void codeclosure(LexState* ls, expdesc* v);
void open_func(LexState* ls, FuncState* fs, BlockCnt* bl);
void close_func(LexState* ls);

// lexpr.cpp: expressions and function bodies
void fieldsel(LexState* ls, expdesc* v);
void body(LexState* ls, expdesc* e, int ismethod, int line);
int explist(LexState* ls, expdesc* v);
void suffixedexp(LexState* ls, expdesc* v);
void expr(LexState* ls, expdesc* v);
