// Fuzzes the tokenizer: every scan makes progress, stays inside the text
// and ends on its zero byte; the process-wide and reentrant scanners agree;
// the count equals a recount from the token classes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/token/token.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(strlen(text.c_str()));
    const char* begin = text.c_str();
    const char* end = begin + text.size();

    token_scanner s;
    token_scanner_start(&s, begin);
    int counted = 0;
    const char* p = begin;
    const char* g = get_first_token(begin);
    for (;;) {
        const char* next = token_scan(&s, p);
        if (next < p || next > end) abort();
        if (s.ident < p || s.ident + s.ident_len != next) abort();
        if (p == begin && (g != next || get_token() != s.tok)) abort();
        if (p != begin) {
            g = get_next_token(p);
            if (g != next || get_token() != s.tok) abort();
        }
        if (s.tok == TK_EOF) {
            if (next != end) abort();
            break;
        }
        if (next == p) abort();
        if (token_is_counted(s.tok)) ++counted;
        p = next;
    }
    if (count_tokens(begin) != counted) abort();
    return 0;
}
