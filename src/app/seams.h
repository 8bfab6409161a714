// Seams: the places where the shell hands work to subsystems that later
// issues build (the program runner, CPU accounting, buttons, the working
// cartridge, sound, the pause menu, capture, key configuration, cartridge
// data). Each one does nothing and says so; none pretends to have done the
// work. Replace the body, not the call site, when the subsystem lands.
#pragma once

struct kiln_pod;
#include <cstdint>
#include <string>

// Working cartridge. Creating it wires cartridge storage to the console:
// console lines, the message bar, hold frames and live console memory.
// Loading a file makes it the working cartridge (false when none loads).
void orbo_create_working_cart_seam();
bool orbo_load_working_cart_seam(const std::string& path);
// Boot step 80: loads the head cart image (a 32 KiB cartridge image) and
// mounts the embedded cartridges. Returns false: no cartridge image is read
// yet, so the head cart cannot be booted.
bool orbo_boot_head_cart_seam(const uint8_t* image, size_t len);
// Mounts data items 4 and later as embedded cartridges (clearing the old ones).
void orbo_mount_embedded_carts_seam(const kiln_pod* data);
// Boot: draws the two diagonal lines on the working cartridge's sprite sheet.
// There is no sprite sheet yet.
void orbo_mark_cart_graphics_seam();
// The text cartridge of data item 0 (its sound data is the boot chime).
void orbo_keep_boot_cart_seam(const uint8_t* bytes, size_t len);

// Buttons: updates the button tables once per console frame (the bindings'
// button seam).
void orbo_update_buttons_seam();
// True when any player holds a game button. No buttons are read yet.
bool orbo_any_button_held_seam();
// Blocks the buttons until they are released (run start); through the
// bindings' button seams.
void orbo_block_buttons_seam();
// Resets the per-frame button-override block and the mouse cursor sprite.
void orbo_reset_frame_overrides_seam();

// Sound: plays the boot chime (no device yet); stops every sound and the
// music through the bindings' sound seams.
void orbo_play_boot_chime_seam();
void orbo_stop_all_sound_seam();
// Computes the audio pause state (pause menu, mute). Nothing to pause yet.
void orbo_update_audio_pause_seam();
// Ctrl+M mute toggle. No sound to mute yet.
void orbo_mute_keys_seam();

// Pause menu and messages: draws the menu and the message bar, reacts to
// keys, runs the reset glitch. None exists yet.
void orbo_draw_pause_menu_seam();
void orbo_draw_message_bar_seam();
// Shows text on the message bar for ms + 400 milliseconds, in colour 15 and
// 7 by turns (the first message 15). Every message reaches the bar here.
void orbo_show_message_seam(const char* text, int ms);
void orbo_pause_menu_keys_seam();
void orbo_update_reset_glitch_seam();
// Typed keys while a program runs (Ctrl+R/S/V, the typed-character buffer).
void orbo_process_running_keypresses_seam();

// Capture: records one video frame; screenshot and GIF keys; glitch-test
// screenshots. No capture buffer yet.
void orbo_record_video_frame_seam();
void orbo_capture_keys_seam();
void orbo_glitch_screenshot_seam();

// Key configuration screen (overlay 1). Not built yet.
void orbo_keyconfig_update_seam();
void orbo_keyconfig_draw_seam();

// The GPIO area: closed at exit. Not mapped yet.
void orbo_close_gpio_seam();
// Cartridge browser lists (favourites). Not built.
void orbo_init_browser_lists_seam();
