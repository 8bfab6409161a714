// One line of the preprocessor at work: its text and its string mask (one
// byte per text byte: 1 inside a string token or in the blanks directly
// before one, else 0). Invariant: mask.size() == text.size(), and the text
// holds no zero byte.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The line buffer holds 131072 bytes with its terminating zero. A rewrite
// whose result would be longer is not made (the shorthand stays as written
// and the compiler reports it), so no line grows past this and the repeated
// passes over a line stay bounded.
constexpr size_t PRE_LINE_MAX = 131071;
constexpr int PRE_MAX_LINES = 65536;

struct pre_line {
    std::string text;
    std::vector<unsigned char> mask;
};

void pre_build_mask(pre_line* l);
// First occurrence of `what` at or after `from` whose bytes all lie
// outside strings; npos when there is none.
size_t pre_find(const pre_line& l, std::string_view what, size_t from = 0);

// The rewrites, in the order they apply to a line.
bool pre_print_shorthand(pre_line* l);  // true when the line was a `?` line
void pre_rewrite_operators(pre_line* l);
void pre_if_shorthand(pre_line* l);
