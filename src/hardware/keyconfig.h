// The key configuration screen: the user presses a key for each of the 13
// bindings in turn (Delete or Backspace: the default keys); Escape before
// the last one restores the bindings it started with. The bindings are the
// custom keys of orbo_button_config.
#pragma once

struct kiln_pod;

constexpr int ORBO_KEYCONFIG_ICON = 230;  // resource items 230..236: buttons 0..6

// The shell's resource pod the screen takes its button icons from.
void orbo_keyconfig_set_icons(const kiln_pod* resources);

bool keyconfig_init();
// One frame of the screen: queued key presses, then the held keys. False
// once the screen has closed.
bool keyconfig_update();
void keyconfig_draw();
// A typed key (27 Escape). False when it closes the screen.
bool keyconfig_keypress(int key);
// The binding waiting for a key (13 once all are set).
int keyconfig_index();
