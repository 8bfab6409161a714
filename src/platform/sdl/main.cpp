// The process entry of the player: picks the host (SDL, or headless for
// -headless and -x) and runs the framework over it.
#include <cstring>

#include "platform/kiln.h"

kiln_host* kiln_sdl_host();

namespace {
// -headless (a platform option, matched by prefix) or the application's
// -x / -exec (matched whole) run without a window and without SDL video.
bool wants_headless(int argc, char** argv, bool* exec)
{
    bool headless = false;
    *exec = false;
    for (int i = 1; i < argc && argv[i]; i++) {
        const char* a = argv[i];
        if (a[0] == '|' || a[0] == '&' || a[0] == '>') break;
        if (a[0] != '-') continue;
        if (strncmp(a + 1, "headless", 8) == 0) headless = true;
        if (strcmp(a + 1, "x") == 0 || strcmp(a + 1, "exec") == 0) *exec = true;
    }
    return headless || *exec;
}
}  // namespace

int kiln_main(int argc, char** argv, const kiln_app& app)
{
    bool exec = false;
    bool headless = wants_headless(argc, argv, &exec);
    kiln_force_headless(headless);
    return kiln_run(headless ? kiln_headless_host() : kiln_sdl_host(), app, argc, argv);
}
