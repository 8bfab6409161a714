// Differential test of the compiler against the reference compiler
// (luac5.2, path in ORBO_LUAC): every corpus file accepted by both must give
// the same listing: opcodes, operands, line numbers, counts, constants,
// locals and upvalues. Numbers are compared as 16.16 values: the
// reference's printed doubles go through the engine's text-to-number
// conversion; files whose only differences are such numbers (folding in
// fixed point, literals beyond the 16.16 range) are counted separately.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/lua/lcompile.h"

namespace {
std::string run(const std::string& cmd, int* status)
{
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return *status = -1, out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    *status = pclose(p);
    return out;
}

// The reference compiler's path, or nullptr when it is not installed.
const char* reference_luac()
{
    const char* luac = getenv("ORBO_LUAC");
    return luac && *luac ? luac : nullptr;
}
#define REQUIRE_LUAC(luac)                                                                          \
    const char* luac = reference_luac();                                                           \
    if (!luac) GTEST_SKIP() << "ORBO_LUAC not set (reference compiler not installed)"

// Compiles text as chunk name; our listing (if accepted) or error message.
bool compile_ours(const std::string& text, const std::string& name, std::string* out)
{
    lua_State* L = lua_newstate(orbo_default_alloc, nullptr);
    L->nCcalls = 1;
    Proto* f = nullptr;
    bool ok = orbo_compile(L, text.data(), text.size(), ("@" + name).c_str(), &f) == LUA_OK;
    *out = ok ? orbo_listing(f, true) : orbo_error_text(L);
    lua_close(L);
    return ok;
}

std::vector<std::string> split_lines(const std::string& s)
{
    std::vector<std::string> v;
    std::istringstream in(s);
    std::string line;
    while (std::getline(in, line)) v.push_back(line);
    return v;
}

bool is_number_token(const std::string& t)
{
    size_t i = (t.size() > 1 && t[0] == '-') ? 1 : 0;
    return i < t.size() && ((t[i] >= '0' && t[i] <= '9') || t.compare(i, 3, "inf") == 0 || t.compare(i, 3, "nan") == 0);
}

std::string raw_number(const std::string& t)
{
    fix32 r = 0;
    if (t.find("inf") != std::string::npos || t.find("nan") != std::string::npos)
        r = INT32_MIN;  // out of range: what the conversion gives for huge values
    else {
        // A negative constant in source is a negated literal, so convert
        // the magnitude and negate (converting "-1" directly truncates
        // toward zero and gives raw -65535).
        bool neg = t[0] == '-';
        std::string mag = neg ? t.substr(1) : t;
        if (!luaO_str2d(mag.c_str(), mag.size(), &r)) return "N?" + t;
        if (neg) r = fix_neg(r);
    }
    char buf[16];
    snprintf(buf, sizeof buf, "N%08x", unsigned(r));
    return buf;
}

// Rewrites the number tokens of a constant list: space-separated tokens
// where strings are quoted with backslash escapes.
std::string normalise_constants(const std::string& s)
{
    std::string out;
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] == ' ') {
            out += s[i++];
            continue;
        }
        size_t j = i;
        if (s[i] == '"') {
            j++;
            while (j < s.size() && s[j] != '"') j += (s[j] == '\\') ? 2 : 1;
            j = std::min(j + 1, s.size());
        } else {
            while (j < s.size() && s[j] != ' ') j++;
        }
        std::string tok = s.substr(i, j - i);
        out += is_number_token(tok) ? raw_number(tok) : tok;
        i = j;
    }
    return out;
}

bool is_header(const std::string& l) { return l.rfind("main <", 0) == 0 || l.rfind("function <", 0) == 0; }

