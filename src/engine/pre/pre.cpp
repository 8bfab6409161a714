// The preprocessor's driver: cuts the text into lines with the tokenizer,
// drops comments, applies the rewrites and keeps the line count.
//
// A line runs from the scan position up to and including the first newline
// token (or the end). Its text is every token with the blanks before it,
// except comments and the newline, which are left out with their blanks;
// the line feeds they held (the newline's own, and those inside block
// comments) are written after the rewritten line. So code after a block
// comment spanning lines moves up to the comment's first line, and the
// total number of line feeds never changes.
#include "engine/pre/pre.h"

#include <algorithm>
#include <cstring>

#include "engine/pre/pre_line.h"
#include "engine/token/token.h"

size_t pre_find(const pre_line& l, std::string_view what, size_t from)
{
    for (size_t i = from;; ++i) {
        i = l.text.find(what, i);
        if (i == std::string::npos) return i;
        if (std::none_of(l.mask.begin() + i, l.mask.begin() + i + what.size(), [](unsigned char m) { return m; }))
            return i;
    }
}

namespace {

// Collects one line starting at p into l, with its string mask; returns
// the position after it and adds to *feeds the line feeds of the left-out
// text. The tokens scanned here are those of the line text itself unless a
// comment was cut out between two kept tokens; then the mask is rebuilt
// from the joined text.
const char* collect_line(token_scanner* sc, const char* p, pre_line* l, size_t* feeds)
{
    l->text.clear();
    l->mask.clear();
    l->bounds.clear();
    l->has_comment = false;
    bool gap = false, joined = false;
    std::vector<std::pair<size_t, size_t>>& strings = l->scratch;  // string tokens: offset, length
    strings.clear();
    for (;;) {
        const char* start = p;
        p = token_scan(sc, p);
        int k = sc->tok;
        if (k == TK_COMMENT || k == TK_NEWLINE || k == TK_EOF) {
            *feeds += size_t(std::count(start, p, '\n'));
            if (k == TK_COMMENT) {
                gap = !l->text.empty();
                continue;
            }
            if (joined) {
                pre_build_mask(l);
            } else {
                l->mask.assign(l->text.size(), 0);
                for (auto [at, n] : strings) memset(l->mask.data() + at, 1, n);
            }
            return p;
        }
        joined = joined || gap;
        if (k == TK_STRING) strings.emplace_back(l->text.size(), size_t(p - start));
        l->bounds.push_back(uint32_t(l->text.size()));
        l->text.append(start, p);
    }
}

}  // namespace

void orbo_preprocess(const char* text, std::string& output)
{
    output.clear();
    token_scanner sc;
    token_scanner_start(&sc, text);
    sc.api_names = false;
    pre_line line;
    const char* p = text;
    for (int n = 0; *p && n < PRE_MAX_LINES; ++n) {
        size_t feeds = 0;
        p = collect_line(&sc, p, &line, &feeds);
        if (pre_self_check(line)) pre_check_mask(&line);
        size_t inner = size_t(std::count(line.text.begin(), line.text.end(), '\n'));
        if (!pre_print_shorthand(&line)) pre_rewrite_operators(&line);
        pre_if_shorthand(&line);
        // A left-hand side holding a long string with line feeds is copied
        // with them; take as many feeds off the end of the line to keep
        // later line numbers right.
        size_t now = size_t(std::count(line.text.begin(), line.text.end(), '\n'));
        if (now > inner) feeds -= std::min(feeds, now - inner);
        output += line.text;
        output.append(feeds, '\n');
    }
}
