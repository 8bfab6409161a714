// Console text: printing, wrapping and scrolling on the one console.
#include "hardware/console.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "hardware/machine.h"
#include "hardware/gfx.h"
#include "hardware/runtime_link.h"

namespace {
void draw_text(const char* text, int x, int y, int col)
{
    const kiln_font* font = orbo_console_font();
    if (!font) return;
    kiln_draw_text_ex(orbo_console_screen(), text, font, x, y, KILN_TEXT_VALUE, col);
}
}  // namespace

kiln_bitmap* orbo_console_screen() { return orbo_live_machine()->screen.get(); }

void orbo_console_rectfill(int x0, int y0, int x1, int y1, int col)
{
    kiln_bitmap* s = orbo_console_screen();
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > s->w - 1) x1 = s->w - 1;
    if (y1 > s->h - 1) y1 = s->h - 1;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) s->row(y)[x] = uint8_t(col);
}

void orbo_console_clear(int col)
{
    orbo_console_rectfill(0, 0, 127, 127, col);
    orbo_live_machine()->cursor_x = 0;
    orbo_live_machine()->cursor_y = 0;
}

void cursor_cr()
{
    orbo_machine* c = orbo_live_machine();
    cursor_cr(c);
    if (c->cursor_y > ORBO_LAST_LINE) c->cursor_y = ORBO_LAST_LINE;
}

void orbo_print_col(const char* text, int col)
{
    if (!text) text = "";
    // A format's trailing newline ends the line; it is not an empty line.
    std::string line(text);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    text = line.c_str();
    if (orbo_runtime_hooks.console_to_stdout()) {
        printf("** %s\n", text);
        fflush(stdout);
        return;
    }
    orbo_machine* c = orbo_live_machine();
    int n = int(strlen(text));
    int rows = (n + ORBO_CONSOLE_COLUMNS - 1) / ORBO_CONSOLE_COLUMNS;
    int wraps = n >= ORBO_CONSOLE_COLUMNS + 1 ? (n - 1) / ORBO_CONSOLE_COLUMNS : 0;
    // Make room below for every row first, so the whole text stays visible.
    cursor_cr_n(c, wraps);
    if (c->cursor_y > ORBO_LAST_LINE) c->cursor_y = ORBO_LAST_LINE;
    c->cursor_y -= wraps * ORBO_LINE_HEIGHT;

    int y = c->cursor_y;
    orbo_console_rectfill(0, y, 127, y + ORBO_LINE_HEIGHT * rows - 1, 0);
    char row[ORBO_CONSOLE_COLUMNS + 1];
    // Rows above the screen are scrolled out already: the first drawn is
    // the first that shows (a long text costs its visible rows only).
    int first_row = y < -ORBO_LINE_HEIGHT ? (-y) / ORBO_LINE_HEIGHT - 1 : 0;
    for (int r = first_row; r < rows; r++) {
        int len = n - r * ORBO_CONSOLE_COLUMNS;
        if (len > ORBO_CONSOLE_COLUMNS) len = ORBO_CONSOLE_COLUMNS;
        memcpy(row, text + r * ORBO_CONSOLE_COLUMNS, size_t(len));
        row[len] = 0;
        for (int i = 0; i < len; i++)
            if (row[i] == '\n' || row[i] == 127) row[i] = ' ';  // keep the row on one line
        draw_text(row, c->cursor_x, y + r * ORBO_LINE_HEIGHT, col);
    }
    c->cursor_y += wraps * ORBO_LINE_HEIGHT;
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