// Normalises the reference listing: addresses become pre-order indices and
// constant numbers become raw 16.16 values.
std::string normalise_reference(const std::string& text)
{
    std::vector<std::string> lines = split_lines(text);
    std::map<std::string, int> index;
    for (const std::string& l : lines) {
        size_t a = l.rfind(" at 0x");
        if (is_header(l) && l.find(" instruction") != std::string::npos && a != std::string::npos)
            index.emplace(l.substr(a + 4, l.size() - 1 - (a + 4)), int(index.size()));
    }
    auto map_addr = [&](std::string l) {
        size_t p = l.find("0x");
        while (p != std::string::npos) {
            size_t e = p + 2;
            while (e < l.size() && isxdigit((unsigned char)l[e])) e++;
            auto it = index.find(l.substr(p, e - p));
            if (it != index.end()) l.replace(p, e - p, std::to_string(it->second));
            p = l.find("0x", p + 1);
        }
        return l;
    };
    static const char* const k_with_constants[] = {"LOADK", "GETTABUP", "SETTABUP", "GETTABLE", "SELF",
                                                   "SETTABLE", "ADD", "SUB", "MUL", "DIV", "POW",
                                                   "EQ", "LT", "LE", "EXTRAARG"};
    std::string out;
    bool in_constants = false;
    for (std::string l : lines) {
        if (l.rfind("constants (", 0) == 0 || l.rfind("locals (", 0) == 0) {
            in_constants = l[0] == 'c';
            l = map_addr(l);
        } else if (in_constants && l.size() > 1 && l[0] == '\t') {
            size_t tab = l.find('\t', 1);
            l = l.substr(0, tab + 1) + normalise_constants(l.substr(tab + 1));
        } else if (l.size() > 1 && l[0] == '\t' && l.find("\t[") != std::string::npos) {
            // instruction: \tpc\t[line]\tOPNAME  \toperands[\t; comment]
            std::vector<size_t> tab;
            for (size_t t = 0; t != std::string::npos && tab.size() < 5; t = l.find('\t', t + 1)) tab.push_back(t);
            if (tab.size() == 5) {
                std::string op = l.substr(tab[2] + 1, tab[3] - tab[2] - 1);
                op = op.substr(0, op.find(' '));
                std::string comment = l.substr(tab[4] + 1);
                bool with_k = false;
                for (const char* k : k_with_constants) with_k |= (op == k);
                if (with_k && comment.rfind("; ", 0) == 0)
                    comment = "; " + normalise_constants(comment.substr(2));
                else if (op == "CLOSURE")
                    comment = map_addr(comment);
                l = l.substr(0, tab[4] + 1) + comment;
            }
        } else {
            l = map_addr(l);
        }
        out += l;
        out += '\n';
    }
    return out;
}

// Whether two lines differ only inside N<hex> number tokens.
bool differs_only_in_numbers(const std::string& a, const std::string& b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i] == 'N' && b[j] == 'N' && i + 1 < a.size() && j + 1 < b.size() &&
            (isxdigit((unsigned char)a[i + 1]) || a[i + 1] == '?') && (isxdigit((unsigned char)b[j + 1]) || b[j + 1] == '?')) {
            i++;
            j++;
            while (i < a.size() && a[i] != ' ' && a[i] != '\t') i++;
            while (j < b.size() && b[j] != ' ' && b[j] != '\t') j++;
            continue;
        }
        if (a[i++] != b[j++]) return false;
    }
    return i == a.size() && j == b.size();
}

// Constant values of one function block of a normalised listing.
std::vector<std::string> block_constants(const std::vector<std::string>& v, size_t from, size_t to)
{
    std::vector<std::string> k;
    bool in = false;
    for (size_t i = from; i < to; i++) {
        if (v[i].rfind("constants (", 0) == 0) in = true;
        else if (v[i].rfind("locals (", 0) == 0) in = false;
        else if (in) k.push_back(v[i].substr(v[i].find('\t', 1) + 1));
    }
    return k;
}

int block_instructions(const std::vector<std::string>& v, size_t from)
{
    size_t p = v[from].find("> (");
    return p == std::string::npos ? -1 : atoi(v[from].c_str() + p + 3);
}

