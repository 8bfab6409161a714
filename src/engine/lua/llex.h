// Lexical analyser: turns the chunk text into tokens, one token of
// lookahead. Names may contain the console's glyph bytes 0x80..0x99.
#pragma once
#include "lobject.h"
#include "lzio.h"

#define FIRST_RESERVED 257

// Terminal symbols denoted by reserved words, then the other multi-byte
// tokens; the order matches luaX_tokens.
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
    int current;      // current character
    int linenumber;   // input line counter
    int lastline;     // line of last token consumed
    Token t;          // current token
    Token lookahead;  // look ahead token
    FuncState* fs;    // current function (parser)
    lua_State* L;
    ZIO* z;
    Mbuffer* buff;    // buffer for tokens
    Dyndata* dyd;     // dynamic structures used by the parser
    TString* source;  // current source name
    TString* envn;    // environment variable name
};

void luaX_init(lua_State* L);
void luaX_setinput(lua_State* L, LexState* ls, ZIO* z, TString* source, int firstchar);
TString* luaX_newstring(LexState* ls, const char* str, size_t l);
void luaX_next(LexState* ls);
int luaX_lookahead(LexState* ls);
[[noreturn]] void luaX_syntaxerror(LexState* ls, const char* s);
const char* luaX_token2str(LexState* ls, int token);
// "line %d (tab %d)" arguments for messages: chunk line mapped to its tab.
int luaX_tabline(LexState* ls, int line, int* tab);
