// The display: the back page the application draws each pass, the 256-entry
// display palette, conversion to ARGB, the destination rectangle inside the
// window, the smoothed frames-per-second counter, and window (re)creation
// through the host. Nothing reaches the host when the settings say headless.
#pragma once
#include <cstdint>

#include "platform/bitmap.h"
#include "platform/host.h"
#include "platform/pod.h"

extern kiln_bitmap_ptr kiln_back_page;
extern kiln_palette kiln_display_palette;  // the framework's kiln_palette
extern kiln_palette kiln_black_palette;    // all black, for fades
extern int kiln_screen_mode;               // 0 windowed, 1 fullscreen; starts at 1

struct kiln_screen_rec {
    int w = 0, h = 0, depth = 0;
    int clip_x0 = 0, clip_x1 = 0, clip_y0 = 0, clip_y1 = 0;
};
extern kiln_screen_rec kiln_screen;

void kiln_video_init();
// At exit, before the settings are saved: a window the user resized or
// moved keeps its size and place in the settings file.
void kiln_video_remember_window();
void kiln_video_exit();
int kiln_set_screen(int w, int h, int depth, int flags);
void kiln_set_palette(const kiln_palette* pal);
void kiln_blit_back_page();
int kiln_get_fps();
void kiln_toggle_fullscreen();
void kiln_set_windowed(int flag);
int kiln_get_windowed();
void kiln_set_window_title(const char* title);
void kiln_set_window_icon(const kiln_bitmap* bm);
void kiln_set_window_size(int w, int h);
bool kiln_is_app_active();
// Destination rectangle of the back page in the current window.
kiln_rect get_dest_rect();

// Pure pieces, shared with tests.
struct kiln_dest_params {
    int bw, bh, ww, wh;
    bool pixel_perfect;
    const int* draw_rect;  // x, y, w, h; used when w and h are above 0
};
kiln_rect kiln_compute_dest_rect(const kiln_dest_params& p);
// 0xFF000000 + r * 0x10000 + g * 0x100 + b for every entry.
void kiln_build_argb_table(const kiln_palette& pal, uint32_t table[256]);
// Smoothed frames per second (16.16) after a pass that took dt_ms.
int32_t kiln_smooth_fps(int32_t smoothed, int64_t dt_ms);
// Nearest-neighbour copy of a w x h ARGB picture into a surface (pitch in
// pixels) at dest, clipped to the surface; the surface is cleared first.
void kiln_scale_nearest(const uint32_t* src, int sw, int sh, uint32_t* dst, int dw, int dh,
                        int dpitch, kiln_rect dest);
// "%03d fps" in a small built-in font into a 128x8 ARGB strip (cleared to
// black), or outlined in white onto a picture of width w at (1,1).
void kiln_draw_fps_strip(uint32_t strip[128 * 8], int fps);
void kiln_draw_fps_outlined(uint32_t* pic, int w, int h, int fps);
