// Bitmap fonts loaded from a font pod, and the text layout every console
// text goes through.
//
// Font pod layout:
//   item 0      byte buffer named "font": byte 0 the first character code,
//               byte 1 the last (inclusive), byte 2 the spacing in pixels
//               added after every glyph; further bytes are ignored.
//   item 1 + i  8-bit bitmap, the glyph of character first + i; a non-zero
//               pixel is ink. The bitmap's size is the glyph's size, so a
//               blank glyph (space) is a bitmap of zeros.
// A glyph item that is missing or not a bitmap leaves its character out of
// the font (it draws nothing and does not advance).
#pragma once
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/pod.h"

struct kiln_font {
    int first = 0, last = -1;  // character range, inclusive
    int spacing = 1;
    int height = 0;  // tallest glyph: the height of a line that has no glyph
    std::vector<kiln_bitmap_ptr> glyphs;  // glyphs[c - first], may be empty
};

using kiln_font_ptr = std::unique_ptr<kiln_font>;

// Nothing when the pod has no font header.
kiln_font_ptr kiln_load_font(const kiln_pod* pod);
// The inverse: a font pod with the layout above (the font is copied).
kiln_pod_ptr kiln_font_to_pod(const kiln_font* font);
// The glyph of character c, or nothing when c is outside the font.
const kiln_bitmap* kiln_font_glyph(const kiln_font* font, int c);

enum kiln_text_flags : int {
    KILN_TEXT_VALUE = 1,  // write `value` for each ink pixel (else the glyph's pixel)
    KILN_TEXT_WRAP = 16,  // start a new line before a glyph crossing the clip's right edge
};

// Draws text at (x, y) into dst (8- or 32-bit; none only lays out) within
// its clip rectangle. Each character selects a glyph and the pen advances
// by its width plus the spacing; character 10 returns to x and moves down
// by the tallest glyph height on that line plus 1; 127 or 0 ends the text.
// Returns the y of the last line.
int kiln_draw_text_ex(kiln_bitmap* dst, const char* text, const kiln_font* font, int x, int y,
                      int flags, int value);
// The width in pixels of the widest line (trailing spacing not counted).
int kiln_text_width(const char* text, const kiln_font* font);
