// Display and host window: palette, presentation, destination rectangle,
// fps counter, fullscreen switching.
#include "platform/video.h"

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/log.h"

kiln_bitmap_ptr kiln_back_page;
kiln_palette kiln_display_palette;
kiln_palette kiln_black_palette;
int kiln_screen_mode = 1;
kiln_screen_rec kiln_screen;

namespace {
int g_desktop_w = 0, g_desktop_h = 0;
int32_t g_fps = 0;
bool g_fps_started = false;
uint32_t g_fps_last = 0;
kiln_bitmap_ptr g_icon;
std::vector<uint32_t> g_argb;  // the back page converted for presentation
uint32_t g_fps_strip[128 * 8];
bool g_first_presented = false;
// The last picture presented. An unchanged picture in an unchanged window is
// not presented again: the window still shows it, and at the console screen
// this saves nearly all of the idle CPU time.
std::vector<uint32_t> g_shown;
kiln_rect g_shown_rect;
bool g_must_present = true;

kiln_host* host() { return kiln_host_get(); }

int g_opened_w = 0, g_opened_h = 0;  // the windowed size as opened

int open_window()
{
    kiln_window_desc d;
    d.w = cconfig.window_w;
    d.h = cconfig.window_h;
    d.fullscreen = kiln_screen_mode == 1;
    if (d.fullscreen && cconfig.pixel_perfect == 1 && g_desktop_w > 0) {
        d.w = g_desktop_w;
        d.h = g_desktop_h;
    }
    if (d.w < 32 || d.h < 32) d.w = 640, d.h = 480;
    d.x = cconfig.window_x;
    d.y = cconfig.window_y;
    d.fullscreen_method = cconfig.fullscreen_method;
    d.frameless = cconfig.frameless != 0;
    d.software = cconfig.software_blit != 0;
    d.pixel_perfect = cconfig.pixel_perfect == 1;
    d.tex_w = kiln_back_page ? kiln_back_page->w : 128;
    d.tex_h = kiln_back_page ? kiln_back_page->h : 128;
    d.title = kiln_state.title;
    g_must_present = true;
    int r = host()->open_window(d);
    if (r < 0) kiln_fatal("Unable to create window");
    if (!d.fullscreen) host()->window_size(&g_opened_w, &g_opened_h);
    if (r == 1) {
        kiln_debug(" could not create sdl_renderer! dropping down to software_blit\n");
        cconfig.software_blit = 1;
    }
    if (g_icon) host()->set_icon(g_icon.get());
    return 0;
}

// 3x5 glyphs for the fps counter, one row per 3 low bits, top row first.
struct glyph { char ch; uint8_t rows[5]; };
const glyph small_font[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}},
    {'3', {7, 1, 3, 1, 7}}, {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}},
    {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 2, 2}}, {'8', {7, 5, 7, 5, 7}},
    {'9', {7, 5, 7, 1, 7}}, {'f', {3, 4, 6, 4, 4}}, {'p', {7, 5, 7, 4, 4}},
    {'s', {3, 4, 2, 1, 6}},
};

template <typename Plot>
void draw_small_text(const char* text, int x, int y, Plot plot)
{
    for (; *text; text++, x += 4) {
        for (const glyph& g : small_font) {
            if (g.ch != *text) continue;
            for (int r = 0; r < 5; r++)
                for (int c = 0; c < 3; c++)
                    if (g.rows[r] & (4 >> c)) plot(x + c, y + r);
        }
    }
}
}  // namespace

kiln_rect kiln_compute_dest_rect(const kiln_dest_params& p)
{
    if (p.draw_rect && p.draw_rect[2] > 0 && p.draw_rect[3] > 0)
        return {p.draw_rect[0], p.draw_rect[1], p.draw_rect[2], p.draw_rect[3]};
    if (p.ww <= 0 || p.wh <= 0 || p.bw <= 0 || p.bh <= 0) return {0, 0, 0, 0};
    if (p.pixel_perfect) {
        int k = 1;
        while ((k + 1) * p.bw <= p.ww && (k + 1) * p.bh <= p.wh) k++;
        int w = k * p.bw, h = k * p.bh;
        return {(p.ww - w) / 2, (p.wh - h) / 2, w, h};
    }
    if (float(p.bw) / float(p.bh) > float(p.ww) / float(p.wh)) {
        int h = int(int64_t(p.ww) * p.bh / p.bw);
        return {0, (p.wh - h) / 2, p.ww, h};
    }
    int w = int(int64_t(p.wh) * p.bw / p.bh);
    return {(p.ww - w) / 2, 0, w, p.wh};
}

