// Console text output: lines printed on the 128x128 console screen in the
// console font, 32 characters to a row, 6 pixels to a line, scrolling up
// when the cursor passes the last line (y 122). In exec mode, while no
// program runs, lines go to standard output as "** text" instead (the
// runtime hook console_to_stdout says when).
//
// There is one console: the screen programs draw on is the screen the
// console prints on, and its cursor and pen are shared with script print.
#pragma once
#include "platform/font.h"

struct orbo_machine;
struct kiln_bitmap;

constexpr int ORBO_CONSOLE_COLUMNS = 32;
constexpr int ORBO_LINE_HEIGHT = 6;
constexpr int ORBO_LAST_LINE = 122;

// The live machine's screen, which the console prints on.
kiln_bitmap* orbo_console_screen();

void orbo_print_col(const char* text, int col);
void orbo_print(const char* text);
void orbo_print_2(const char* fmt, int a, int b);
void orbo_print_2_col(const char* fmt, int a, int b, int col);
// Moves the cursor one line down, scrolling at the bottom (the hardware's
// cursor_cr on the one console).
void cursor_cr();
// Clears the console screen to a colour and puts the cursor at (0,0).
void orbo_console_clear(int col);
// Fills the rectangle (x0,y0)-(x1,y1) inclusive of the console screen.
void orbo_console_rectfill(int x0, int y0, int x1, int y1, int col);
