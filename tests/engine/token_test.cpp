#include "engine/token/token.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/api_list.h"

namespace {

struct tok {
    int cls;
    std::string text;
};

// Every token of `src` with its class and text (blanks excluded), up to
// and including the end token.
std::vector<tok> scan_all(const std::string& src)
{
    std::vector<tok> out;
    token_scanner s;
    token_scanner_start(&s, src.c_str());
    const char* p = src.c_str();
    for (;;) {
        const char* next = token_scan(&s, p);
        out.push_back({s.tok, std::string(s.ident, s.ident_len)});
        if (s.tok == TK_EOF) {
            EXPECT_EQ(next, src.c_str() + src.size());
            return out;
        }
        EXPECT_GT(next, p) << "scan made no progress in: " << src;
        if (next <= p) return out;
        p = next;
    }
}

int first_class(const std::string& src) { return scan_all(src).front().cls; }

std::vector<int> classes(const std::string& src)
{
    std::vector<int> c;
    for (const tok& t : scan_all(src)) c.push_back(t.cls);
    return c;
}

std::vector<std::string> texts(const std::string& src)
{
    std::vector<std::string> c;
    for (const tok& t : scan_all(src))
        if (t.cls != TK_EOF) c.push_back(t.text);
    return c;
}

}  // namespace

TEST(TokenClasses, WordsOperatorsAndSymbols)
{
    const std::pair<const char*, int> cases[] = {
        {"function", TK_FUNCTION}, {"end", TK_END},       {"for", TK_FOR},         {"if", TK_IF},
        {"then", TK_THEN},         {"else", TK_ELSE},     {"elseif", TK_ELSEIF},   {"while", TK_WHILE},
        {"do", TK_DO},             {"in", TK_IN},         {"local", TK_LOCAL},     {"return", TK_RETURN},
        {"repeat", TK_REPEAT},     {"until", TK_UNTIL},   {"goto", TK_GOTO},       {"break", TK_BREAK},
        {"not", TK_NOT},           {"and", TK_AND},       {"or", TK_OR},           {"true", TK_LITERAL},
        {"false", TK_LITERAL},     {"nil", TK_LITERAL},   {"x", TK_NAME},          {"End", TK_NAME},
        {"ends", TK_NAME},         {"_", TK_NAME},        {"<=", TK_LE},           {">=", TK_GE},
        {"==", TK_EQ},             {"~=", TK_NE},         {"!=", TK_NE},           {"<>", TK_NE},
        {"+=", TK_COMPOUND},       {"-=", TK_COMPOUND},   {"*=", TK_COMPOUND},     {"/=", TK_COMPOUND},
        {"%=", TK_COMPOUND},       {"..", TK_CONCAT},     {"\n", TK_NEWLINE},      {"", TK_EOF},
        {"~", '~'},                {"!", '!'},            {"^", '^'},              {"#", '#'},
        {"[", '['},                {"[x", '['},           {"=", '='},              {"<", '<'},
        {"\x01", 1},               {"\x7f", 0x7f},        {"-", '-'},              {"/", '/'},
    };
    for (auto& [src, cls] : cases) EXPECT_EQ(first_class(src), cls) << "'" << src << "'";

    // Backspace, tab, carriage return and space are skipped; line feed is a token.
    EXPECT_EQ(classes("\b\t\r x \r\n"), (std::vector<int>{TK_NAME, TK_NEWLINE, TK_EOF}));
    // `...` is `..` then `.`.
    EXPECT_EQ(classes("..."), (std::vector<int>{TK_CONCAT, '.', TK_EOF}));
    // The end token does not move the scan position.
    std::string s = "  ";
    token_scanner sc;
    token_scanner_start(&sc, s.c_str());
    const char* endpos = s.c_str() + 2;
    EXPECT_EQ(token_scan(&sc, s.c_str()), endpos);
    EXPECT_EQ(token_scan(&sc, endpos), endpos);
    EXPECT_EQ(sc.tok, TK_EOF);
}

