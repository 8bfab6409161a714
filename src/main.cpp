// The player's process entry: the framework runs the shell.
#include <cstdio>

#include "app/help.h"
#include "app/shell.h"

int kiln_main(int argc, char** argv, const kiln_app& app);

int main(int argc, char** argv)
{
    if (orbo_answer_help(argc, argv, stdout)) return 0;
    return kiln_main(argc, argv, orbo_shell_app);
}