void kiln_build_argb_table(const kiln_palette& pal, uint32_t table[256])
{
    for (int i = 0; i < 256; i++)
        table[i] = 0xFF000000u + uint32_t(pal.rgb[i * 3]) * 0x10000u +
                   uint32_t(pal.rgb[i * 3 + 1]) * 0x100u + pal.rgb[i * 3 + 2];
}

int32_t kiln_smooth_fps(int32_t smoothed, int64_t dt_ms)
{
    int32_t instant = dt_ms > 0 ? ((1000 / int32_t(dt_ms < 1000 ? dt_ms : 1000)) + 1) << 16
                                : 1001 << 16;
    int32_t s = int32_t((int64_t(smoothed) * 15 + instant) / 16);
    if (s < instant) s = s + 4096 > instant ? instant : s + 4096;
    else if (s > instant) s = s - 4096 < instant ? instant : s - 4096;
    return s;
}

void kiln_scale_nearest(const uint32_t* src, int sw, int sh, uint32_t* dst, int dw, int dh,
                        int dpitch, kiln_rect r)
{
    for (int y = 0; y < dh; y++) memset(dst + size_t(y) * dpitch, 0, size_t(dw) * 4);
    if (r.w <= 0 || r.h <= 0 || sw <= 0 || sh <= 0) return;
    int64_t step = (int64_t(sw) << 16) / r.w;
    for (int row = 0; row < r.h; row++) {
        int y = r.y + row;
        if (y < 0 || y >= dh) continue;
        const uint32_t* s = src + size_t(int64_t(sh) * row / r.h) * sw;
        uint32_t* d = dst + size_t(y) * dpitch;
        int64_t sx = 0;
        for (int col = 0; col < r.w; col++, sx += step) {
            int x = r.x + col;
            if (x >= 0 && x < dw) d[x] = s[sx >> 16];
        }
    }
}

void kiln_draw_fps_strip(uint32_t strip[128 * 8], int fps)
{
    for (int i = 0; i < 128 * 8; i++) strip[i] = 0xFF000000u;
    char text[32];
    snprintf(text, sizeof text, "%03d fps", fps);
    draw_small_text(text, 1, 1, [&](int x, int y) {
        if (x >= 0 && x < 128 && y >= 0 && y < 8) strip[y * 128 + x] = 0xFFFFFFFFu;
    });
}

void kiln_draw_fps_outlined(uint32_t* pic, int w, int h, int fps)
{
    char text[32];
    snprintf(text, sizeof text, "%03d fps", fps);
    auto put = [&](int x, int y, uint32_t c) {
        if (x >= 0 && x < w && y >= 0 && y < h) pic[size_t(y) * w + x] = c;
    };
    // Black outline first, then the white text over it.
    draw_small_text(text, 2, 2, [&](int x, int y) {
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++) put(x + dx, y + dy, 0xFF000000u);
    });
    draw_small_text(text, 2, 2, [&](int x, int y) { put(x, y, 0xFFFFFFFFu); });
}

void kiln_video_init()
{
    for (int i = 0; i < 256; i++) {
        for (int c = 0; c < 3; c++) {
            kiln_display_palette.rgb[i * 3 + c] = uint8_t(i);
            kiln_black_palette.rgb[i * 3 + c] = 0;
        }
    }
    g_desktop_w = g_desktop_h = 0;
    if (!cconfig.headless) host()->desktop_size(&g_desktop_w, &g_desktop_h);
}

void kiln_video_remember_window()
{
    if (cconfig.headless || kiln_screen_mode != 0 || g_opened_w <= 0) return;
    int w = 0, h = 0, x = -1, y = -1;
    host()->window_size(&w, &h);
    // Only a size the user changed is written: an opening size given on
    // the command line stays out of the file.
    if (w >= 32 && h >= 32 && (w != g_opened_w || h != g_opened_h)) {
        cconfig_file.window_w = w;
        cconfig_file.window_h = h;
    }
    host()->window_position(&x, &y);
    if (x >= 0 && y >= 0) {
        cconfig.window_x = x;
        cconfig.window_y = y;
    }
}

void kiln_video_exit()
{
    kiln_back_page.reset();
    g_icon.reset();
    g_argb.clear();
    if (!cconfig.headless) host()->close_window();
}

