// The boot sequence: noise on the console screen, the logo and version, a
// notice, and at step 80 the head cart (data item 3).
#pragma once
#include <cstdint>

constexpr const char* ORBO_VERSION_TEXT = "orbo 0.1.11f";
constexpr const char* ORBO_BOOT_NOTICE = "hearthware fantasy console";
constexpr int ORBO_BOOT_LAST_STEP = 80;

void boot_init();
// One console frame of boot mode: runs the step s = frame_count - 10.
void move_boot();
