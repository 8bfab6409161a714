// The reset glitch: a few frames of scrambled console memory before a
// cartridge restarts with the parameter it was started with.
#pragma once

// Every console frame while a reset runs (orbo_reset_glitch above 0).
void update_reset_glitch();
void orbo_update_reset_glitch();