// Whether the reference's function differs from ours only because distinct
// reference constants are the same 16.16 value (and so one constant here).
bool merged_constants_only(const std::vector<std::string>& a, size_t ia, size_t ea, const std::vector<std::string>& b,
                           size_t ib, size_t eb)
{
    if (block_instructions(a, ia) != block_instructions(b, ib)) return false;
    std::vector<std::string> ka = block_constants(a, ia, ea), kb = block_constants(b, ib, eb);
    std::vector<std::string> dedup;
    for (const std::string& k : ka)
        if (std::find(dedup.begin(), dedup.end(), k) == dedup.end()) dedup.push_back(k);
    return dedup.size() < ka.size() && dedup == kb;
}

struct file_result {
    int functions = 0;
    int identical_functions = 0;
    enum { identical, numbers_only, different, skipped } kind = identical;
    std::string first_difference;
    std::string number_difference;
};

int count_functions(const std::vector<std::string>& lines)
{
    int n = 0;
    for (const std::string& l : lines) n += is_header(l);
    return n;
}

file_result compare_file(const std::string& luac, const std::string& path)
{
    file_result r;
    int status = 0;
    std::string ref = run("'" + luac + "' -l -l -p '" + path + "' 2>/dev/null", &status);
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    orbo_skip_file_prefix(&text);
    std::string mine;
    bool ours = compile_ours(text, path, &mine);
    if (status != 0 || !ours) {
        r.kind = status != 0 ? file_result::skipped : file_result::different;  // skipped: the reference rejects
        r.first_difference = "rejected: " + mine;
        return r;
    }
    std::vector<std::string> a = split_lines(normalise_reference(ref));
    std::vector<std::string> b = split_lines(mine);
    r.functions = count_functions(a);
    // Per function: compare the blocks between headers.
    size_t ia = 0, ib = 0;
    bool numbers = false, structural = false;
    while (ia < a.size() || ib < b.size()) {
        size_t ea = ia + 1, eb = ib + 1;
        while (ea < a.size() && a[ea].rfind("function <", 0) != 0) ea++;
        while (eb < b.size() && b[eb].rfind("function <", 0) != 0) eb++;
        ea = std::min(ea, a.size());
        eb = std::min(eb, b.size());
        bool same = (ea - ia) == (eb - ib);
        bool fn_numbers = false;
        for (size_t k = 0; same && k < ea - ia; k++) {
            if (a[ia + k] == b[ib + k]) continue;
            if (differs_only_in_numbers(a[ia + k], b[ib + k])) {
                if (r.number_difference.empty())
                    r.number_difference = "reference: " + a[ia + k] + "\nours:      " + b[ib + k];
                fn_numbers = true;
                continue;
            }
            same = false;
            if (r.first_difference.empty())
                r.first_difference = "reference: " + a[ia + k] + "\nours:      " + b[ib + k];
        }
        if (!same && merged_constants_only(a, ia, ea, b, ib, eb)) {
            same = true;
            fn_numbers = true;
            r.first_difference.clear();
            if (r.number_difference.empty()) r.number_difference = "merged constants in " + a[ia];
        }
        if (!same && r.first_difference.empty())
            r.first_difference = "different line counts in function at " + (ia < a.size() ? a[ia] : std::string("?"));
        if (same && !fn_numbers) r.identical_functions++;
        numbers |= fn_numbers;
        structural |= !same;
        ia = ea;
        ib = eb;
    }
    r.kind = structural ? file_result::different : numbers ? file_result::numbers_only : file_result::identical;
    return r;
}

std::vector<std::string> corpus_files()
{
    int status = 0;
    std::vector<std::string> files = split_lines(
        run(std::string("ls ") + ORBO_SOURCE_DIR + "/tests/engine/compiler_corpus/*.lua 2>/dev/null", &status));
    for (const std::string& l : split_lines(run("dpkg -L lua-penlight 2>/dev/null | grep '\\.lua$'", &status)))
        files.push_back(l);
    return files;
}
}  // namespace

