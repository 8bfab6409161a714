// The cartridge tokenizer: a small scanner of its own, separate from the
// engine's lexer, that measures program size in tokens and lets the source
// preprocessor cut a program into lines, drop comments and see strings. It
// reads the dialect as written (before preprocessing): `!=`, the compound
// assignments and `//` comments are tokens here.
//
// Texts are zero-terminated; the zero byte is the end token, and no scan
// ever reads past it. A one-byte symbol's class is the byte itself (below
// 256); every other class is one of the TK_ values (256 and above).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Reserved words: each its own class, except the three literals, which
// share TK_LITERAL. One table generates the classes and the word lookup.
#define ORBO_TOKEN_WORDS(X)       \
    X(TK_FUNCTION, "function")    \
    X(TK_END, "end")              \
    X(TK_FOR, "for")              \
    X(TK_IF, "if")                \
    X(TK_THEN, "then")            \
    X(TK_ELSE, "else")            \
    X(TK_ELSEIF, "elseif")        \
    X(TK_WHILE, "while")          \
    X(TK_DO, "do")                \
    X(TK_IN, "in")                \
    X(TK_LOCAL, "local")          \
    X(TK_RETURN, "return")        \
    X(TK_REPEAT, "repeat")        \
    X(TK_UNTIL, "until")          \
    X(TK_GOTO, "goto")            \
    X(TK_BREAK, "break")          \
    X(TK_NOT, "not")              \
    X(TK_AND, "and")              \
    X(TK_OR, "or")                \
    X(TK_LITERAL, "true")         \
    X(TK_LITERAL, "false")        \
    X(TK_LITERAL, "nil")

enum token_class : int {
    TK_EOF = 256,  // the zero byte that ends the text
    TK_NEWLINE,    // one line feed
    TK_COMMENT,    // --..., --[[...]], //...
    TK_NAME,
    TK_API_NAME,   // a name of the console's API
    TK_NUMBER,
    TK_STRING,     // quoted or [[long]]; the token text includes the quotes
    TK_LE,         // <=
    TK_GE,         // >=
    TK_EQ,         // ==
    TK_NE,         // ~=  !=  <>
    TK_COMPOUND,   // +=  -=  *=  /=  %=
    TK_CONCAT,     // ..
    TK_FUNCTION, TK_END, TK_FOR, TK_IF, TK_THEN, TK_ELSE, TK_ELSEIF, TK_WHILE,
    TK_DO, TK_IN, TK_LOCAL, TK_RETURN, TK_REPEAT, TK_UNTIL, TK_GOTO, TK_BREAK,
    TK_NOT, TK_AND, TK_OR, TK_LITERAL,
};

// One scan of one text. The scanner keeps the class and text of the last
// token and, for block comments and long strings, a bracket index of the
// text built the first time a search for a closing "]]" fails, so that many
// unclosed openers cost linear time, not quadratic. The text must not change
// while a scanner is in use on it.
struct token_scanner {
    const char* begin = nullptr;  // start of the text
    const char* end = nullptr;    // its zero byte, once known
    int tok = TK_EOF;             // class of the last token
    const char* ident = nullptr;  // last token: its text (no blanks before it)
    size_t ident_len = 0;
    // Bracket index: offsets of the "[[" and "]]" pairs met walking the
    // text from its start, and for each opener the pair that closes it.
    bool indexed = false;
    std::vector<size_t> pair_at;
    std::vector<int> pair_match;  // index of the matching "]]", or -1
};

void token_scanner_start(token_scanner* s, const char* text);
// Scans one token at p (blanks first); returns the position after it, or
// the position of the zero byte for the end token.
const char* token_scan(token_scanner* s, const char* p);

// The process-wide tokenizer (not reentrant), as the rest of the console
// uses it. The text given to get_first_token must stay unchanged while it
// is scanned with get_next_token.
const char* get_first_token(const char* text);
const char* get_next_token(const char* position);
int get_token();
std::string_view get_token_text();

// Program size in tokens. Free: end, newlines, comments, `local`, `end`
// and the symbols ; ) } ] . , : — everything else counts one.
int count_tokens(const char* text);
bool token_is_counted(int tok);

// The API-name list. It starts as the listed names of the API table; the
// registry empties it and adds each name it registers. It has no fixed
// capacity and keeps names whole.
void init_api_function_names();
void add_api_function_name(const char* name);
int api_function_names();
const std::string& api_function_name(int i);
bool is_api_function_name(std::string_view name);
