// Temporary entry until the framework shell lands: reports and exits.
#include <cstdio>
int kiln_main(int, char**)
{
    std::puts("orbo: the framework shell is not built yet");
    return 0;
}