TEST(CompilerConformance, CorpusMatchesReferenceCompiler)
{
    REQUIRE_LUAC(luac);
    std::vector<std::string> files = corpus_files();
    ASSERT_FALSE(files.empty());
    int identical = 0, numbers_only = 0, skipped = 0, functions = 0, identical_functions = 0;
    for (const std::string& path : files) {
        file_result r = compare_file(luac, path);
        functions += r.functions;
        identical_functions += r.identical_functions;
        identical += r.kind == file_result::identical;
        skipped += r.kind == file_result::skipped;
        numbers_only += r.kind == file_result::numbers_only;
        if (r.kind == file_result::numbers_only)
            printf("numbers differ (fixed point): %s\n%s\n", path.c_str(), r.number_difference.c_str());
        if (r.kind == file_result::different) ADD_FAILURE() << path << "\n" << r.first_difference;
    }
    printf("files: %zu compared, %d identical, %d differing only in 16.16 numbers, %d rejected by the reference\n",
           files.size() - size_t(skipped), identical, numbers_only, skipped);
    printf("functions: %d compared, %d identical\n", functions, identical_functions);
}

// Messages that the dialect leaves unchanged must equal the reference
// compiler's word for word, position and "near" part included.
TEST(CompilerConformance, ErrorMessagesMatchReferenceCompiler)
{
    REQUIRE_LUAC(luac);
    // n copies of f(i), joined.
    auto rep = [](int n, auto f) {
        std::string out;
        for (int i = 0; i < n; i++) out += f(std::to_string(i));
        return out;
    };
    std::string big_locals = rep(201, [](const std::string& i) { return "local v" + i + " = " + i + "\n"; });
    std::string deep_parens = "x = " + std::string(300, '(') + "1" + std::string(300, ')');
    std::string deep_ifs = rep(300, [](const std::string&) { return "if x then\n"; });
    std::string many_assign = rep(300, [](const std::string& i) { return "a" + i + ", "; }) + "b = 1";
    // Five statements a line keep the line numbers below 32768, the largest
    // whole number a message can show.
    std::string long_loop = "while x do\n" + rep(28000, [](const std::string&) { return "a = 1 a = 1 a = 1 a = 1 a = 1\n"; }) + "end\n";
    std::string many_args = "f(" + rep(300, [](const std::string&) { return "1, "; }) + "1)";
    // 256 upvalues need locals of several functions (200 locals each).
    std::string upvalue_case = "local function outer()\n" + rep(128, [](const std::string& i) { return "local a" + i + " = 1\n"; }) +
                               "return function()\n" + rep(128, [](const std::string& i) { return "local b" + i + " = 1\n"; }) +
                               "return function()\n" + rep(128, [](const std::string& i) { return "x = a" + i + " + b" + i + "\n"; }) +
                               "end end end\n";
    const std::vector<std::string> cases = {
        "x = = 1", "local 1", "f(", "x = 1 +", "for i do end", "x = 'abc", "x = \"a\\qb\"", "x = '\\300'",
        "x = '\\xZZ'", "x = '\\x5'", "x = [==[ abc", "--[[ abc", "x = [=abc", "x = 3x", "x = 0x", "x = 1e",
        "x = 1..2", "x = 1e+", "function f() return ... end", "a.b:c = 1", "x", "(x) = 1",
        "return return", "f() = 1", "local function 1", "x = }", "x = {1 2}", "if x then", "x = 'a\nb'",
        "x = #", "x = 1 = 2", "x = \x01", "x = @", "\x9a = 1", "for a, b = 1, 2 do end", "local t = {x = }",
        "x = function(a, 1) end", "x = function(a, ...,b) end", "goto 1", "::1::", "x = a:b", "x = a.1",
        "repeat x = 1", "while x do", "while x", "for i = 1 do end", "for i = 1, 2 end", "do x = 1",
        "if x then else", "if x then elseif y", "x = '\\", "x = \"abc\\\n", "local function f() end end",
        "break", "x = ...", "return 1 2", "x = not", "x = {[1] 2}", "x.y.z", "t[1]",
        "local a, b, = 1", "x = (1", "f(1,)", "f(1;2)", "a = b = c", "::lbl:: x = 1 ::lbl2:: ::",
        big_locals, deep_parens, deep_ifs, many_assign, long_loop, many_args, upvalue_case,
        "local function f()\n" + big_locals + "end", "goto l1 local a ::l1:: x = a", "do goto l2 end",
        "::l3:: x = 1 ::l3::", "x = 1\n::l4::\ndo ::l4:: end ::l4::",
        "x = 1\n\n\nif x then\n  y = (1\n", "f(\n1,\n2\n", "x = {\n1,\n2\n", "function f()\n  return 1\n",
        "for i = 1, 2 do\n x = 1\n", "repeat\n x = 1\n",
    };
    int same = 0;
    std::string tmp = std::string(ORBO_BINARY_DIR) + "/compiler_error_case.lua";
    for (const std::string& text : cases) {
        std::ofstream(tmp, std::ios::binary) << text;
        int status = 0;
        std::string ref = run("'" + std::string(luac) + "' -p '" + tmp + "' 2>&1", &status);
        std::string prog = std::string(luac) + ": ";
        if (ref.rfind(prog, 0) == 0) ref = ref.substr(prog.size());
        while (!ref.empty() && ref.back() == '\n') ref.pop_back();
        std::string mine;
        bool ours = compile_ours(text, tmp, &mine);
        // Without a tab layout every line is in tab 0; the dialect's
        // messages then differ from the reference only by " (tab 0)".
        for (size_t p; (p = mine.find(" (tab 0)")) != std::string::npos;) mine.erase(p, 8);
        // Both reject, or both accept.
        EXPECT_EQ(status != 0, !ours) << text;
        if (status != 0 && !ours) {
            EXPECT_EQ(ref, mine) << text.substr(0, 200);
            same += ref == mine;
        }
    }
    printf("error messages: %zu cases, %d identical\n", cases.size(), same);
}

