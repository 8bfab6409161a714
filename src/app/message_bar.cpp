#include "app/message_bar.h"

#include <cstdio>
#include <cstring>

#include "app/state.h"
#include "hardware/machine.h"
#include "platform/kiln.h"
#include "platform/video.h"

namespace {
constexpr uint32_t k_slide_ms = 200;

uint32_t now_ms()
{
    kiln_host* host = kiln_host_get();
    return host ? host->ticks() : 0;
}

void set_message(const char* text, uint32_t end)
{
    snprintf(app.message, sizeof app.message, "%s", text ? text : "");
    app.message_start = now_ms();
    app.message_end = end;
    app.message_col = app.message_col == 15 ? 7 : 15;
}

void fill(kiln_bitmap* b, int x0, int y0, int x1, int y1, int col)
{
    for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < b->h; y++)
        for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < b->w; x++) b->row(y)[x] = uint8_t(col);
}

// Pixels the bar sits below its place: sliding in during the first 200 ms,
// out during the last 200 ms.
int slide_offset(uint32_t now)
{
    if (app.message_start == 0) return 0;
    if (now - app.message_start < k_slide_ms) return int(app.message_start + k_slide_ms - now) / 20;
    if (app.message_end - now < k_slide_ms) return int(now - app.message_end + k_slide_ms) / 20;
    return 0;
}
}  // namespace

void orbo_show_message(const char* text, int ms) { set_message(text, now_ms() + uint32_t(ms) + 400); }

void orbo_show_standard_message(const char* text, int ms) { set_message(text, now_ms() + uint32_t(ms)); }

void orbo_draw_message_bar()
{
    kiln_bitmap* page = kiln_back_page.get();
    uint32_t now = now_ms();
    if (!page || int32_t(app.message_end - now) <= 0) return;
    const kiln_font* font = orbo_console_font();
    int off = slide_offset(now);
    bool mouse = strcmp(app.message, "devkit mouse enabled") == 0;
    if (mouse || strcmp(app.message, "devkit keyboard enabled") == 0) {
        fill(page, 0, 119 + off, 101, 127 + off, 0);
        fill(page, 1, 120 + off, mouse ? 100 : 127, 126 + off, 6);
        if (font) kiln_draw_text_ex(page, app.message, font, 16, off + 120, KILN_TEXT_VALUE, 1);
        return;
    }
    fill(page, 0, 121 + off, 127, 127 + off, 8);
    if (font) kiln_draw_text_ex(page, app.message, font, 1, 122 + off, KILN_TEXT_VALUE, app.message_col);
}