TEST(TokenClasses, ApiNamesComeFromTheApiTable)
{
    const int listed = api_function_names();
    EXPECT_GT(listed, 100);
    EXPECT_EQ(api_function_name(listed), "");
    for (const char* n : {"pset", "spr", "mapdraw", "dir", "exit", "_update_buttons", "sub", "trace", "foreach",
                          "all", "add", "del", "menuitem", "cocreate", "print"})
        EXPECT_EQ(first_class(n), TK_API_NAME) << n;
    for (const char* n : {"t", "_set_paused", "count", "string", "psets", "Pset", "deli"})
        EXPECT_EQ(first_class(n), TK_NAME) << n;
    // An API name counts like any other name.
    EXPECT_EQ(count_tokens("pset(x,y)"), count_tokens("foo(x,y)"));

    // The registry may rebuild the list; names of any length and any number
    // of names are kept.
    init_api_function_names();
    EXPECT_EQ(api_function_names(), 0);
    EXPECT_EQ(first_class("pset"), TK_NAME);
    EXPECT_EQ(first_class("foreach"), TK_API_NAME);
    std::string long_name(200, 'q');
    add_api_function_name(long_name.c_str());
    for (int i = 0; i < 300; ++i) add_api_function_name(("fn" + std::to_string(i)).c_str());
    EXPECT_EQ(api_function_names(), 301);
    EXPECT_EQ(first_class(long_name), TK_API_NAME);
    EXPECT_EQ(first_class("fn299"), TK_API_NAME);
    init_api_function_names();
#define RESTORE(name, binding, in_list, layer) \
    if (in_list) add_api_function_name(#name);
    ORBO_API_GLOBALS(RESTORE)
#undef RESTORE
    EXPECT_EQ(api_function_names(), listed);
}

// How texts split into tokens: comments, strings, numbers and glyph names.
TEST(TokenClasses, TokenTexts)
{
    using v = std::vector<std::string>;
    const std::pair<const char*, v> cases[] = {
        {"a -- note\nb", {"a", "-- note", "\n", "b"}},
        {"a // note\nb", {"a", "// note", "\n", "b"}},
        {"--[[ x\ny ]]z", {"--[[ x\ny ]]", "z"}},
        // Nested double brackets: one comment up to the matching pair.
        {"--[[ a [[ b ]] c ]] d", {"--[[ a [[ b ]] c ]]", "d"}},
        // No closing pair, or one that never brings the depth back to zero:
        // only the rest of the line.
        {"--[[ open\nx", {"--[[ open", "\n", "x"}},
        {"--[[ [[ ]]\nx", {"--[[ [[ ]]", "\n", "x"}},
        // Long brackets with equals signs are not recognised.
        {"--[==[ x\ny", {"--[==[ x", "\n", "y"}},
        {"---[[x\ny]]", {"---[[x", "\n", "y", "]", "]"}},
        {"--[", {"--["}},
        {R"(x="a\"b" y)", {"x", "=", R"("a\"b")", "y"}},
        {"'it''s'", {"'it'", "'s'"}},
        {"\"a'b\"", {"\"a'b\""}},
        {R"("a\\" b)", {R"("a\\" b)"}},  // an escaped backslash still hides the quote
        // Unterminated: stops before the line feed, or at the end.
        {"\"abc\nd", {"\"abc", "\n", "d"}},
        {"'abc", {"'abc"}},
        {"\"", {"\""}},
        // Long strings nest and keep their line feeds; unclosed they run to the end.
        {"[[a\n[[b]]\n]]c", {"[[a\n[[b]]\n]]", "c"}},
        {"[[a\nb", {"[[a\nb"}},
        {"0b1012", {"0b101", "2"}},
        {"0x1f", {"0x1f"}},
        {"0x1F", {"0x1", "F"}},
        {"0xFF", {"0x", "FF"}},
        {"1e5", {"1", "e5"}},
        {"3.25 12", {"3.25", "12"}},
        {"1..2", {"1..2"}},
        {"0b1.1", {"0b1.1"}},
        {"1b01", {"1b01"}},
        {"1x2", {"1x2"}},
        {"0x.8", {"0x.8"}},
        // A digit 2-9 before 'b' fits no form: one digit, then the name.
        {"2b", {"2", "b"}},
        {"9b101", {"9", "b101"}},
        {"\x8b\x91 a\xff", {"\x8b\x91", "a\xff"}},
    };
    for (auto& [src, want] : cases) EXPECT_EQ(texts(src), want) << src;
    EXPECT_EQ(first_class("--["), TK_COMMENT);
    EXPECT_EQ(first_class("[[x]]"), TK_STRING);
    EXPECT_EQ(first_class("7"), TK_NUMBER);
    EXPECT_EQ(first_class("\x80"), TK_NAME);
}

TEST(TokenCount, WorkedValues)
{
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"local x = 1", 3}, {"x = {1, 2}", 5}, {"f(a.b)", 4}, {"a != b", 3}, {"a ~= b", 3}, {"a += 1", 3},
        {"a // b", 1}, {R"(s = "say \"hi\"")", 3}, {"s = \"open\nx", 4}, {"0b101 0x1f", 2}, {"0x1F", 2},
        {"--[[ a [[ b ]] c ]] x", 1}, {"--[[ open\nx y", 2}, {"x=5b", 4}, {"btn(\x8b)", 3},
        // The free ones: end, newline, comments, local, end, ; ) } ] . , :
        {"local end ; ) } ] . , : \n -- c\n", 0},
        // Everything else counts one.
        {"function if then else elseif while do in return repeat until goto break", 13},
        {"not and or true false nil .. <= >= == ~= != <> += -= *= /= %=", 18},
        {"( { [ # ^ ~ ! = < > + - * / % @ $ ?", 18},
    };
    for (auto& [src, n] : cases) EXPECT_EQ(count_tokens(src), n) << src;
}

