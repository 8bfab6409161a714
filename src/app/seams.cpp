// Every seam does nothing until its subsystem lands; see seams.h. The
// cartridge seams are filled: they hand over to the working cartridge.
#include "app/seams.h"

#include <string>

#include "app/console.h"
#include "cart/cart_env.h"
#include "cart/embedded.h"
#include "cart/vdisk.h"
#include "cart/working_cart.h"
#include "hardware/api/subsystem_seams.h"
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
}  // namespace

void orbo_create_working_cart_seam()
{
    orbo_cart_env& env = orbo_cart_env_get();
    env.print = print_cart_line;
    env.root = kiln_prefix_with_appdata_path("");
    orbo_install_vdisk_pod_reader();
}
bool orbo_load_working_cart_seam(const std::string& path)
{
    if (load_working_cart(path.c_str()) != 0) return false;
    orbo_attach_working_cart();
    return true;
}
bool orbo_boot_head_cart_seam(const uint8_t* image, size_t len)
{
    if (!orbo_boot_head_cart_image(image, len)) return false;
    orbo_attach_working_cart();
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
