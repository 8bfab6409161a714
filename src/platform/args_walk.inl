// Shared walk of the command line for the platform and application parsers.
#pragma once

template <typename Opt, typename Pos>
void kiln_walk_arguments(int argc, char** argv, Opt opt, Pos positional)
{
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if (!a) break;
        if (a[0] == '|' || a[0] == '&' || a[0] == '>') break;
        if (a[0] == '-') {
            const char* value = nullptr;
            if (i + 1 < argc && argv[i + 1] && argv[i + 1][0] != '-' && argv[i + 1][0] != '|' &&
                argv[i + 1][0] != '&' && argv[i + 1][0] != '>')
                value = argv[i + 1];
            bool consumed = value != nullptr;
            opt(a + 1, value, &consumed);
            if (consumed && value) i++;
        } else {
            positional(a);
        }
    }
}
