// The shell's side of the sound chip: its wiring into the bindings and the
// framework, the boot chime from the data file's item 0, and the audio
// pause state the mixer reads.
#pragma once
#include <cstddef>
#include <cstdint>

// Fills the hardware's sound link and the framework's sound hooks.
void orbo_wire_sound();
// Keeps the text cartridge of data item 0; its sfx 0 is the boot chime.
void orbo_keep_boot_cart(const uint8_t* bytes, size_t len);
void orbo_play_boot_chime();
