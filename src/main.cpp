// The player's process entry: the framework runs the shell.
#include "app/shell.h"

int kiln_main(int argc, char** argv, const kiln_app& app);

int main(int argc, char** argv) { return kiln_main(argc, argv, orbo_shell_app); }
