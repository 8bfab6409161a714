// The drawing primitives. The orbo_ functions are the script calls with
// their arguments already converted (coordinates as integer parts, colours
// as raw 16.16 values, truth values as bools) and nargs the number the
// script gave; they apply the camera, the colour-argument rule and charge
// the CPU. The lower primitives work in screen coordinates and clip against
// the screen bitmap's clip rectangle.
#pragma once
#include <cstdint>

#include "platform/bitmap.h"

struct orbo_machine;

// Screen-coordinate primitives.
void putpixel(kiln_bitmap* screen, int x, int y, int value, uint32_t pattern);
int draw_line(kiln_bitmap* screen, int x0, int y0, int x1, int y1, int value, uint32_t pattern);
void draw_hline(kiln_bitmap* screen, int xa, int xb, int y, int value, uint32_t pattern);
void draw_circle(kiln_bitmap* screen, int cx, int cy, int r, int value, uint32_t pattern);
void draw_fillcircle(kiln_bitmap* screen, int cx, int cy, int r, int value, uint32_t pattern);
// A w x h bitmap (all 0) filled from the sheet rectangle at (sx, sy) through
// the draw palette (whole entries), flipped as asked; outside the sheet stays 0.
kiln_bitmap_ptr orbo_blit(const kiln_bitmap& sheet, const uint8_t* draw_pal, int sx, int sy, int w, int h,
                          bool flip_x, bool flip_y);
// Copies values below 16 to the screen at (x, y).
void orbo_draw_sprite(kiln_bitmap* screen, const kiln_bitmap& src, int x, int y);
// The 8x8 sprite n of the sheet, each pixel through the draw palette, values below 16 written.
void orbo_draw_sprite_pal(kiln_bitmap* screen, const kiln_bitmap& sheet, const uint8_t* draw_pal, int n, int x,
                          int y);
void orbo_stretch_blit(const kiln_bitmap& src, kiln_bitmap* screen, int left, int top, int dw, int dh);
// The area of the rectangle (x, y, w, h) inside the screen clip.
int64_t orbo_clipped_area(const kiln_bitmap* screen, int64_t x, int64_t y, int64_t w, int64_t h);

// Script calls.
void orbo_cls(orbo_machine* c, int nargs, int col);
void orbo_pset(orbo_machine* c, int nargs, int x, int y, int32_t col);
int orbo_pget(orbo_machine* c, int nargs, int x, int y);
void orbo_line(orbo_machine* c, int nargs, int x0, int y0, int x1, int y1, int32_t col);
void orbo_rect(orbo_machine* c, int nargs, int x0, int y0, int x1, int y1, int32_t col);
void orbo_rectfill(orbo_machine* c, int nargs, int x0, int y0, int x1, int y1, int32_t col);
void orbo_circ(orbo_machine* c, int nargs, int x, int y, int r, int32_t col);
void orbo_circfill(orbo_machine* c, int nargs, int x, int y, int r, int32_t col);
// n as the integer part; w and h raw 16.16 (fractions of a sprite count in eighths).
void orbo_spr(orbo_machine* c, int nargs, int n, int x, int y, int32_t w, int32_t h, bool flip_x, bool flip_y);
void orbo_sspr(orbo_machine* c, int nargs, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh,
               bool flip_x, bool flip_y);
void orbo_map(orbo_machine* c, int nargs, int cel_x, int cel_y, int sx, int sy, int cel_w, int cel_h, int layer);
int orbo_sget(orbo_machine* c, int x, int y);
void orbo_sset(orbo_machine* c, int nargs, int x, int y, int col);
int orbo_mget(orbo_machine* c, int x, int y);
void orbo_mset(orbo_machine* c, int x, int y, int v);
// The flag byte, or 0/1 for a bit; -1 when the call returns nothing (no argument).
int orbo_fget(orbo_machine* c, int nargs, int n, int f);
// fset(n, v) with nargs 2 (a2 = v), fset(n, f, v) with 3 (a2 = f, truth = v).
void orbo_fset(orbo_machine* c, int nargs, int n, int a2, bool truth);
// text is the converted first argument (none: nothing happens).
void orbo_print(orbo_machine* c, int nargs, const char* text, int x, int y, int32_t col);
// Moves the print cursor down a line, scrolling the screen at the bottom.
void cursor_cr(orbo_machine* c);
// n line advances at a bounded cost (the screen's content is final after
// the first few dozen scrolls).
void cursor_cr_n(orbo_machine* c, int64_t n);
