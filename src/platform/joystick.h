// Game controllers: mapping lists, device discovery, and the validation that
// hides an axis until it has once been near centre and a button until it has
// once been released (a trigger resting at full deflection, or a button held
// at start, must not read as input).
#pragma once
#include <string>

constexpr int KILN_MAX_JOYSTICKS = 8;

void kiln_joystick_init();
void kiln_joystick_exit();
// Slots in use: one more than the highest slot holding a device.
int kiln_count_joysticks();
// After a device was attached or removed: opens and closes slots to match.
void kiln_joystick_sync();
int kiln_count_joystick_buttons(int i);
void kiln_get_joystick(int i, int* x, int* y, int* buttons);
void kiln_get_joystick_axes(int i, int ax, int ay, int* x, int* y);

// Adds the mappings of one "sdl_controllers.txt" text (logged per line).
void kiln_add_controller_mappings(const std::string& text);
// Resets the validation state of every device (tests, and on re-init).
void kiln_joystick_reset_validation();
