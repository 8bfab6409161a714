// Lexical analyser. Character classes are those of the "C" locale, plus the
// glyph bytes 0x80..0x99, which count as letters; every other byte above
// 0x7f is a single-character token.
#include "llex.h"

#include <cstring>

#include "ldo.h"
#include "lparser.h"
#include "lstring.h"

namespace {
enum : lu_byte { C_ALPHA = 1, C_DIGIT = 2, C_PRINT = 4, C_SPACE = 8, C_XDIGIT = 16 };

struct ctype_table {
    lu_byte c[257];  // index c + 1, so that EOZ (-1) maps to 0
    constexpr ctype_table() : c{}
    {
        for (int i = 0; i < 256; i++) {
            lu_byte v = 0;
            if ((i >= 'a' && i <= 'z') || (i >= 'A' && i <= 'Z') || i == '_' || (i >= 0x80 && i <= 0x99)) v |= C_ALPHA;
            if (i >= '0' && i <= '9') v |= C_DIGIT | C_XDIGIT;
            if ((i >= 'a' && i <= 'f') || (i >= 'A' && i <= 'F')) v |= C_XDIGIT;
            if (i >= 0x20 && i < 0x7f) v |= C_PRINT;
            if (i == ' ' || (i >= '\t' && i <= '\r')) v |= C_SPACE;
            c[i + 1] = v;
        }
    }
};
constexpr ctype_table k_ctype;

inline bool lislalpha(int c) { return k_ctype.c[c + 1] & C_ALPHA; }
inline bool lislalnum(int c) { return k_ctype.c[c + 1] & (C_ALPHA | C_DIGIT); }
inline bool lisdigit(int c) { return k_ctype.c[c + 1] & C_DIGIT; }
inline bool lisspace(int c) { return k_ctype.c[c + 1] & C_SPACE; }
inline bool lisprint(int c) { return k_ctype.c[c + 1] & C_PRINT; }
inline bool lisxdigit(int c) { return k_ctype.c[c + 1] & C_XDIGIT; }
}  // namespace

#define next(ls) (ls->current = zgetc(ls->z))
#define currIsNewline(ls) (ls->current == '\n' || ls->current == '\r')

static const char* const luaX_tokens[] = {
    "and", "break", "do", "else", "elseif", "end", "false", "for", "function", "goto", "if", "in",
    "local", "nil", "not", "or", "repeat", "return", "then", "true", "until", "while",
    "..", "...", "==", ">=", "<=", "~=", "::", "<eof>", "<number>", "<name>", "<string>"};

#define save_and_next(ls) (save(ls, ls->current), next(ls))

[[noreturn]] static void lexerror(LexState* ls, const char* msg, int token);

static void save(LexState* ls, int c)
{
    Mbuffer* b = ls->buff;
    if (luaZ_bufflen(b) + 1 > luaZ_sizebuffer(b)) {
        if (luaZ_sizebuffer(b) >= MAX_SIZET / 2) lexerror(ls, "lexical element too long", 0);
        size_t newsize = luaZ_sizebuffer(b) * 2;
        luaZ_resizebuffer(ls->L, b, newsize);
    }
    b->buffer[luaZ_bufflen(b)++] = cast(char, c);
}

void luaX_init(lua_State* L)
{
    for (int i = 0; i < NUM_RESERVED; i++) {
        TString* ts = luaS_new(L, luaX_tokens[i]);
        ts->extra = cast_byte(i + 1);  // reserved word; never freed before the state
    }
}

const char* luaX_token2str(LexState* ls, int token)
{
    if (token < FIRST_RESERVED) {
        if (lisprint(token)) return luaO_pushfstring(ls->L, "'%c'", token);
        return luaO_pushfstring(ls->L, "char(%d)", luaO_fint(token));
    }
    const char* s = luaX_tokens[token - FIRST_RESERVED];
    if (token < TK_EOS) return luaO_pushfstring(ls->L, "'%s'", s);
    return s;
}

static const char* txtToken(LexState* ls, int token)
{
    switch (token) {
    case TK_NAME:
    case TK_STRING:
    case TK_NUMBER:
        save(ls, '\0');
        return luaO_pushfstring(ls->L, "'%s'", luaZ_buffer(ls->buff));
    default: return luaX_token2str(ls, token);
    }
}

static void lexerror(LexState* ls, const char* msg, int token)
{
    char buff[LUA_IDSIZE];
    luaO_chunkid(buff, getstr(ls->source), LUA_IDSIZE);
    msg = luaO_pushfstring(ls->L, "%s:%d: %s", buff, luaO_fint(ls->linenumber), msg);
    if (token) luaO_pushfstring(ls->L, "%s near %s", msg, txtToken(ls, token));
    luaD_throw(ls->L, LUA_ERRSYNTAX);
}

void luaX_syntaxerror(LexState* ls, const char* msg) { lexerror(ls, msg, ls->t.token); }

int luaX_tabline(LexState* ls, int line, int* tab) { return G(ls->L)->find_tab_line(line, tab); }

