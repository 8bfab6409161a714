// Conversion of records read from older format versions to the current
// behaviour. Runs once on every freshly loaded record; afterwards the
// record's version is the current one.
#pragma once
#include "cart/cart.h"

void apply_legacy_changes(orbo_cart* cart);

// The API block put in front of the one early cartridge that needs it, and
// the print call that identifies that cartridge.
extern const char orbo_legacy_api_block[];
extern const char orbo_legacy_api_trigger[];
