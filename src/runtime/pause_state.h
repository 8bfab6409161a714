// The pause menu's state as the runtime keeps it: the cartridge's own items
// (five labels of at most 16 characters, empty when unused, and for each
// whether the user chose it since the program last asked), whether the menu
// is open, the selected row and the program's own pause flag. The shell
// draws the menu and handles its keys; it reaches the runtime through this
// record, and the runtime reaches the shell through orbo_shell_hooks.
#pragma once
#include <string>

constexpr int ORBO_MENU_ITEMS = 5;

struct orbo_pause_state {
    std::string label[ORBO_MENU_ITEMS + 1];  // 1..5 used
    bool selected[ORBO_MENU_ITEMS + 1] = {};
    bool menu_open = false;
    int menu_selected = 0;
    int program_paused = 0;  // `_set_paused`
};

orbo_pause_state& orbo_pause();
// Clears the custom items and their selected flags (every cartridge run).
void orbo_clear_menu_items();
// What choosing a row of the menu does.
enum orbo_pause_action : int {
    PAUSE_CONTINUE = 0,
    PAUSE_RESET = 1,
    PAUSE_CHAIN = 5,
    PAUSE_QUIT = 6,
    PAUSE_CUSTOM = 256,  // + item 1..5
};
// The rows of the menu as it is built now, in order: "continue", each
// custom item, "reset cart", the run chain's label when the chain is not
// empty, "quit". Calls add (when given) for each; returns the row count.
int orbo_for_each_menu_row(void (*add)(const char* label, int action));
int orbo_menu_item_count();

// What the runtime needs from the shell: its pause menu and the keys of a
// running program. The shell fills it in at start-up; the defaults do
// nothing (a console without a pause button or keyboard).
struct orbo_shell_link {
    void (*update_paused_menu)();   // checks the pause button, opens the menu
    void (*pause_menu_keys)();      // the pause keys of each program frame
    void (*running_keypresses)();   // typed keys while a program runs
    void (*open_paused_menu)();     // extcmd("pause"): builds and opens the menu
};
extern orbo_shell_link orbo_shell_hooks;
