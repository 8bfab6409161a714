// The run chain: cartridges loaded by other cartridges with a label, kept as
// a stack so that the player can go back along it. At most 2047 items; a
// push onto a full chain is ignored.
#pragma once
#include <string>

constexpr int ORBO_RUN_CHAIN_MAX = 2047;

struct run_chain_item {
    std::string filename;  // 255 chars
    std::string label;     // 31 chars
    std::string param;     // 1024 chars
};

void add_run_chain_item(const std::string& filename, const std::string& label, const std::string& param);
void reset_run_chain();
void pop_run_chain();
int run_chain_items();

// The top item's fields, or none when the chain is empty.
const char* get_run_chain_label();
const char* get_run_chain_filename();
const char* get_run_chain_param_str();

// Goes back one step: loads the top item's cartridge and requests its run.
// Does nothing on an empty chain.
void follow_current_breadcrumb();
