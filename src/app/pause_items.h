// The cartridge's own pause-menu items: five labels (at most 16 characters,
// empty when unused) and, for each, whether the user chose it since the
// program last asked (`_get_menu_item_selected` clears it).
#pragma once
#include <string>

constexpr int ORBO_MENU_ITEMS = 5;

struct orbo_pause_items {
    std::string label[ORBO_MENU_ITEMS + 1];  // 1..5 used
    bool selected[ORBO_MENU_ITEMS + 1] = {};
};

orbo_pause_items& orbo_menu_items();
// Clears all labels and selected flags (every cartridge run).
void orbo_clear_menu_items();
