// The two line-shape shorthands: a line starting with `?` prints, and
// `if (cond) stmt` on one line gains its `then` and `end`.
#include <cstring>

#include "engine/pre/pre_line.h"
#include "engine/token/token.h"

namespace {
bool is_space_tab(char c) { return c == ' ' || c == '\t'; }
bool is_alpha_(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

int token_at(const std::string& text, size_t i)
{
    token_scanner sc;
    token_scanner_start(&sc, text.c_str());
    token_scan(&sc, text.c_str() + i);
    return sc.tok;
}
}  // namespace

// `?expr` -> `print(expr)`; true for every line whose first non-blank byte
// is `?`, even when the wrapped line would not fit.
bool pre_print_shorthand(pre_line* l)
{
    size_t i = l->text.find_first_not_of(" \t");
    if (i == std::string::npos || l->text[i] != '?') return false;
    if (l->text.size() - i - 1 + 7 > PRE_LINE_MAX) return true;
    l->text = "print(" + l->text.substr(i + 1) + ")";
    pre_build_mask(l);
    return true;
}

// `if (cond) stmt` -> `if (cond) then  stmt end `. Only the first `if(`
// (else the first `if `) outside strings is looked at, and nothing is done
// when `then` appears anywhere outside strings.
void pre_if_shorthand(pre_line* l)
{
    const std::string& t = l->text;
    size_t f = pre_find(*l, "if(");
    if (f == std::string::npos) f = pre_find(*l, "if ");
    if (f == std::string::npos || pre_find(*l, "then") != std::string::npos) return;
    if (f > 0 && !is_space_tab(t[f - 1])) return;
    size_t i = f + 2;
    while (i < t.size() && is_space_tab(t[i])) ++i;
    if (i >= t.size() || t[i] != '(') return;
    // The matching `)`, counting parentheses only (strings included).
    int depth = 0;
    for (; i < t.size(); ++i) {
        if (t[i] == '\n') return;
        if (t[i] == '(') ++depth;
        if (t[i] == ')' && --depth == 0) break;
    }
    if (i >= t.size() || i + 1 == t.size()) return;
    size_t close = i;
    size_t j = close + 1;
    while (j < t.size() && is_space_tab(t[j])) ++j;
    if (j >= t.size() || !is_alpha_(t[j])) return;
    int k = token_at(t, j);
    if (k == TK_AND || k == TK_OR) return;
    if (t.size() + 11 > PRE_LINE_MAX) return;
    l->text = t.substr(0, close + 1) + " then " + t.substr(close + 1) + " end ";
    pre_build_mask(l);
}
