#include "app/pause_items.h"

orbo_pause_items& orbo_menu_items()
{
    static orbo_pause_items items;
    return items;
}

void orbo_clear_menu_items() { orbo_menu_items() = orbo_pause_items{}; }
