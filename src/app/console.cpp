// Console text: printing, wrapping and scrolling.
#include "app/console.h"

#include <cstdio>
#include <cstring>

#include "app/seams.h"
#include "app/state.h"

namespace {
kiln_font_ptr g_font;

void draw_text(const char* text, int x, int y, int col)
{
    if (!g_font || !pstate.screen) return;
    kiln_draw_text_ex(pstate.screen.get(), text, g_font.get(), x, y, KILN_TEXT_VALUE, col);
}
}  // namespace

void orbo_console_set_font(kiln_font_ptr font) { g_font = std::move(font); }
const kiln_font* orbo_console_font() { return g_font.get(); }

void orbo_console_rectfill(int x0, int y0, int x1, int y1, int col)
{
    kiln_bitmap* s = pstate.screen.get();
    if (!s) return;
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > s->w - 1) x1 = s->w - 1;
    if (y1 > s->h - 1) y1 = s->h - 1;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) s->row(y)[x] = uint8_t(col);
}

void orbo_console_clear(int col)
{
    if (pstate.screen) orbo_console_rectfill(0, 0, 127, 127, col);
    pstate.cursor_x = 0;
    pstate.cursor_y = 0;
}

void cursor_cr()
{
    if (pstate.cursor_y + ORBO_LINE_HEIGHT < ORBO_LAST_LINE + 1) {
        pstate.cursor_y += ORBO_LINE_HEIGHT;
        return;
    }
    kiln_bitmap* s = pstate.screen.get();
    if (s) {
        for (int y = 0; y < 128 - ORBO_LINE_HEIGHT; y++)
            memcpy(s->row(y), s->row(y + ORBO_LINE_HEIGHT), 128);
        orbo_console_rectfill(0, 128 - ORBO_LINE_HEIGHT, 127, 127, 0);
    }
    orbo_spend_cpu_seam(ORBO_SCROLL_CYCLES);
    if (pstate.cursor_y > ORBO_LAST_LINE) pstate.cursor_y = ORBO_LAST_LINE;
}

void orbo_print_col(const char* text, int col)
{
    if (!text) text = "";
    if (pstate.exec_mode && pstate.app_mode != MODE_RUNNING) {
        printf("** %s\n", text);
        fflush(stdout);
        return;
    }
    int n = int(strlen(text));
    int rows = (n + ORBO_CONSOLE_COLUMNS - 1) / ORBO_CONSOLE_COLUMNS;
    int wraps = n >= ORBO_CONSOLE_COLUMNS + 1 ? (n - 1) / ORBO_CONSOLE_COLUMNS : 0;
    // Make room below for every row first, so the whole text stays visible.
    for (int i = 0; i < wraps; i++) cursor_cr();
    pstate.cursor_y -= wraps * ORBO_LINE_HEIGHT;

    int y = pstate.cursor_y;
    orbo_console_rectfill(0, y, 127, y + ORBO_LINE_HEIGHT * rows - 1, 0);
    char row[ORBO_CONSOLE_COLUMNS + 1];
    for (int r = 0; r < rows; r++) {
        int len = n - r * ORBO_CONSOLE_COLUMNS;
        if (len > ORBO_CONSOLE_COLUMNS) len = ORBO_CONSOLE_COLUMNS;
        memcpy(row, text + r * ORBO_CONSOLE_COLUMNS, size_t(len));
        row[len] = 0;
        for (int i = 0; i < len; i++)
            if (row[i] == '\n' || row[i] == 127) row[i] = ' ';  // keep the row on one line
        draw_text(row, pstate.cursor_x, y + r * ORBO_LINE_HEIGHT, col);
    }
    pstate.cursor_y += wraps * ORBO_LINE_HEIGHT;
    cursor_cr();
}

void orbo_print(const char* text) { orbo_print_col(text, 6); }

void orbo_print_2_col(const char* fmt, int a, int b, int col)
{
    char buf[4096];
    snprintf(buf, sizeof buf, fmt, a, b);
    orbo_print_col(buf, col);
}

void orbo_print_2(const char* fmt, int a, int b) { orbo_print_2_col(fmt, a, b, 6); }
