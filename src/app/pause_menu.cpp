// The pause menu: opening, rows, keys and drawing.
#include "app/pause_menu.h"

#include "app/state.h"
#include "hardware/buttons.h"
#include "hardware/machine.h"
#include "hardware/mem.h"
#include "platform/font.h"
#include "platform/keys.h"
#include "platform/kiln.h"
#include "platform/pod.h"
#include "platform/video.h"
#include "runtime/pause_state.h"
#include "runtime/pstate.h"
#include "runtime/run_chain.h"

namespace {
orbo_pause_row g_rows[ORBO_PAUSE_ROOM];
int g_count = 0;

constexpr int k_suppress_addr = 0x5F30;
constexpr int k_pointer_item = 245;
constexpr int k_up = 2, k_down = 3, k_o = 4, k_x = 5, k_pause = 6;

// The darkening under the menu: each colour to a dim one of the console's.
constexpr uint8_t k_darken[16] = {0, 0, 1, 1, 0, 0, 1, 5, 1, 5, 5, 5, 1, 1, 1, 5};

void close_menu()
{
    orbo_pause().menu_open = false;
    block_buttons();
}

// The pause button's press is the menu's: it must not reach the program.
void keep_pause_from_program()
{
    orbo_button_tables& t = orbo_buttons();
    for (int p = 0; p < ORBO_PLAYERS; p++) {
        int i = p * ORBO_PAD_BUTTONS + k_pause;
        t.down[i] = t.previous[i] = 1;
        t.pressed[i] = 0;
    }
}

void choose(int row)
{
    orbo_pause_state& ps = orbo_pause();
    int action = g_rows[row].action;
    keep_pause_from_program();
    if (action > PAUSE_CUSTOM && action <= PAUSE_CUSTOM + ORBO_MENU_ITEMS) {
        ps.selected[action - PAUSE_CUSTOM] = true;
        close_menu();
    } else if (action == PAUSE_RESET) {
        close_menu();
        orbo_reset_glitch = 1;
    } else if (action == PAUSE_CHAIN) {
        follow_current_breadcrumb();
        if (!ps.menu_open) block_buttons();
    } else if (action == PAUSE_QUIT) {
        kiln_quit = true;
    } else {
        close_menu();
    }
}

bool pause_pressed()
{
    for (int p = 0; p < ORBO_PLAYERS; p++)
        if (orbo_buttons().pressed[p * ORBO_PAD_BUTTONS + k_pause]) return true;
    return false;
}

void fill_map(kiln_bitmap* b, int x0, int y0, int x1, int y1)
{
    for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < b->h; y++)
        for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < b->w; x++) b->row(y)[x] = k_darken[b->row(y)[x] & 15];
}

void outline(kiln_bitmap* b, int x0, int y0, int x1, int y1, int col)
{
    for (int x = x0; x <= x1; x++) {
        if (x < 0 || x >= b->w) continue;
        if (y0 >= 0 && y0 < b->h) b->row(y0)[x] = uint8_t(col);
        if (y1 >= 0 && y1 < b->h) b->row(y1)[x] = uint8_t(col);
    }
    for (int y = y0; y <= y1; y++) {
        if (y < 0 || y >= b->h) continue;
        if (x0 >= 0 && x0 < b->w) b->row(y)[x0] = uint8_t(col);
        if (x1 >= 0 && x1 < b->w) b->row(y)[x1] = uint8_t(col);
    }
}

void draw_pointer(kiln_bitmap* b, int x0, int y0)
{
    const kiln_bitmap* p = kiln_pod_bitmap(shell.resources.get(), k_pointer_item);
    if (!p || p->depth != 8) return;
    for (int y = 0; y < p->h; y++)
        for (int x = 0; x < p->w; x++)
            if (p->row(y)[x] && x0 + x < b->w && y0 + y < b->h && y0 + y >= 0) b->row(y0 + y)[x0 + x] = p->row(y)[x];
}
}  // namespace

int orbo_pause_rows(const orbo_pause_row** rows)
{
    *rows = g_rows;
    return g_count;
}

void add_paused_menu_item(const char* label, int action)
{
    if (g_count >= ORBO_PAUSE_ROOM) return;
    g_rows[g_count].label.assign(label, 0, ORBO_PAUSE_LABEL);
    g_rows[g_count].action = action;
    g_count++;
}

void build_paused_menu()
{
    g_count = 0;
    orbo_for_each_menu_row(add_paused_menu_item);
}

void orbo_open_paused_menu()
{
    build_paused_menu();
    orbo_pause().menu_open = true;
    orbo_pause().menu_selected = 0;
}

void orbo_update_paused_menu()
{
    if (!orbo_program_running() || orbo_pause().menu_open || !pause_pressed()) return;
    orbo_machine* c = orbo_live_machine();
    if (c && orbo_peek(c, c->cart, k_suppress_addr) == 1) orbo_poke(c, c->cart, k_suppress_addr, 0);
    else orbo_open_paused_menu();
    kiln_block_key(KILN_SC_ESCAPE);
    block_buttons();
}

void orbo_pause_menu_keys()
{
    orbo_pause_state& ps = orbo_pause();
    if (!ps.menu_open || g_count == 0) return;
    int& sel = ps.menu_selected;
    if (button_pressed(k_up, 0)) sel = (sel + g_count - 1) % g_count;
    if (button_pressed(k_down, 0)) sel = (sel + 1) % g_count;
    if (sel < 0 || sel >= g_count) sel = 0;
    if (button_pressed(k_o, 0) || button_pressed(k_x, 0) || button_pressed(k_pause, 0)) choose(sel);
}

void orbo_draw_pause_menu()
{
    kiln_bitmap* b = kiln_back_page.get();
    if (!b || b->depth != 8) return;
    int h = (8 * g_count + 8) / 2;
    fill_map(b, 23, 63 - h, 104, h + 64);
    outline(b, 24, 64 - h, 103, h + 63, 7);
    const kiln_font* font = orbo_console_font();
    int sel = orbo_pause().menu_selected;
    for (int i = 0; i < g_count; i++) {
        int y = 70 - h + 8 * i;
        if (font) kiln_draw_text_ex(b, g_rows[i].label.c_str(), font, i == sel ? 35 : 34, y, KILN_TEXT_VALUE, 7);
        if (i == sel) draw_pointer(b, 25, y - 1);
    }
}
