// orbotool: the command-line window into the core library, used to check
// behaviour from outside (listings, token counts, conversions, runs).
#include <cstdio>
#include <cstring>

#include "commands.h"

namespace {
struct command {
    const char* name;
    int (*fn)(int, char**);
    const char* usage;
};

#define ORBOTOOL_ENTRY(name, fn, usage) {#name, fn, usage},
const command k_commands[] = {ORBOTOOL_COMMANDS(ORBOTOOL_ENTRY)};
#undef ORBOTOOL_ENTRY

int usage()
{
    fputs("usage: orbotool COMMAND [ARGS]\ncommands:\n", stderr);
    for (const command& c : k_commands) fprintf(stderr, "  %s %s\n", c.name, c.usage);
    return 2;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return usage();
    for (const command& c : k_commands)
        if (strcmp(argv[1], c.name) == 0) return c.fn(argc - 2, argv + 2);
    fprintf(stderr, "orbotool: unknown command '%s'\n", argv[1]);
    return usage();
}
