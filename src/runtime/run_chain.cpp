#include "runtime/run_chain.h"

#include <vector>

#include "runtime/pause_state.h"
#include "runtime/pstate.h"
#include "cart/working_cart.h"
#include "runtime/runner.h"

namespace {
std::vector<run_chain_item> g_chain;
}

void add_run_chain_item(const std::string& filename, const std::string& label, const std::string& param)
{
    if (int(g_chain.size()) >= ORBO_RUN_CHAIN_MAX) return;
    g_chain.push_back({filename.substr(0, 255), label.substr(0, 31), param.substr(0, 1024)});
}

void reset_run_chain() { g_chain.clear(); }

void pop_run_chain()
{
    if (!g_chain.empty()) g_chain.pop_back();
}

int run_chain_items() { return int(g_chain.size()); }

const char* get_run_chain_label() { return g_chain.empty() ? nullptr : g_chain.back().label.c_str(); }
const char* get_run_chain_filename() { return g_chain.empty() ? nullptr : g_chain.back().filename.c_str(); }
const char* get_run_chain_param_str() { return g_chain.empty() ? nullptr : g_chain.back().param.c_str(); }

void follow_current_breadcrumb()
{
    if (g_chain.empty()) return;
    run_chain_item top = g_chain.back();
    if (load_working_cart(top.filename.c_str()) == 0) orbo_refresh_live_cart();
    pstate.pending_action = ACTION_RUN;
    pstate.pending_param = top.param;
    pstate.hold_frames = 20;
    pop_run_chain();
    orbo_pause().menu_open = false;
}
