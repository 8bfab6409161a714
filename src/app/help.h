// What `orbo -h` and `orbo --version` print.
#pragma once
#include <cstdio>

// The usage: the ways to start the player, every option (from the option
// tables), the keys, and where the user's files live.
void orbo_print_usage(FILE* f);
// The answer to -h, -help, --help (usage) or --version, when one of them is
// among the arguments before a "|", "&" or ">": true when it was printed
// and the player should exit 0.
bool orbo_answer_help(int argc, char** argv, FILE* f);