TString* luaX_newstring(LexState* ls, const char* str, size_t l) { return luaS_newlstr(ls->L, str, l); }

// Skips "\n", "\r", "\n\r" or "\r\n".
static void inclinenumber(LexState* ls)
{
    int old = ls->current;
    lua_assert(currIsNewline(ls));
    next(ls);
    if (currIsNewline(ls) && ls->current != old) next(ls);
    if (++ls->linenumber >= MAX_INT) luaX_syntaxerror(ls, "chunk has too many lines");
}

void luaX_setinput(lua_State* L, LexState* ls, ZIO* z, TString* source, int firstchar)
{
    ls->L = L;
    ls->current = firstchar;
    ls->lookahead.token = TK_EOS;
    ls->z = z;
    ls->fs = nullptr;
    ls->linenumber = 1;
    ls->lastline = 1;
    ls->source = source;
    ls->envn = luaS_new(L, LUA_ENV);
    luaZ_resizebuffer(ls->L, ls->buff, LUA_MINBUFFER);
}

static int check_next(LexState* ls, const char* set)
{
    if (ls->current == '\0' || ls->current == EOZ || !strchr(set, ls->current)) return 0;
    save_and_next(ls);
    return 1;
}

// Reads a numeral the way the standard lexer delimits it (digits,
// hexadecimal digits, '.', an exponent mark with optional sign) and
// converts it with the engine's text-to-number rules.
static void read_numeral(LexState* ls, SemInfo* seminfo)
{
    const char* expo = "Ee";
    int first = ls->current;
    lua_assert(lisdigit(ls->current));
    save_and_next(ls);
    if (first == '0' && check_next(ls, "Xx")) expo = "Pp";
    for (;;) {
        if (check_next(ls, expo)) check_next(ls, "+-");
        if (lisxdigit(ls->current) || ls->current == '.')
            save_and_next(ls);
        else
            break;
    }
    save(ls, '\0');
    if (!luaO_str2d(luaZ_buffer(ls->buff), luaZ_bufflen(ls->buff) - 1, &seminfo->r))
        lexerror(ls, "malformed number", TK_NUMBER);
}

// Skips a sequence '[=*[' or ']=*]'; returns the number of '=', or a
// negative value when the brackets do not match.
static int skip_sep(LexState* ls)
{
    int count = 0;
    int s = ls->current;
    lua_assert(s == '[' || s == ']');
    save_and_next(ls);
    while (ls->current == '=') {
        save_and_next(ls);
        count++;
    }
    return (ls->current == s) ? count : (-count) - 1;
}

static void read_long_string(LexState* ls, SemInfo* seminfo, int sep)
{
    save_and_next(ls);  // skip second '['
    if (currIsNewline(ls)) inclinenumber(ls);
    for (;;) {
        switch (ls->current) {
        case EOZ: lexerror(ls, seminfo ? "unfinished long string" : "unfinished long comment", TK_EOS);
        case ']':
            if (skip_sep(ls) == sep) {
                save_and_next(ls);  // skip second ']'
                goto endloop;
            }
            break;
        case '\n':
        case '\r':
            save(ls, '\n');
            inclinenumber(ls);
            if (!seminfo) luaZ_resetbuffer(ls->buff);
            break;
        default:
            if (seminfo)
                save_and_next(ls);
            else
                next(ls);
        }
    }
endloop:
    if (seminfo)
        seminfo->ts = luaX_newstring(ls, luaZ_buffer(ls->buff) + (2 + sep), luaZ_bufflen(ls->buff) - 2 * (2 + sep));
}

[[noreturn]] static void escerror(LexState* ls, int* c, int n, const char* msg)
{
    luaZ_resetbuffer(ls->buff);
    save(ls, '\\');
    for (int i = 0; i < n && c[i] != EOZ; i++) save(ls, c[i]);
    lexerror(ls, msg, TK_STRING);
}

static int readhexaesc(LexState* ls)
{
    int c[3];
    int r = 0;
    c[0] = 'x';
    for (int i = 1; i < 3; i++) {
        c[i] = next(ls);
        if (!lisxdigit(c[i])) escerror(ls, c, i + 1, "hexadecimal digit expected");
        r = (r << 4) + luaO_hexavalue(c[i]);
    }
    return r;
}

static int readdecesc(LexState* ls)
{
    int c[3];
    int r = 0;
    int i;
    for (i = 0; i < 3 && lisdigit(ls->current); i++) {
        c[i] = ls->current;
        r = 10 * r + c[i] - '0';
        next(ls);
    }
    if (r > UCHAR_MAX) escerror(ls, c, i, "decimal escape too large");
    return r;
}

