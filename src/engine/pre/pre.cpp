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

// Collects one line starting at p into l; returns the position after it
// and adds to *feeds the line feeds of the left-out text.
const char* collect_line(token_scanner* sc, const char* p, pre_line* l, size_t* feeds)
{
    l->text.clear();
    for (;;) {
        const char* start = p;
        p = token_scan(sc, p);
        int k = sc->tok;
        if (k == TK_COMMENT || k == TK_NEWLINE || k == TK_EOF) {
            *feeds += size_t(std::count(start, p, '\n'));
            if (k == TK_COMMENT) continue;
            return p;
        }
        l->text.append(start, p);
    }
}

}  // namespace

void orbo_preprocess(const char* text, std::string& output)
{
    output.clear();
    token_scanner sc;
    token_scanner_start(&sc, text);
    pre_line line;
    const char* p = text;
    for (int n = 0; *p && n < PRE_MAX_LINES; ++n) {
        size_t feeds = 0;
        p = collect_line(&sc, p, &line, &feeds);
        pre_build_mask(&line);
        if (!pre_print_shorthand(&line)) pre_rewrite_operators(&line);
        pre_if_shorthand(&line);
        output += line.text;
        output.append(feeds, '\n');
    }
}
