#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "engine/token/token.h"
#include "source_file.h"

// orbotool tokens FILE: "tokens: N chars: M" for the program in FILE.
int cmd_tokens(int argc, char** argv)
{
    if (argc != 1) {
        orbotool_usage("tokens", stderr);
        return 2;
    }
    std::string text;
    if (!read_program_text(argv[0], &text)) {
        fprintf(stderr, "orbotool: cannot read %s: %s\n", argv[0], strerror(errno));
        return 1;
    }
    printf("tokens: %d chars: %zu\n", count_tokens(text.c_str()), text.size());
    return 0;
}
