// Every seam does nothing until its subsystem lands; see seams.h. The
// cartridge seams are filled: they hand over to the working cartridge.
#include "app/seams.h"

#include <cstdio>
#include <string>

#include "app/console.h"
#include "app/state.h"
#include "cart/cart_env.h"
#include "cart/embedded.h"
#include "cart/vdisk.h"
#include "cart/working_cart.h"
#include "hardware/api/subsystem_seams.h"
#include "hardware/console.h"
#include "hardware/mem.h"
#include "platform/kiln.h"
#include "platform/paths.h"
#include "runtime/runner.h"

namespace {
// Cartridge storage prints one console line per call; a trailing newline in
// its texts is the line end, not an extra empty line.
void print_cart_line(const char* text, int colour)
{
    std::string line(text);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    orbo_print_col(line.c_str(), colour);
}

// reload and cstore with a file name reach console memory as the script's
// own peek and poke do: the live console and its live cartridge record.
int live_peek(int addr)
{
    const orbo_console* c = orbo_live_console();
    return c ? orbo_peek(c, c->cart, addr) : 0;
}

void live_poke(int addr, int value)
{
    if (orbo_console* c = orbo_live_console()) orbo_poke(c, c->cart, addr, value);
}

void hold_frames(int frames) { pstate.hold_frames = frames; }
}  // namespace

void orbo_show_message_seam(const char* text, int ms)
{
    snprintf(app.message, sizeof app.message, "%s", text ? text : "");
    kiln_host* host = kiln_host_get();
    uint32_t now = host ? host->ticks() : 0;
    app.message_start = now;
    app.message_end = now + uint32_t(ms) + 400;
    app.message_col = app.message_col == 15 ? 7 : 15;
}

void orbo_create_working_cart_seam()
{
    // Every message (cartridge storage's and the bindings') reaches the
    // message bar through this one hook.
    orbo_cart_env& env = orbo_cart_env_get();
    env.print = print_cart_line;
    env.show_message = orbo_show_message_seam;
    env.set_hold_frames = hold_frames;
    env.live_peek = live_peek;
    env.live_poke = live_poke;
    env.root = kiln_prefix_with_appdata_path("");
    orbo_install_vdisk_pod_reader();
}
bool orbo_load_working_cart_seam(const std::string& path)
{
    if (load_working_cart(path.c_str()) != 0) return false;
    orbo_refresh_live_cart();
    return true;
}
bool orbo_boot_head_cart_seam(const uint8_t* image, size_t len)
{
    if (!orbo_boot_head_cart_image(image, len)) return false;
    orbo_refresh_live_cart();
    return true;
}
void orbo_mount_embedded_carts_seam(const kiln_pod* data)
{
    clear_embedded_carts();
    orbo_mount_embedded_items(data);
}
void orbo_mark_cart_graphics_seam() { orbo_mark_working_cart_graphics(); }
void orbo_keep_boot_cart_seam(const uint8_t*, size_t) {}
void orbo_update_buttons_seam() { orbo_subsystems.update_buttons(); }
bool orbo_any_button_held_seam() { return false; }
void orbo_reset_frame_overrides_seam() {}
void orbo_play_boot_chime_seam() {}
void orbo_stop_all_sound_seam()
{
    orbo_subsystems.music_stop(0);
    orbo_subsystems.sfx_stop_channel(-1);
}
void orbo_update_audio_pause_seam() {}
void orbo_mute_keys_seam() {}
void orbo_draw_pause_menu_seam() {}
void orbo_draw_message_bar_seam() {}
void orbo_pause_menu_keys_seam() {}
void orbo_update_reset_glitch_seam() {}
void orbo_process_running_keypresses_seam() {}
void orbo_record_video_frame_seam() {}
void orbo_capture_keys_seam() {}
void orbo_glitch_screenshot_seam() {}
void orbo_keyconfig_update_seam() {}
void orbo_keyconfig_draw_seam() {}
void orbo_block_buttons_seam() { orbo_subsystems.block_buttons(); }
void orbo_close_gpio_seam() {}
void orbo_init_browser_lists_seam() {}
