// The string mask of a line, built by tokenizing the line text, and kept
// up to date cheaply across the many rewrites of one line.
//
// Why a partial rescan is exact: the tokenizer has no memory but the scan
// position, and a token whose last byte is e - 1 reads no byte after e
// (block comments aside, see below). So the tokens before a token that
// starts at an unchanged byte k are the same in the new text, and once a
// rescan of the new text starts a token where the old text started one
// inside the unchanged tail, every later token is the same too. An unclosed block comment looks at the whole
// rest of the text, so a line holding any comment is always rebuilt whole.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/pre/pre_line.h"
#include "engine/token/token.h"

namespace {

void build_whole(pre_line* l)
{
    l->mask.assign(l->text.size(), 0);
    l->bounds.clear();
    l->has_comment = false;
    token_scanner sc;
    const char* base = l->text.c_str();
    token_scanner_start(&sc, base);
    sc.api_names = false;
    for (const char* p = base; *p;) {
        size_t at = size_t(p - base);
        l->bounds.push_back(uint32_t(at));
        p = token_scan(&sc, p);
        if (sc.tok == TK_COMMENT) l->has_comment = true;
        if (sc.tok == TK_STRING) memset(l->mask.data() + at, 1, size_t(p - base) - at);
    }
}

bool g_self_check = false;

}  // namespace

void pre_check_mask(const pre_line* l)
{
    pre_line whole;
    whole.text = l->text;
    build_whole(&whole);
    if (whole.mask != l->mask || whole.bounds != l->bounds || whole.has_comment != l->has_comment) abort();
}

void pre_set_self_check(bool on) { g_self_check = on; }
bool pre_self_check(const pre_line& l) { return g_self_check && l.text.size() <= PRE_SELF_CHECK_MAX; }

void pre_build_mask(pre_line* l) { build_whole(l); }

void pre_splice(pre_line* l, size_t pos, size_t len, std::string_view with)
{
    size_t tail = pos + with.size();  // where the unchanged tail now starts
    l->text.replace(pos, len, with);
    if (l->has_comment || l->bounds.empty()) {
        build_whole(l);
        return;
    }
    // Shift the tail's mask and bounds to their new places.
    std::vector<unsigned char>& mask = l->mask;
    std::vector<uint32_t>& bounds = l->bounds;
    if (with.size() > len)
        mask.insert(mask.begin() + ptrdiff_t(pos), with.size() - len, 0);
    else
        mask.erase(mask.begin() + ptrdiff_t(pos), mask.begin() + ptrdiff_t(pos + len - with.size()));
    auto first_tail = std::lower_bound(bounds.begin(), bounds.end(), uint32_t(pos + len));
    for (auto it = first_tail; it != bounds.end(); ++it) *it = uint32_t(*it - len + with.size());
    // Restart at the last token that starts before the change, and rescan
    // until a token starts where a shifted tail token starts.
    auto restart = std::upper_bound(bounds.begin(), first_tail, uint32_t(pos - 1));
    if (restart != bounds.begin()) --restart;
    std::vector<uint32_t> fresh;
    token_scanner sc;
    const char* base = l->text.c_str();
    token_scanner_start(&sc, base);
    sc.api_names = false;
    auto sync = bounds.end();
    for (const char* p = base + *restart; *p;) {
        size_t at = size_t(p - base);
        if (at >= tail) {
            auto it = std::lower_bound(first_tail, bounds.end(), uint32_t(at));
            if (it != bounds.end() && *it == at) {
                sync = it;
                break;
            }
        }
        fresh.push_back(uint32_t(at));
        p = token_scan(&sc, p);
        if (sc.tok == TK_COMMENT) {
            build_whole(l);
            return;
        }
        memset(mask.data() + at, sc.tok == TK_STRING, size_t(p - base) - at);
    }
    auto at = bounds.erase(restart, sync);
    bounds.insert(at, fresh.begin(), fresh.end());
    if (pre_self_check(*l)) pre_check_mask(l);
}
