// The mixer's internals shared with the voice functions and the tests.
#pragma once
#include <cstdint>

struct orbo_cart;

// The soft clipper: s inside -24575..24575 unchanged, beyond it the excess
// over 24576 divided by 5 (integer division toward zero).
int32_t mix_clip(int32_t s);
// The attached live record (under the audio lock).
orbo_cart* mixer_live_cart();
// Registers the release hook that drops voices of a freed record.
void mixer_watch_carts();
// True while the render call must output silence.
bool mixer_paused();
