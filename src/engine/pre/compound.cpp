// `!=` and the compound assignments. A line is rewritten in passes until a
// pass changes nothing; each pass turns the first `!=` outside strings into
// `~=` and rewrites one compound assignment: the first `+=`, else the first
// `-=`, then `*=`, `/=`, `%=`. One at the very start of the line stops all
// compound rewriting of that line.
//
//   lhs op= expr tail   ->   lhs = lhs op (expr) tail
#include <algorithm>
#include <cstdlib>

#include "engine/pre/pre_line.h"
#include "engine/token/token.h"

namespace {

bool in_lhs_set(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
           c == '[' || c == ']';
}

// Start of the left-hand side ending at q (included): moving left, a byte
// belongs while a bracket is open or it is a name byte, '.', '[' or ']';
// each ']' opens a bracket and each '[' closes one.
size_t lhs_start(const std::string& t, size_t q)
{
    int open = 0;
    size_t i = q;
    for (;;) {
        char c = t[i];
        if (c == ']') ++open;
        if (c == '[') --open;
        if (i == 0) return 0;
        char prev = t[i - 1];
        if (!(open > 0 || in_lhs_set(prev))) return i;
        --i;
    }
}

bool is_operand_joiner(int k)
{
    switch (k) {
    case '#': case '%': case '*': case '+': case '-': case '.': case '/': case ':': case '^':
        return true;
    }
    return false;
}

// End of the expression that starts at `from`: where the tail begins.
size_t expression_end(const std::string& t, size_t from)
{
    enum { expecting, after } state = expecting;
    int depth = 0;
    token_scanner sc;
    const char* base = t.c_str();
    token_scanner_start(&sc, base);
    sc.api_names = false;
    for (const char* p = base + from;;) {
        const char* start = p;
        p = token_scan(&sc, p);
        int k = sc.tok;
        if (k == TK_EOF || k == TK_NEWLINE) return t.size();
        if (depth > 0) {
            if (k == '(' || k == '[') ++depth;
            if ((k == ')' || k == ']') && --depth == 0) state = after;
        } else if (k == '(' || k == '[') {
            depth = 1;
        } else if (is_operand_joiner(k)) {
            state = expecting;
        } else if (k == ')') {
            return size_t(start - base) + 1;  // a `)` right after the last token stays in
        } else if (state == after) {
            return size_t(start - base);  // the blanks before the token go to the tail
        } else {
            state = after;
        }
    }
}

// Rewrites the compound assignment at p (p > 0) and returns q, the last
// byte kept as it was; npos when the result would not fit the line buffer.
size_t rewrite_compound(pre_line* l, size_t p)
{
    const std::string& t = l->text;
    size_t q = p - 1;
    while (q > 0 && t[q] == ' ') --q;
    size_t ls = lhs_start(t, q);
    size_t e = expression_end(t, p + 2);
    size_t lhs_len = q + 1 - ls;
    // The bytes up to q stay; those from e on (the tail) follow the new middle.
    std::string mid;
    mid.reserve(3 + lhs_len + 4 + (e - p - 2) + 2);
    mid += " = ";
    mid.append(t, ls, lhs_len);
    mid += ' ';
    mid += t[p];
    mid += " (";
    mid.append(t, p + 2, e - p - 2);
    mid += ") ";
    if (t.size() - (e - q - 1) + mid.size() > PRE_LINE_MAX) return std::string::npos;
    pre_splice(l, q + 1, e - q - 1, mid);
    return q;
}

constexpr std::string_view k_compound_order[] = {"+=", "-=", "*=", "/=", "%="};

}  // namespace

// Search cursors make the passes over a long line cheap: no occurrence of
// a pattern outside strings starts before its cursor. A rewrite keeps the
// bytes (and their mask) up to q and puts a space at q + 1, so after it
// every cursor goes back to at most q + 1.
void pre_rewrite_operators(pre_line* l)
{
    constexpr size_t npos = std::string::npos;
    if (l->text.find('=') == npos) return;  // every pattern holds '='
    size_t ne_from = 0;
    size_t op_from[5] = {};
    bool compounds = true;
    for (;;) {
        bool changed = false;
        // Turning `!=` into `~=` keeps every token's class and extent, so
        // the string mask stays valid without a rebuild.
        constexpr std::string_view ne_op = "!=";
        size_t ne = pre_find(*l, ne_op, ne_from);
        if (pre_self_check(*l) && ne != pre_find(*l, ne_op)) abort();
        ne_from = ne == npos ? l->text.size() : ne + 1;
        if (ne != npos) {
            l->text[ne] = '~';
            changed = true;
        }
        if (compounds) {
            size_t p = npos;
            for (int i = 0; i < 5 && p == npos; ++i) {
                p = pre_find(*l, k_compound_order[i], op_from[i]);
                if (pre_self_check(*l) && p != pre_find(*l, k_compound_order[i])) abort();
                op_from[i] = p == npos ? l->text.size() : p;
            }
            if (p == 0) {
                compounds = false;
            } else if (p != npos) {
                size_t q = rewrite_compound(l, p);
                if (q == npos) {
                    compounds = false;  // would not fit: left as written
                } else {
                    changed = true;
                    ne_from = std::min(ne_from, q + 1);
                    for (size_t& c : op_from) c = std::min(c, q + 1);
                }
            }
        }
        if (!changed) return;
    }
}
