#include <cstdio>

#include "commands.h"

int cmd_version(int, char**)
{
    puts("orbotool 0.1.11f");
    return 0;
}
