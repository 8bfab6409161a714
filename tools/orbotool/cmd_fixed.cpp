// orbotool fixed: evaluates number conversions and math functions exactly as
// scripts see them. Each argument is "tostr:TEXT" or "OP:A[:B]"; the result
// is printed as its text form and its raw value ("0.5 0x00008000").
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "engine/math/fixed.h"
#include "engine/math/mathlib.h"

namespace {
struct fixed_op {
    const char* name;
    bool unary;
    fix32 (*fn)(fix32, fix32);
};

const fixed_op k_ops[] = {
    {"mul", false, ob_fmul},
    {"div", false, ob_fdiv},
    {"mod", false, ob_fmod},
    {"pow", false, ob_fpow},
    {"sqrt", true, [](fix32 a, fix32) { return orbo_sqrt(a); }},
    {"sin", true, [](fix32 a, fix32) { return orbo_sin(a); }},
    {"cos", true, [](fix32 a, fix32) { return orbo_cos(a); }},
    {"atan2", false, orbo_atan2},
    {"shl", false, orbo_shl},
    {"shr", false, orbo_shr},
    {"lshr", false, orbo_lshr},
    {"rotl", false, orbo_rotl_num},
    {"rotr", false, orbo_rotr_num},
    {"band", false, orbo_band},
    {"bor", false, orbo_bor},
    {"bxor", false, orbo_bxor},
};

void print_value(fix32 v)
{
    char buf[ORBO_NUMBER_TEXT + 1];
    orbo_fixed_to_string(buf, v);
    printf("%s 0x%08x\n", buf, uint32_t(v));
}

bool parse_number(const std::string& text, fix32* out)
{
    if (luaO_str2d(text.data(), text.size(), out)) return true;
    fprintf(stderr, "orbotool fixed: malformed number '%s'\n", text.c_str());
    return false;
}

// One argument; returns false (after a message) on bad input.
bool eval(const std::string& arg)
{
    const size_t c1 = arg.find(':');
    if (c1 == std::string::npos) {
        fprintf(stderr, "orbotool fixed: expected tostr:TEXT or OP:A:B, got '%s'\n", arg.c_str());
        return false;
    }
    const std::string op = arg.substr(0, c1);
    fix32 a = 0, b = 0;
    if (op == "tostr") {
        if (!parse_number(arg.substr(c1 + 1), &a)) return false;
        print_value(a);
        return true;
    }
    for (const fixed_op& o : k_ops) {
        if (op != o.name) continue;
        const size_t c2 = arg.find(':', c1 + 1);
        if (c2 == std::string::npos && !o.unary) {
            fprintf(stderr, "orbotool fixed: %s needs two operands (OP:A:B)\n", o.name);
            return false;
        }
        if (!parse_number(arg.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1), &a))
            return false;
        if (c2 != std::string::npos && !o.unary && !parse_number(arg.substr(c2 + 1), &b)) return false;
        print_value(o.fn(a, b));
        return true;
    }
    fprintf(stderr, "orbotool fixed: unknown operation '%s'\n", op.c_str());
    return false;
}
}  // namespace

void cmd_fixed_help(FILE* f)
{
    fputs("  tostr:TEXT        the number TEXT reads as, printed as the console prints it\n", f);
    for (const fixed_op& o : k_ops) fprintf(f, "  %s:A%s\n", o.name, o.unary ? "" : ":B");
}

int cmd_fixed(int argc, char** argv)
{
    if (argc < 1) {
        orbotool_usage("fixed", stderr);
        return 1;
    }
    for (int i = 0; i < argc; i++)
        if (!eval(argv[i])) return 1;
    return 0;
}
