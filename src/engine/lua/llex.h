// Lexer interface. The parser sees one current token (ls->t) and may peek at
// one more (luaX_lookahead). Names may use the console glyph bytes 0x80..0x99.
// Token codes: single characters are their own byte value; everything else
// is numbered from FIRST_RESERVED, above any byte.
#pragma once
#include "lobject.h"
#include "lzio.h"

#define FIRST_RESERVED 257

// Reserved words first, in alphabetical order, then multi-character symbols
// and token classes. luaX_tokens lists the spellings in this same order.
enum RESERVED {
    TK_AND = FIRST_RESERVED, TK_BREAK, TK_DO, TK_ELSE, TK_ELSEIF, TK_END, TK_FALSE, TK_FOR, TK_FUNCTION,
    TK_GOTO, TK_IF, TK_IN, TK_LOCAL, TK_NIL, TK_NOT, TK_OR, TK_REPEAT, TK_RETURN, TK_THEN, TK_TRUE,
    TK_UNTIL, TK_WHILE,
    TK_CONCAT, TK_DOTS, TK_EQ, TK_GE, TK_LE, TK_NE, TK_DBCOLON, TK_EOS, TK_NUMBER, TK_NAME, TK_STRING
};
#define NUM_RESERVED (cast(int, TK_WHILE - FIRST_RESERVED + 1))

union SemInfo {
    lua_Number r;
    TString* ts;
};

struct Token {
    int token;
    SemInfo seminfo;
};

struct FuncState;
struct Dyndata;

struct LexState {
    int current;      // next unread character, or EOZ
    int linenumber;   // line of 'current'
    int lastline;     // line of the token just consumed; used for lineinfo
    Token t;          // the token under examination
    Token lookahead;  // peeked token, TK_EOS when none
    FuncState* fs;    // innermost function being compiled
    lua_State* L;
    ZIO* z;
    Mbuffer* buff;    // text of the token being read
    Dyndata* dyd;     // parser stacks shared across nested functions
    TString* source;  // chunk name, for messages and debug info
    TString* envn;    // the name "_ENV", interned once
};

void luaX_init(lua_State* L);
void luaX_setinput(lua_State* L, LexState* ls, ZIO* z, TString* source, int firstchar);
TString* luaX_newstring(LexState* ls, const char* str, size_t l);
void luaX_next(LexState* ls);
int luaX_lookahead(LexState* ls);
[[noreturn]] void luaX_syntaxerror(LexState* ls, const char* s);
const char* luaX_token2str(LexState* ls, int token);
// Maps a line of the whole chunk to (line within its tab, tab), the pair
// that messages print as "line %d (tab %d)".
int luaX_tabline(LexState* ls, int line, int* tab);