namespace {
// Random programs from a small grammar: statements and expressions of
// every kind over locals, upvalues, globals and tables, for differential
// testing against the reference compiler. Numerals are small and exact in
// 16.16 so that folded constants rarely differ from the reference's
// doubles (such differences would change the constant table).
struct program_generator {
    uint32_t state;
    std::vector<std::vector<std::string>> scopes;  // visible locals, by function
    int loops = 0, names = 0;

    int pick(int n)
    {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        return int(state % uint32_t(n));
    }
    std::string fresh() { return "v" + std::to_string(names++); }
    std::string num(int n) { return std::to_string(pick(n)); }
    // n items f(i) separated by sep, generated in order.
    template <class F> static std::string join(int n, F f, const char* sep = ", ")
    {
        std::string s;
        for (int i = 0; i < n; i++) s += (i ? sep : "") + f(i);
        return s;
    }

    std::string variable()
    {
        std::vector<std::string> all;
        for (const auto& s : scopes) all.insert(all.end(), s.begin(), s.end());
        static const char* const globals[] = {"g", "h", "print", "t", "x"};
        if (all.empty() || pick(4) == 0) return globals[pick(5)];
        return all[size_t(pick(int(all.size())))];
    }

    std::string expression(int d)
    {
        if (d <= 0) {
            switch (pick(7)) {
            case 0: return num(20);
            case 1: return "\"s" + num(5) + "\"";
            case 2: return pick(2) ? "nil" : (pick(2) ? "true" : "false");
            case 3: return num(9) + ".5";
            default: return variable();
            }
        }
        static const char* const ops[] = {"+", "-", "*", "/", "%", "^", "..", "==", "~=", "<", "<=", ">", ">=", "and", "or"};
        static const char* const un[] = {"-", "not ", "#"};
        switch (pick(14)) {
        case 0:
        case 1: {
            std::string op = ops[pick(15)];
            std::string rhs = expression(d - 1);
            if (op == "^") rhs = num(4);
            // The engine's modulo ignores the divisor's sign, so folding
            // a negative divisor would differ from the reference.
            if (op == "%") rhs = std::to_string(1 + pick(9));
            return expression(d - 1) + " " + op + " " + rhs;
        }
        case 2: return std::string(un[pick(3)]) + expression(d - 1);
        case 3: return "(" + expression(d - 1) + ")";
        case 4: return variable() + "." + "f" + num(3);
        case 5: return variable() + "[" + expression(d - 1) + "]";
        case 6: return variable() + "(" + arguments(d - 1) + ")";
        case 7: return variable() + ":m" + num(3) + "(" + arguments(d - 1) + ")";
        case 8: {
            std::string s = "{";
            int n = pick(5);
            for (int i = 0; i < n; i++) {
                if (i) s += pick(2) ? ", " : "; ";
                switch (pick(3)) {
                case 0: s += expression(d - 1); break;
                case 1: s += "k" + num(4) + " = " + expression(d - 1); break;
                default: s += "[" + expression(d - 1) + "] = " + expression(d - 1); break;
                }
            }
            return s + "}";
        }
        case 9: return function_literal(d - 1);
        case 10: return "...";
        default: return expression(d - 1);
        }
    }

