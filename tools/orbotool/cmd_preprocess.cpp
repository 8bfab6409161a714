#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "engine/pre/pre.h"
#include "source_file.h"

// orbotool preprocess FILE: the preprocessed program, byte for byte.
int cmd_preprocess(int argc, char** argv)
{
    if (argc != 1) {
        orbotool_usage("preprocess", stderr);
        return 2;
    }
    std::string text;
    if (!read_program_text(argv[0], &text)) {
        fprintf(stderr, "orbotool: cannot read %s: %s\n", argv[0], strerror(errno));
        return 1;
    }
    std::string out;
    orbo_preprocess(text.c_str(), out);
    if (fwrite(out.data(), 1, out.size(), stdout) != out.size() || fflush(stdout) != 0) {
        fputs("orbotool: write error\n", stderr);
        return 1;
    }
    return 0;
}