TEST(TokenGlobal, FirstNextAndCurrentToken)
{
    std::string a = "x += 10 -- c";
    const char* p = get_first_token(a.c_str());
    for (auto [cls, text] : {std::pair{TK_NAME, "x"}, {TK_COMPOUND, "+="}, {TK_NUMBER, "10"}, {TK_COMMENT, "-- c"}}) {
        EXPECT_EQ(get_token(), cls);
        EXPECT_EQ(get_token_text(), text);
        p = get_next_token(p);
    }
    EXPECT_EQ(get_token(), TK_EOF);
    EXPECT_EQ(p, a.c_str() + a.size());
    // A position in another text starts a scan of that text.
    std::string b = "--[[ [[ ]] ]]y";
    p = get_next_token(b.c_str());
    EXPECT_EQ(get_token(), TK_COMMENT);
    get_next_token(p);
    EXPECT_EQ(get_token_text(), "y");
    // A new text in the same buffer, started with get_next_token(text):
    // nothing learnt about the old text is reused.
    char buf[32] = "[[ [[ ]] more";
    get_first_token(buf);
    EXPECT_EQ(get_token_text(), buf);
    snprintf(buf, sizeof buf, "[[ ]] after");
    p = get_next_token(buf);
    EXPECT_EQ(get_token_text(), "[[ ]]");
    get_next_token(p);
    EXPECT_EQ(get_token_text(), "after");
}

// The bracket index (used once a closing search has failed) against a
// direct walk, on random texts rich in brackets and comment openers.
TEST(TokenHostile, BracketIndexAgreesWithDirectWalk)
{
    auto naive_scan = [](const std::string& src) {
        // The same scan with a plain quadratic search for every close.
        std::vector<std::string> out;
        size_t i = 0;
        auto close_from = [&](size_t from) -> size_t {
            int depth = 1;
            for (size_t k = from; k < src.size();) {
                if (src.compare(k, 2, "[[") == 0) {
                    ++depth;
                    k += 2;
                } else if (src.compare(k, 2, "]]") == 0) {
                    k += 2;
                    if (--depth == 0) return k;
                } else {
                    ++k;
                }
            }
            return std::string::npos;
        };
        while (i < src.size()) {
            while (i < src.size() && src[i] == ' ') ++i;
            if (i >= src.size()) break;
            size_t n;
            if (src.compare(i, 4, "--[[") == 0) {
                size_t c = close_from(i + 4);
                n = c != std::string::npos ? c - i : src.find('\n', i) == std::string::npos ? src.size() - i : src.find('\n', i) - i;
            } else if (src.compare(i, 2, "--") == 0) {
                size_t e = src.find('\n', i);
                n = (e == std::string::npos ? src.size() : e) - i;
            } else if (src.compare(i, 2, "[[") == 0) {
                size_t c = close_from(i + 2);
                n = (c == std::string::npos ? src.size() : c) - i;
            } else if (src[i] == 'x') {
                n = 1;
                while (i + n < src.size() && src[i + n] == 'x') ++n;
            } else {
                n = 1;
            }
            out.push_back(src.substr(i, n));
            i += n;
        }
        return out;
    };
    std::mt19937 rng(7);
    const char alphabet[] = {'[', ']', '-', 'x', '\n', ' '};
    for (int round = 0; round < 3000; ++round) {
        std::string s;
        int len = int(rng() % 60);
        for (int i = 0; i < len; ++i) s += alphabet[rng() % sizeof alphabet];
        std::vector<std::string> got = texts(s);
        std::vector<std::string> want = naive_scan(s);
        ASSERT_EQ(got, want) << "text: " << s;
    }
}

TEST(TokenHostile, ManyUnclosedOpenersStayLinear)
{
    // 100000 lines each opening a block comment that a later "]]" never
    // closes: every comment is a line comment.
    std::string s, t;
    for (int i = 0; i < 100000; ++i) s += "--[[ [[ ]] x\n", t += "a=[[\n";
    EXPECT_EQ(count_tokens(s.c_str()), 0);
    EXPECT_EQ(count_tokens(t.c_str()), 3);
}

TEST(TokenHostile, JunkNeverStallsOrOverreads)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        std::string s;
        int len = int(rng() % 4000);
        for (int i = 0; i < len; ++i) {
            char c = char(rng() % 256);
            s += c ? c : '\n';
        }
        scan_all(s);  // progress and the end position are checked inside
        count_tokens(s.c_str());
    }
    std::string high;
    for (int i = 0; i < 200000; ++i) high += char(0x80 + i % 128);
    EXPECT_EQ(count_tokens(high.c_str()), 1);
}
