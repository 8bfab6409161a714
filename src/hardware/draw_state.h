// The draw state as the primitives use it: the colour argument, the drawn
// value, the fill pattern, and the draw-state calls (pal, palt, color,
// cursor, camera, clip, fillp). Arguments arrive converted: coordinates as
// integer parts, colours and patterns as raw 16.16 values, truth values as
// bools; nargs is the number of arguments the script gave.
#pragma once
#include <cstdint>

struct orbo_machine;

// The colour argument: with `given`, bits 16-23 of raw become the pen
// colour (and, while 0x5F34 holds 1 and raw bit 28 is set, raw's fraction
// bits the fill pattern with raw bit 24 as its transparency). Without it,
// the pen colour. Returns the colour byte.
int orbo_colour_arg(orbo_machine* c, bool given, int32_t raw);
// Both nibbles of a colour byte through the draw palette.
int orbo_drawn_value(const orbo_machine* c, int col);
// The pattern bit of screen pixel (x, y): bit 15 is the top-left of each 4x4 cell.
inline int orbo_pattern_bit(uint32_t pattern, int x, int y)
{
    return int(pattern >> ((3 - (y & 3)) * 4 + (3 - (x & 3)))) & 1;
}
constexpr uint32_t ORBO_FILL_TRANSPARENT = 0x10000;

// Coordinates beyond this magnitude cannot come from a script (integer
// parts of 16.16 values and a 16-bit camera); primitives clamp to it so
// that no hostile caller overflows their arithmetic.
constexpr int32_t ORBO_COORD_MAX = 1 << 24;
int32_t orbo_coord(int64_t v);

void orbo_pal(orbo_machine* c, int nargs, int c0, int c1, int p);
void orbo_palt(orbo_machine* c, int nargs, int col, bool t);
void orbo_color(orbo_machine* c, int nargs, int32_t raw);
void orbo_cursor(orbo_machine* c, int nargs, int x, int y);
void orbo_camera(orbo_machine* c, int nargs, int x, int y);
void orbo_clip(orbo_machine* c, int nargs, int x, int y, int w, int h);
void orbo_fillp(orbo_machine* c, int nargs, int32_t raw);
