// Placeholder until the runner lands: the chain is always empty.
#include "runtime/run_chain.h"

const char* get_run_chain_label() { return nullptr; }
