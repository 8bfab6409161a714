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

// The shell's subsystems of play: the pause menu, mute and the audio pause
// state, the reset glitch, typed keys, the buttons and the key
// configuration screen.
#include "app/audio_pause.h"
#include "app/input_wiring.h"
#include "app/pause_menu.h"
#include "app/reset_glitch.h"
#include "app/running_keys.h"
#include "app/sound.h"

// Hooks with nothing behind them on this console: the per-frame override
// block, GPIO and the board browser.
void orbo_reset_frame_overrides();
void orbo_close_gpio();
void orbo_init_browser_lists();
