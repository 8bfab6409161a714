// The start-up wiring of the layers, and the shell's calls into cartridge
// storage and its own subsystems.
#include "app/wiring.h"

#include <cstdio>
#include <string>

#include "hardware/console.h"
#include "app/state.h"
#include "runtime/pstate.h"
#include "cart/cart_env.h"
#include "cart/embedded.h"
#include "cart/vdisk.h"
#include "cart/working_cart.h"
#include "app/commands.h"
#include "app/input_wiring.h"
#include "app/message_bar.h"
#include "app/sound.h"
#include "app/pause_menu.h"
#include "hardware/api/api.h"
#include "hardware/sound_link.h"
#include "hardware/machine.h"
#include "hardware/mem.h"
#include "platform/kiln.h"
#include "platform/paths.h"
#include "runtime/runner.h"
#include "runtime/pause_state.h"
#include "runtime/runtime.h"

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
    const orbo_machine* c = orbo_live_machine();
    return c ? orbo_peek(c, c->cart, addr) : 0;
}

void live_poke(int addr, int value)
{
    if (orbo_machine* c = orbo_live_machine()) orbo_poke(c, c->cart, addr, value);
}

void hold_frames(int frames) { pstate.hold_frames = frames; }
}  // namespace


void orbo_bind_shell_api()
{
#define ORBO_BIND_SHELL(name, binding, listed, layer) ORBO_API_IS(layer, app, orbo_api_bind(ORBO_API_ID_##name, binding);)
    ORBO_API_GLOBALS(ORBO_BIND_SHELL)
#undef ORBO_BIND_SHELL
}

void orbo_wire_layers()
{
    orbo_runtime_init();
    orbo_bind_shell_api();
    orbo_wire_sound();
    orbo_cart_env& env = orbo_cart_env_get();
    env.print = print_cart_line;
    env.show_message = orbo_show_message;
    env.set_hold_frames = hold_frames;
    env.live_peek = live_peek;
    env.live_poke = live_poke;
    env.root = kiln_prefix_with_appdata_path("");
    orbo_install_vdisk_pod_reader();
    orbo_shell_hooks = {orbo_update_paused_menu, orbo_pause_menu_keys, orbo_process_running_keypresses,
                        orbo_open_paused_menu};
    orbo_wire_input();
}

bool orbo_load_working_cart(const std::string& path)
{
    if (load_working_cart(path.c_str()) != 0) return false;
    orbo_refresh_live_cart();
    return true;
}
bool orbo_boot_head_cart(const uint8_t* image, size_t len)
{
    if (!orbo_boot_head_cart_image(image, len)) return false;
    orbo_refresh_live_cart();
    return true;
}
void orbo_mount_embedded_carts(const kiln_pod* data)
{
    clear_embedded_carts();
    orbo_mount_embedded_items(data);
}
void orbo_mark_cart_graphics() { orbo_mark_working_cart_graphics(); }
void orbo_reset_frame_overrides() {}
void orbo_close_gpio() {}
void orbo_init_browser_lists() {}