    std::string arguments(int d)
    {
        return join(pick(4), [&](int) { return expression(d); });
    }

    std::string function_literal(int d)
    {
        std::vector<std::string> params(size_t(pick(3)));
        for (std::string& p : params) p = fresh();
        std::string s = "function(" + join(int(params.size()), [&](int i) { return params[size_t(i)]; });
        s += std::string(params.empty() ? "" : ", ") + "...) ";
        scopes.push_back(params);
        int saved_loops = loops;
        loops = 0;
        std::string body = block(std::min(d, 2));
        loops = saved_loops;
        scopes.pop_back();
        return s + body + " end";
    }

    std::string assignable()
    {
        switch (pick(3)) {
        case 0: return variable();
        case 1: return variable() + ".f" + num(3);
        default: return variable() + "[" + expression(1) + "]";
        }
    }

    // A loop over fresh locals vars (visible in the body only).
    std::string loop_over(std::vector<std::string> vars, const std::string& head, int d)
    {
        size_t mark = scopes.back().size();
        scopes.back().insert(scopes.back().end(), vars.begin(), vars.end());
        std::string s = loop(head, " end", d);
        scopes.back().resize(mark);
        return s;
    }

    std::string statement(int d)
    {
        switch (pick(d > 0 ? 14 : 4)) {
        case 0: {
            int n = 1 + pick(3), m = pick(4);
            std::vector<std::string> vars{size_t(n), std::string()};
            for (std::string& v : vars) v = fresh();
            std::string s = "local " + join(n, [&](int i) { return vars[size_t(i)]; });
            if (m) s += " = ";
            s += join(m, [&](int) { return expression(2); });
            scopes.back().insert(scopes.back().end(), vars.begin(), vars.end());
            return s;
        }
        case 1: {
            int n = 1 + pick(3), m = 1 + pick(3);
            std::string s = join(n, [&](int) { return assignable(); }) + " = ";
            return s + join(m, [&](int) { return expression(2); });
        }
        case 2: return variable() + "(" + arguments(2) + ")";
        case 3: return variable() + ":m" + num(3) + "(" + arguments(1) + ")";
        case 4: {
            std::string s = "if " + expression(2) + " then " + block(d - 1);
            int n = pick(3);
            for (int i = 0; i < n; i++) s += " elseif " + expression(2) + " then " + block(d - 1);
            if (pick(2)) s += " else " + block(d - 1);
            return s + " end";
        }
        case 5: return loop("while " + expression(2) + " do ", " end", d);
        case 6: {
            std::string v = fresh();
            std::string head = "for " + v + " = " + expression(1) + ", " + expression(1) +
                               (pick(2) ? ", " + expression(1) : "") + " do ";
            return loop_over({v}, head, d);
        }
        case 7: {
            std::string k = fresh(), v = fresh();
            return loop_over({k, v}, "for " + k + ", " + v + " in " + expression(1) + " do ", d);
        }
        case 8: return loop("repeat ", " until " + expression(2), d);
        case 9: return "do " + block(d - 1) + " end";
        case 10: {
            std::string f = fresh();
            scopes.back().push_back(f);
            return "local function " + f + function_literal(d - 1).substr(8);
        }
        case 11: return "function " + variable() + (pick(2) ? ".f1" : ":m1") + function_literal(d - 1).substr(8);
        case 12:
            if (loops > 0) return pick(2) ? "break" : "goto continue";
            return "x = " + expression(1);
        default: return assignable() + " = " + function_literal(d - 1);
        }
    }

