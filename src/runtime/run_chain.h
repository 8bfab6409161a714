// The run chain: cartridges loaded by other cartridges with a label, kept as
// a stack so that the player can go back along it. At most 2047 items; a
// push onto a full chain is ignored.
#pragma once

// The top item's label, or none when the chain is empty.
const char* get_run_chain_label();