int kiln_set_screen(int w, int h, int depth, int flags)
{
    kiln_debug("kiln_set_screen %d %d %d %x\n", w, h, depth, flags);
    if (cconfig.pixel_perfect == -1) {
        cconfig.pixel_perfect = h < 480 ? 1 : 0;
        kiln_debug(" set pixel_perfect %d\n", cconfig.pixel_perfect);
    }
    if (w == 0 || h == 0) {
        w = g_desktop_w;
        h = g_desktop_h;
        kiln_debug("retrieving desktop resolution: %d %d\n", w, h);
    }
    if (kiln_state.window_size_requested) {
        if (cconfig.window_w < 32 || cconfig.window_h < 32) {
            cconfig.window_w = 640;
            cconfig.window_h = 480;
        }
        kiln_debug(" window size: %d %d\n", cconfig.window_w, cconfig.window_h);
    } else {
        cconfig.window_w = w;
        cconfig.window_h = h;
    }
    if (flags & 0x100) {
        if (cconfig.windowed) kiln_screen_mode = 0;
    }
    if (flags & 4) kiln_screen_mode = 0;
    if (flags & 8) kiln_screen_mode = 1;

    if (!kiln_back_page || kiln_back_page->w != w || kiln_back_page->h != h ||
        kiln_back_page->depth != depth) {
        kiln_back_page = kiln_create_bitmap(w, h, depth);
        if (!kiln_back_page) return 1;
    }
    if (!cconfig.headless) {
        int r = open_window();
        if (r) return r;
    }
    kiln_screen = {cconfig.window_w, cconfig.window_h, depth, 0, cconfig.window_w, 0,
                   cconfig.window_h};
    return 0;
}

void kiln_set_palette(const kiln_palette* pal)
{
    if (pal && pal != &kiln_display_palette) kiln_display_palette = *pal;
}

kiln_rect get_dest_rect()
{
    int ww = 0, wh = 0;
    if (!cconfig.headless) host()->window_size(&ww, &wh);
    kiln_dest_params p{kiln_back_page ? kiln_back_page->w : 0, kiln_back_page ? kiln_back_page->h : 0,
                       ww, wh, cconfig.pixel_perfect == 1, cconfig.draw_rect};
    return kiln_compute_dest_rect(p);
}

void kiln_blit_back_page()
{
    uint32_t now = host()->ticks();
    int64_t dt = g_fps_started ? int64_t(now) - int64_t(g_fps_last) : 0;
    g_fps_started = true;
    g_fps_last = now;
    g_fps = kiln_smooth_fps(g_fps, dt);

    if (cconfig.headless || !kiln_back_page) return;
    const kiln_bitmap& bp = *kiln_back_page;
    g_argb.resize(size_t(bp.w) * bp.h);
    if (bp.depth == 8) {
        uint32_t table[256];
        kiln_build_argb_table(kiln_display_palette, table);
        for (size_t i = 0; i < g_argb.size(); i++) g_argb[i] = table[bp.pixels[i]];
    } else {
        memcpy(g_argb.data(), bp.pixels.data(), g_argb.size() * 4);
    }
    kiln_rect r = get_dest_rect();
    const uint32_t* fps = nullptr;
    if (cconfig.show_fps) {
        if (cconfig.software_blit) {
            kiln_draw_fps_outlined(g_argb.data(), bp.w, bp.h, kiln_get_fps());
        } else if (r.w >= 128 && r.h >= 8) {
            kiln_draw_fps_strip(g_fps_strip, kiln_get_fps());
            fps = g_fps_strip;
        }
    }
    bool refresh = host()->take_refresh();
    if (!refresh && !g_must_present && !fps && r == g_shown_rect && g_argb == g_shown) return;
    host()->present(g_argb.data(), bp.w, bp.h, r, fps);
    g_shown = g_argb;
    g_shown_rect = r;
    g_must_present = false;
    if (!g_first_presented) {
        g_first_presented = true;
        kiln_debug("first frame presented %d ms after start (%d ms of CPU)\n",
                   kiln_ms_since_start(), int(int64_t(clock()) * 1000 / CLOCKS_PER_SEC));
    }
}

int kiln_get_fps() { return g_fps >> 16; }

void kiln_toggle_fullscreen() { kiln_set_windowed(kiln_screen_mode == 1 ? 1 : 0); }

void kiln_set_windowed(int flag)
{
    if (cconfig.headless) return;
    kiln_screen_mode = flag ? 0 : 1;
    open_window();
}

int kiln_get_windowed() { return kiln_screen_mode == 0 ? 1 : 0; }

void kiln_set_window_title(const char* title)
{
    snprintf(kiln_state.window_title, sizeof kiln_state.window_title, "%s", title ? title : "");
    kiln_state.title = kiln_state.window_title;
    if (!cconfig.headless) host()->set_title(kiln_state.window_title);
}

void kiln_set_window_icon(const kiln_bitmap* bm)
{
    if (!bm || bm->depth != 32) return;
    g_icon = std::make_unique<kiln_bitmap>(*bm);
    if (!cconfig.headless) host()->set_icon(g_icon.get());
}

void kiln_set_window_size(int w, int h)
{
    cconfig.window_w = w;
    cconfig.window_h = h;
    kiln_state.window_size_requested = true;
}

bool kiln_is_app_active() { return !cconfig.headless && host()->has_focus(); }