    std::string loop(const std::string& head, const std::string& tail, int d)
    {
        loops++;
        size_t mark = scopes.back().size();
        std::string body = block(d - 1, false);
        scopes.back().resize(mark);
        loops--;
        // 'continue' label closes the body, so gotos never jump into a scope.
        return head + body + " ::continue::" + tail;
    }

    std::string block(int d, bool may_return = true)
    {
        size_t mark = scopes.back().size();
        std::string s;
        int n = 1 + pick(4);
        for (int i = 0; i < n; i++) s += statement(d) + (pick(3) ? "\n" : "; ");
        if (may_return && pick(4) == 0) s += "return " + arguments(1) + "\n";
        scopes.back().resize(mark);
        return s;
    }

    std::string program(uint32_t seed)
    {
        state = seed * 2654435761u + 1;
        names = 0;
        scopes.assign(1, {});
        return block(3);
    }
};
}  // namespace

TEST(CompilerConformance, RandomProgramsMatchReferenceCompiler)
{
    REQUIRE_LUAC(luac);
    program_generator gen;
    std::string tmp = std::string(ORBO_BINARY_DIR) + "/compiler_random_case.lua";
    int compared = 0, identical = 0, numbers = 0;
    // ORBO_RANDOM_PROGRAMS raises the count for longer runs.
    uint32_t count = getenv("ORBO_RANDOM_PROGRAMS") ? uint32_t(atoi(getenv("ORBO_RANDOM_PROGRAMS"))) : 400;
    for (uint32_t seed = 1; seed <= count; seed++) {
        std::string text = gen.program(seed);
        std::ofstream(tmp, std::ios::binary) << text;
        file_result r = compare_file(luac, tmp);
        if (r.kind == file_result::skipped) continue;
        compared++;
        identical += r.kind == file_result::identical;
        numbers += r.kind == file_result::numbers_only;
        if (r.kind == file_result::different) {
            ADD_FAILURE() << "seed " << seed << "\n" << r.first_difference << "\n" << text.substr(0, 2000);
            std::ofstream(tmp + "." + std::to_string(seed), std::ios::binary) << text;
        }
    }
    printf("random programs: %d compared, %d identical, %d differing only in 16.16 numbers\n", compared, identical,
           numbers);
    EXPECT_GT(compared, 300);
}

// Encodings only large programs reach: SETLIST with its block number in an
// EXTRAARG, LOADKX for constants beyond the 18-bit index, and constants
// past the RK range in comparisons and table stores.
TEST(CompilerConformance, LargeProgramsMatchReferenceCompiler)
{
    REQUIRE_LUAC(luac);
    std::string big_list = "local t = {", many_k = "local t = {";
    for (int i = 0; i < 26000; i++) big_list += "1,";
    for (int i = 0; i < 262200; i++) many_k += "\"k" + std::to_string(i) + "\",";
    big_list += "f()}\nreturn t\n";
    many_k += "}\nlocal x = \"k262199\" == t[1]\nt.k262198 = \"k3\"\nreturn x\n";
    std::string tmp = std::string(ORBO_BINARY_DIR) + "/compiler_large_case.lua";
    for (const std::string& text : {big_list, many_k}) {
        std::ofstream(tmp, std::ios::binary) << text;
        file_result r = compare_file(luac, tmp);
        EXPECT_EQ(r.kind, file_result::identical) << r.first_difference;
    }
}
