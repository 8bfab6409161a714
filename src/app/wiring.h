// Where the shell wires the layers to each other at start-up, and the
// shell's calls into the cartridge storage and its own subsystems.
#pragma once

struct kiln_pod;
#include <cstdint>
#include <string>

// Start-up wiring, in one place: the runtime's hooks into the hardware, the
// bindings of the runtime and the shell into the registry, cartridge
// storage's console services (console lines, the message bar, hold frames,
// live console memory, the root folder), and the pause menu.
void orbo_wire_layers();
// The shell's own bindings (console commands) into the registry.
void orbo_bind_shell_api();

// Loading a file makes it the working cartridge (false when none loads).
bool orbo_load_working_cart(const std::string& path);
// Boot step 80: loads the head cart image (a 32 KiB cartridge image).
bool orbo_boot_head_cart(const uint8_t* image, size_t len);
// Mounts data items 4 and later as embedded cartridges (clearing the old ones).
void orbo_mount_embedded_carts(const kiln_pod* data);
// Boot: draws the two diagonal lines on the working cartridge's sprite sheet.
void orbo_mark_cart_graphics();

// The shell's hooks into the pause menu, the key configuration screen, the boot chime and the typed keys of a
// running program. On this console they draw nothing and act on no key:
// the pause menu opens through extcmd("pause") and closes with Escape.
void orbo_keep_boot_cart(const uint8_t* bytes, size_t len);
bool orbo_any_button_held();
void orbo_reset_frame_overrides();
void orbo_play_boot_chime();
void orbo_update_audio_pause();
void orbo_mute_keys();
void orbo_draw_pause_menu();
void orbo_pause_menu_keys();
void orbo_update_paused_menu();
void orbo_update_reset_glitch();
void orbo_process_running_keypresses();
void orbo_keyconfig_update();
void orbo_keyconfig_draw();
void orbo_close_gpio();
void orbo_init_browser_lists();
