// The console state: shadow memory, the registers the hardware interprets,
// the screen bitmap, and the live cartridge record behind the ROM regions.
// Invariants: screen is 128x128 depth 8 and its clip mirrors clip[] clamped
// to 0..128; every register holds what the memory map last decoded into it.
#pragma once
#include <cstdint>
#include <deque>
#include <string>

#include "cart/cart.h"
#include "hardware/lua_alloc.h"
#include "platform/bitmap.h"
#include "platform/font.h"

constexpr int ORBO_MEM_SIZE = 0x8000;
constexpr int ORBO_SCREEN = 128;
constexpr size_t ORBO_TYPED_MAX = 256;

struct orbo_machine {
    uint8_t mem[ORBO_MEM_SIZE] = {};  // shadow memory: every byte written, any region
    uint8_t draw_pal[16] = {};        // full bytes; bit 4 marks sprite transparency
    uint8_t screen_pal[16] = {};
    int32_t clip[4] = {0, 0, 128, 128};  // x0, y0, x1, y1 as the registers hold them
    int32_t pen = 6;
    int32_t cursor_x = 0, cursor_y = 0;
    int32_t camera_x = 0, camera_y = 0;  // signed 16-bit values
    int32_t screen_mode = 0;
    uint32_t fill_pattern = 0;  // bits 0-15 pattern, bit 16 transparency (bit 17 stored, unused)
    int32_t audio_mask[4] = {};
    uint32_t cdata[64] = {};  // persistent cartridge-data words
    bool cdata_dirty = false;
    kiln_bitmap_ptr screen;        // 128x128, one byte per pixel
    orbo_cart* cart = nullptr;     // the live cartridge record (not owned)
    const kiln_font* font = nullptr;  // the console font for print
    bool stopping = false;         // the program is stopping: print wraps at the clip edge
    orbo_heap heap;                // the script heap's charges: orbo_lua_alloc's ud
    // Typed characters for `stat(30)`/`stat(31)`, already in console codes;
    // the shell appends while a program runs and drops beyond ORBO_TYPED_MAX.
    std::deque<uint8_t> typed;
    std::string paste_text;        // clipboard text of the last paste while running (`stat(4)`)
    // The devkit messages are shown once per program run (cleared at every start).
    bool devkit_keyboard_shown = false;
    bool devkit_mouse_shown = false;
};

// A console with a fresh screen and the draw state of a starting program.
// cart may be none until a cartridge is loaded.
std::unique_ptr<orbo_machine> orbo_create_machine(orbo_cart* cart);

// The draw state every program starts with: registers 0x5F00-0x5F7F zeroed
// through memory, then pen 6, identity palettes with colour 0 transparent,
// camera (0, 0), full clip, pattern 0. The cursor's y survives.
void orbo_reset_draw_state(orbo_machine* c);

// orbo_set_clip: the bitmap clip, x0/y0 raised to 0, x1/y1 lowered to the size.
void orbo_set_clip(kiln_bitmap* bm, int x0, int y0, int x1, int y1);
void orbo_reset_clip(kiln_bitmap* bm);

// The console's reset state: 0 normal; above 0 while a reset runs, counting
// its frames. Stops and errors are frozen and cartridge-data writes dropped.
extern int orbo_reset_glitch;

// GPIO pins 0-127 at 0x5F80: plain bytes in this console.
int gpio_read(orbo_machine* c, int pin);
void gpio_write(orbo_machine* c, int pin, int value);
void gpio_open();
void gpio_close();

// The one console machine the script bindings, the console text and the
// runtime act on: created on first use over the working cartridge.
// orbo_recreate_live_machine replaces it with a fresh one; the script
// machine allocates through its heap record, so none may be open then.
orbo_machine* orbo_live_machine();
void orbo_recreate_live_machine();

// The console font (from data item 2), kept across machines; without one
// nothing is drawn but the cursor still moves.
void orbo_set_console_font(kiln_font_ptr font);
const kiln_font* orbo_console_font();
