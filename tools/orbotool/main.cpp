// orbotool: the command-line window into the core library, used to check
// behaviour from outside (listings, token counts, conversions, runs).
#include <cstdio>
#include <cstring>

#include "commands.h"

namespace {
struct command {
    const char* name;
    int (*fn)(int, char**);
    const char* synopsis;
    const char* what;
};

#define ORBOTOOL_ENTRY(name, fn, synopsis, what) {#name, fn, synopsis, what},
const command k_commands[] = {ORBOTOOL_COMMANDS(ORBOTOOL_ENTRY)};
#undef ORBOTOOL_ENTRY

void usage(FILE* f)
{
    fputs("usage: orbotool COMMAND [ARGS]    (orbotool COMMAND --help for one)\ncommands:\n", f);
    for (const command& c : k_commands) fprintf(f, "  %-10s %s\n", c.name, c.what);
}

bool is_help(const char* a) { return strcmp(a, "--help") == 0 || strcmp(a, "-h") == 0; }
}  // namespace

int orbotool_usage(const char* name, FILE* f)
{
    for (const command& c : k_commands) {
        if (strcmp(c.name, name) != 0) continue;
        fprintf(f, "usage: orbotool %s %s\n  %s\n", c.name, c.synopsis, c.what);
        if (strcmp(name, "fixed") == 0) cmd_fixed_help(f);
    }
    return 2;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    if (is_help(argv[1]) || strcmp(argv[1], "help") == 0) {
        usage(stdout);
        return 0;
    }
    for (const command& c : k_commands) {
        if (strcmp(argv[1], c.name) != 0) continue;
        if (argc > 2 && is_help(argv[2])) {
            orbotool_usage(c.name, stdout);
            return 0;
        }
        return c.fn(argc - 2, argv + 2);
    }
    fprintf(stderr, "orbotool: unknown command '%s'\n", argv[1]);
    usage(stderr);
    return 2;
}
