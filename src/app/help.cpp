#include "app/help.h"

#include <cstring>

#include "app/boot.h"
#include "app/settings.h"
#include "platform/config.h"

namespace {
// The keys of the player, in the order a new user needs them.
const char* const k_keys[][2] = {
    {"Escape, P, Enter", "pause menu (continue, the cartridge's items, reset, quit)"},
    {"F11, Alt+Enter", "fullscreen or window"},
    {"Ctrl+Q, Alt+F4", "quit"},
    {"F6 (F1, Ctrl+6)", "save a screenshot to the desktop"},
    {"F8 (F3, Ctrl+8)", "start the GIF from now"},
    {"F9 (F4, Ctrl+9)", "save the last seconds of play as a GIF"},
    {"Ctrl+M", "sound off / on"},
    {"Ctrl+R", "reload and restart the cartridge"},
    {"Ctrl+1", "frames-per-second counter"},
};
}  // namespace

void orbo_print_usage(FILE* f)
{
    fputs("usage: orbo [OPTIONS]                 boot into the launcher\n"
          "       orbo [OPTIONS] CART -run       run CART (.ob or .ob.png) after the boot\n"
          "       orbo -x CART [-p TEXT]         run CART without a window, console lines on\n"
          "                                      standard output; exit 1 if it fails\n"
          "       orbo -h | --version\n\n"
          "Options of the player:\n",
          f);
    orbo_print_app_option_usage(f);
    fputs("\nOptions of the window, display and sound (a prefix of the name is enough):\n", f);
    kiln_print_option_usage(f);
    fputs("\nKeys:\n", f);
    for (const auto& k : k_keys) fprintf(f, "  %-26s %s\n", k[0], k[1]);
    fputs("\nFiles: settings in HOME/config.txt, the log in HOME/log.txt, cartridges in\n"
          "HOME/carts/, cartridge data in HOME/cdata/, where HOME is ~/.hearthware/orbo\n"
          "unless -home names another folder.\n",
          f);
}

bool orbo_answer_help(int argc, char** argv, FILE* f)
{
    for (int i = 1; i < argc && argv[i]; i++) {
        const char* a = argv[i];
        if (a[0] == '|' || a[0] == '&' || a[0] == '>') break;
        if (strcmp(a, "-h") == 0 || strcmp(a, "-help") == 0 || strcmp(a, "--help") == 0) {
            orbo_print_usage(f);
            return true;
        }
        if (strcmp(a, "--version") == 0) {
            fprintf(f, "%s\n", ORBO_VERSION_TEXT);
            return true;
        }
    }
    return false;
}
