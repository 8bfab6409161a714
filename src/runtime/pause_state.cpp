#include "runtime/pause_state.h"

#include "runtime/run_chain.h"

namespace {
void no_menu() {}
void open_flag_only() { orbo_pause().menu_open = true; }
}  // namespace

orbo_shell_link orbo_shell_hooks = {no_menu, no_menu, no_menu, open_flag_only};

orbo_pause_state& orbo_pause()
{
    static orbo_pause_state state;
    return state;
}

void orbo_clear_menu_items()
{
    orbo_pause_state& p = orbo_pause();
    for (int i = 0; i <= ORBO_MENU_ITEMS; i++) {
        p.label[i].clear();
        p.selected[i] = false;
    }
}

int orbo_for_each_menu_row(void (*add)(const char* label, int action))
{
    int n = 0;
    auto row = [&](const char* label, int action) {
        if (add) add(label, action);
        n++;
    };
    row("continue", PAUSE_CONTINUE);
    for (int i = 1; i <= ORBO_MENU_ITEMS; i++)
        if (!orbo_pause().label[i].empty()) row(orbo_pause().label[i].c_str(), PAUSE_CUSTOM + i);
    row("reset cart", PAUSE_RESET);
    if (const char* chain = get_run_chain_label()) row(chain, PAUSE_CHAIN);
    row("quit", PAUSE_QUIT);
    return n;
}

int orbo_menu_item_count() { return orbo_for_each_menu_row(nullptr); }
