// One line of the preprocessor at work: its text, its string mask (one
// byte per text byte: 1 inside a string token or in the blanks directly
// before one, else 0) and the token boundaries the mask was built from.
// Invariants: mask.size() == text.size(); the text holds no zero byte;
// bounds lists, in order, every position where a token scan of the text
// starts (blanks included).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
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
    std::vector<uint32_t> bounds;
    bool has_comment = false;  // a comment token survived into the text
    std::vector<std::pair<size_t, size_t>> scratch;
};

void pre_build_mask(pre_line* l);
// Replaces the `len` bytes at `pos` (pos > 0) by `with`, and brings mask
// and bounds up to date by rescanning only around the change.
void pre_splice(pre_line* l, size_t pos, size_t len, std::string_view with);
// First occurrence of `what` at or after `from` whose bytes all lie
// outside strings; npos when there is none.
size_t pre_find(const pre_line& l, std::string_view what, size_t from = 0);

// Self-check for tests and fuzzing: when on, every incremental mask update
// and every cursor search on a line of at most PRE_SELF_CHECK_MAX bytes is
// compared with a from-scratch result, and a difference aborts the process.
// The comparison costs the whole line each time, and a line keeps growing
// by repeating the same rewrites, so checking every step of a long one
// would make the check quadratic without testing anything new.
constexpr size_t PRE_SELF_CHECK_MAX = 8192;
void pre_set_self_check(bool on);
bool pre_self_check(const pre_line& l);
void pre_check_mask(const pre_line* l);  // aborts unless mask and bounds are right

// The rewrites, in the order they apply to a line.
bool pre_print_shorthand(pre_line* l);  // true when the line was a `?` line
void pre_rewrite_operators(pre_line* l);
void pre_if_shorthand(pre_line* l);
