// `!=` and the compound assignments. A line is rewritten in passes until a
// pass changes nothing; each pass turns the first `!=` outside strings into
// `~=` and rewrites one compound assignment: the first `+=`, else the first
// `-=`, then `*=`, `/=`, `%=`. One at the very start of the line stops all
// compound rewriting of that line.
//
//   lhs op= expr tail   ->   lhs = lhs op (expr) tail
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

// Rewrites the compound assignment at p (p > 0). False when the result
// would not fit the line buffer.
bool rewrite_compound(pre_line* l, size_t p)
{
    const std::string& t = l->text;
    size_t q = p - 1;
    while (q > 0 && t[q] == ' ') --q;
    size_t ls = lhs_start(t, q);
    size_t e = expression_end(t, p + 2);
    size_t lhs_len = q + 1 - ls;
    size_t size = (q + 1) + 3 + lhs_len + 1 + 1 + 2 + (e - p - 2) + 2 + (t.size() - e);
    if (size > PRE_LINE_MAX) return false;
    std::string out;
    out.reserve(size);
    out.append(t, 0, q + 1);
    out += " = ";
    out.append(t, ls, lhs_len);
    out += ' ';
    out += t[p];
    out += " (";
    out.append(t, p + 2, e - p - 2);
    out += ") ";
    out.append(t, e, std::string::npos);
    l->text = std::move(out);
    pre_build_mask(l);
    return true;
}

const char* const k_compound_order[] = {"+=", "-=", "*=", "/=", "%="};

}  // namespace

void pre_rewrite_operators(pre_line* l)
{
    bool compounds = true;
    for (;;) {
        bool changed = false;
        // Turning `!=` into `~=` keeps every token's class and extent, so
        // the string mask stays valid without a rebuild.
        size_t ne = pre_find(*l, "!=");
        if (ne != std::string::npos) {
            l->text[ne] = '~';
            changed = true;
        }
        if (compounds) {
            size_t p = std::string::npos;
            for (const char* op : k_compound_order)
                if ((p = pre_find(*l, op)) != std::string::npos) break;
            if (p == 0)
                compounds = false;
            else if (p != std::string::npos) {
                if (rewrite_compound(l, p))
                    changed = true;
                else
                    compounds = false;  // would not fit: left as written
            }
        }
        if (!changed) return;
    }
}
