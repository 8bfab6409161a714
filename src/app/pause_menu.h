// The pause menu drawn over a running program: "continue", the program's
// own items, "reset cart", the run chain's label, "quit".
#pragma once
#include <string>

#include "runtime/pause_state.h"

constexpr int ORBO_PAUSE_ROOM = 16;  // at most 9 rows are used
constexpr int ORBO_PAUSE_LABEL = 16;

struct orbo_pause_row {
    std::string label;
    int action = PAUSE_CONTINUE;
};

// Rows of the menu as last built.
int orbo_pause_rows(const orbo_pause_row** rows);

void build_paused_menu();
void add_paused_menu_item(const char* label, int action);
// Builds, opens and selects row 0.
void orbo_open_paused_menu();
// Checks the pause button of a running program (0x5f30 holding 1 skips one
// opening).
void orbo_update_paused_menu();
// One paused frame: up and down move, O, X or pause choose.
void orbo_pause_menu_keys();
// Over the back page: the darkened box, its outline, the rows, the pointer.
void orbo_draw_pause_menu();
