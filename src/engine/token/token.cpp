// The token scanner. Invariant: every read is at or before the zero byte
// of the text: a byte after position i is looked at only when byte i is
// known not to be zero.
#include "engine/token/token.h"

#include <algorithm>
#include <cstring>

namespace {

using u8 = unsigned char;

u8 at(const char* p, size_t i) { return u8(p[i]); }

bool is_blank(u8 c) { return c == 8 || c == 9 || c == 13 || c == 32; }
bool is_digit(u8 c) { return c >= '0' && c <= '9'; }
bool is_alpha(u8 c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_name_start(u8 c) { return is_alpha(c) || c == '_' || c >= 0x80; }
bool is_name_char(u8 c) { return is_name_start(c) || is_digit(c); }

const char* text_end(token_scanner* s)
{
    if (!s->end) s->end = s->begin + strlen(s->begin);
    return s->end;
}

// Walks from `from`, just after an opening "[[", with depth 1: each "[["
// raises the depth, each "]]" lowers it. Returns the position after the
// "]]" that brings it to zero, or null when the text ends first.
const char* walk_to_close(const char* from)
{
    int64_t depth = 1;
    for (const char* p = from; *p;) {
        if (p[0] == '[' && p[1] == '[') {
            ++depth;
            p += 2;
        } else if (p[0] == ']' && p[1] == ']') {
            p += 2;
            if (--depth == 0) return p;
        } else {
            ++p;
        }
    }
    return nullptr;
}

// The same walk done once over the whole text, pairing each "[[" with the
// "]]" that closes it. A scan that reaches an opener always lands on the
// pair boundaries of this walk (an opener follows "--" or starts a run of
// '['), so the answer for that opener is its match.
void build_index(token_scanner* s)
{
    s->indexed = true;
    std::vector<int> open;
    const char* e = text_end(s);
    for (const char* p = s->begin; p < e;) {
        if (p[0] == '[' && p[1] == '[') {
            open.push_back(int(s->pair_at.size()));
            s->pair_at.push_back(size_t(p - s->begin));
            s->pair_match.push_back(-1);
            p += 2;
        } else if (p[0] == ']' && p[1] == ']') {
            int here = int(s->pair_at.size());
            s->pair_at.push_back(size_t(p - s->begin));
            s->pair_match.push_back(-1);
            if (!open.empty()) {
                s->pair_match[size_t(open.back())] = here;
                open.pop_back();
            }
            p += 2;
        } else {
            ++p;
        }
    }
}

// Closing position for the "[[" at `opener`, or null when none closes it.
const char* find_close(token_scanner* s, const char* opener)
{
    if (!s->indexed) {
        const char* r = walk_to_close(opener + 2);
        if (r) return r;
        build_index(s);
        return nullptr;
    }
    size_t off = size_t(opener - s->begin);
    auto it = std::lower_bound(s->pair_at.begin(), s->pair_at.end(), off);
    if (it == s->pair_at.end() || *it != off) return walk_to_close(opener + 2);  // off the pair grid
    int m = s->pair_match[size_t(it - s->pair_at.begin())];
    return m < 0 ? nullptr : s->begin + s->pair_at[size_t(m)] + 2;
}

int word_class(const char* p, size_t n)
{
    switch (n) {
    case 2: case 3: case 4: case 5: case 6: case 8: break;
    default: return TK_NAME;
    }
#define ORBO_WORD(cls, word) \
    if (n == sizeof(word) - 1 && memcmp(p, word, n) == 0) return cls;
    ORBO_TOKEN_WORDS(ORBO_WORD)
#undef ORBO_WORD
    return TK_NAME;
}

int name_class(const char* p, size_t n)
{
    int c = word_class(p, n);
    if (c != TK_NAME) return c;
    std::string_view w(p, n);
    if (w == "foreach" || w == "all" || w == "add" || w == "del" || w == "menuitem") return TK_API_NAME;
    return is_api_function_name(w) ? TK_API_NAME : TK_NAME;
}

// Length of the numeral at p (p[0] is a digit). The second byte picks the
// form; each byte is then accepted by its index in the number.
size_t number_length(const char* p)
{
    u8 second = at(p, 1);
    size_t i = 0;
    for (;; ++i) {
        u8 c = at(p, i);
        bool ok;
        if (second == 'b')
            ok = i == 0   ? (c == '0' || c == '1')
                 : i == 1 ? (c == 'b' || c == 'x' || c == '.' || c == '0' || c == '1')
                          : (c == '.' || c == '0' || c == '1');
        else if (second == 'x')
            ok = is_digit(c) || c == '.' || (c >= 'a' && c <= 'f') || (i == 1 && (c == 'x' || c == 'b'));
        else
            ok = is_digit(c) || (i == 1 && (c == 'b' || c == 'x' || c == '.')) || (i > 1 && c == '.');
        if (!ok) break;
    }
    // A digit 2-9 before 'b' fits no form: it is a one-digit number and the
    // 'b' starts the next token, so the scan always moves on.
    return i == 0 ? 1 : i;
}

// Length of the quoted string at p, quotes included. It ends at the next
// equal quote not directly after a backslash; unterminated, it stops
// before the line feed or at the end.
size_t quoted_length(const char* p)
{
    u8 q = at(p, 0);
    for (size_t i = 1;; ++i) {
        u8 c = at(p, i);
        if (c == 0 || c == '\n') return i;
        if (c == q && at(p, i - 1) != '\\') return i + 1;
    }
}

size_t line_rest_length(const char* p)
{
    size_t i = 0;
    while (p[i] && p[i] != '\n') ++i;
    return i;
}

// Two-byte operators and their classes; 0 when the pair is none.
int pair_class(u8 a, u8 b)
{
    if (b == '=') {
        switch (a) {
        case '<': return TK_LE;
        case '>': return TK_GE;
        case '=': return TK_EQ;
        case '~': case '!': return TK_NE;
        case '+': case '-': case '*': case '/': case '%': return TK_COMPOUND;
        }
        return 0;
    }
    if (a == '<' && b == '>') return TK_NE;
    if (a == '.' && b == '.') return TK_CONCAT;
    return 0;
}

token_scanner g_scanner;

}  // namespace

void token_scanner_start(token_scanner* s, const char* text)
{
    s->begin = text;
    s->end = nullptr;
    s->tok = TK_EOF;
    s->ident = text;
    s->ident_len = 0;
    s->indexed = false;
    s->pair_at.clear();
    s->pair_match.clear();
}

const char* token_scan(token_scanner* s, const char* p)
{
    while (is_blank(at(p, 0))) ++p;
    u8 c = at(p, 0);
    size_t n;
    int cls;
    if (c == 0) {
        cls = TK_EOF;
        n = 0;
    } else if (c == '-' && p[1] == '-') {
        cls = TK_COMMENT;
        const char* close = (p[2] == '[' && p[3] == '[') ? find_close(s, p + 2) : nullptr;
        n = close ? size_t(close - p) : 2 + line_rest_length(p + 2);
    } else if (is_name_start(c)) {
        n = 1;
        while (is_name_char(at(p, n))) ++n;
        cls = name_class(p, n);
    } else if (is_digit(c)) {
        cls = TK_NUMBER;
        n = number_length(p);
    } else if (c == '"' || c == '\'') {
        cls = TK_STRING;
        n = quoted_length(p);
    } else if (c == '[' && p[1] == '[') {
        cls = TK_STRING;
        const char* close = find_close(s, p);
        n = close ? size_t(close - p) : strlen(p);  // unclosed: to the end
    } else if (c == '\n') {
        cls = TK_NEWLINE;
        n = 1;
    } else if (c == '/' && p[1] == '/') {
        cls = TK_COMMENT;
        n = 2 + line_rest_length(p + 2);
    } else if ((cls = pair_class(c, at(p, 1))) != 0) {
        n = 2;
    } else {
        cls = c;
        n = 1;
    }
    s->tok = cls;
    s->ident = p;
    s->ident_len = n;
    return p + n;
}

const char* get_first_token(const char* text)
{
    token_scanner_start(&g_scanner, text);
    text_end(&g_scanner);  // known, so that get_next_token can tell a new text
    return token_scan(&g_scanner, text);
}

const char* get_next_token(const char* position)
{
    // A position outside the text being scanned starts a scan of a new text.
    auto lt = std::less<const char*>();
    if (!g_scanner.begin || lt(position, g_scanner.begin) || lt(g_scanner.end, position)) {
        token_scanner_start(&g_scanner, position);
        text_end(&g_scanner);
    }
    return token_scan(&g_scanner, position);
}

int get_token() { return g_scanner.tok; }

std::string_view get_token_text() { return {g_scanner.ident, g_scanner.ident_len}; }

bool token_is_counted(int tok)
{
    switch (tok) {
    case TK_EOF: case TK_NEWLINE: case TK_COMMENT: case TK_LOCAL: case TK_END:
    case ';': case ')': case '}': case ']': case '.': case ',': case ':':
        return false;
    }
    return true;
}

int count_tokens(const char* text)
{
    token_scanner s;
    token_scanner_start(&s, text);
    int count = 0;
    for (const char* p = text; *p;) {
        p = token_scan(&s, p);
        if (token_is_counted(s.tok)) ++count;
    }
    return count;
}