static void read_string(LexState* ls, int del, SemInfo* seminfo)
{
    save_and_next(ls);  // keep delimiters for error messages
    while (ls->current != del) {
        switch (ls->current) {
        case EOZ: lexerror(ls, "unfinished string", TK_EOS);
        case '\n':
        case '\r': lexerror(ls, "unfinished string", TK_STRING);
        case '\\': {
            int c;
            save_and_next(ls);  // keep '\\' for error messages
            switch (ls->current) {
            case 'a': c = '\a'; goto read_save;
            case 'b': c = '\b'; goto read_save;
            case 'f': c = '\f'; goto read_save;
            case 'n': c = '\n'; goto read_save;
            case 'r': c = '\r'; goto read_save;
            case 't': c = '\t'; goto read_save;
            case 'v': c = '\v'; goto read_save;
            case 'x': c = readhexaesc(ls); goto read_save;
            case '\n':
            case '\r':
                inclinenumber(ls);
                c = '\n';
                goto only_save;
            case '\\':
            case '\"':
            case '\'': c = ls->current; goto read_save;
            case EOZ: goto no_save;  // the loop raises the error
            case 'z': {              // skip the following white space
                luaZ_buffremove(ls->buff, 1);
                next(ls);
                while (lisspace(ls->current)) {
                    if (currIsNewline(ls))
                        inclinenumber(ls);
                    else
                        next(ls);
                }
                goto no_save;
            }
            default: {
                if (!lisdigit(ls->current)) escerror(ls, &ls->current, 1, "invalid escape sequence");
                c = readdecesc(ls);
                goto only_save;
            }
            }
        read_save:
            next(ls);
        only_save:
            luaZ_buffremove(ls->buff, 1);  // remove '\\'
            save(ls, c);
        no_save:
            break;
        }
        default: save_and_next(ls);
        }
    }
    save_and_next(ls);  // skip delimiter
    seminfo->ts = luaX_newstring(ls, luaZ_buffer(ls->buff) + 1, luaZ_bufflen(ls->buff) - 2);
}

static int llex(LexState* ls, SemInfo* seminfo)
{
    luaZ_resetbuffer(ls->buff);
    for (;;) {
        switch (ls->current) {
        case '\n':
        case '\r': inclinenumber(ls); break;
        case ' ':
        case '\f':
        case '\t':
        case '\v': next(ls); break;
        case '-': {
            next(ls);
            if (ls->current != '-') return '-';
            next(ls);  // a comment
            if (ls->current == '[') {
                int sep = skip_sep(ls);
                luaZ_resetbuffer(ls->buff);
                if (sep >= 0) {
                    read_long_string(ls, nullptr, sep);
                    luaZ_resetbuffer(ls->buff);
                    break;
                }
            }
            while (!currIsNewline(ls) && ls->current != EOZ) next(ls);
            break;
        }
        case '[': {
            int sep = skip_sep(ls);
            if (sep >= 0) {
                read_long_string(ls, seminfo, sep);
                return TK_STRING;
            }
            if (sep == -1) return '[';
            lexerror(ls, "invalid long string delimiter", TK_STRING);
        }
        case '=':
            next(ls);
            if (ls->current != '=') return '=';
            next(ls);
            return TK_EQ;
        case '<':
            next(ls);
            if (ls->current != '=') return '<';
            next(ls);
            return TK_LE;
        case '>':
            next(ls);
            if (ls->current != '=') return '>';
            next(ls);
            return TK_GE;
        case '~':
            next(ls);
            if (ls->current != '=') return '~';
            next(ls);
            return TK_NE;
        case ':':
            next(ls);
            if (ls->current != ':') return ':';
            next(ls);
            return TK_DBCOLON;
        case '"':
        case '\'': read_string(ls, ls->current, seminfo); return TK_STRING;
        case '.':
            save_and_next(ls);
            if (check_next(ls, ".")) {
                if (check_next(ls, "."))
                    return TK_DOTS;
                return TK_CONCAT;
            }
            if (!lisdigit(ls->current)) return '.';
            read_numeral(ls, seminfo);
            return TK_NUMBER;
        case '0': case '1': case '2': case '3': case '4':
        case '5': case '6': case '7': case '8': case '9':
            read_numeral(ls, seminfo);
            return TK_NUMBER;
        case EOZ: return TK_EOS;
        default: {
            if (lislalpha(ls->current)) {
                do {
                    save_and_next(ls);
                } while (lislalnum(ls->current));
                TString* ts = luaX_newstring(ls, luaZ_buffer(ls->buff), luaZ_bufflen(ls->buff));
                seminfo->ts = ts;
                if (isreserved(ts)) return ts->extra - 1 + FIRST_RESERVED;
                return TK_NAME;
            }
            int c = ls->current;  // single-char tokens (+ - / ...)
            next(ls);
            return c;
        }
        }
    }
}

void luaX_next(LexState* ls)
{
    ls->lastline = ls->linenumber;
    if (ls->lookahead.token != TK_EOS) {
        ls->t = ls->lookahead;
        ls->lookahead.token = TK_EOS;
    } else
        ls->t.token = llex(ls, &ls->t.seminfo);
}

int luaX_lookahead(LexState* ls)
{
    lua_assert(ls->lookahead.token == TK_EOS);
    ls->lookahead.token = llex(ls, &ls->lookahead.seminfo);
    return ls->lookahead.token;
}
