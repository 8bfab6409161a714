// The code tabs: a cartridge's program split at the separator "\n-->8\n"
// into at most 8 texts. Joining puts the separator after every tab below the
// last one that matters (the last non-empty tab or the current one).
#pragma once
#include <string>

constexpr int ORBO_CODE_TABS = 8;

struct orbo_code_tabs {
    std::string tab[ORBO_CODE_TABS];
    int current = 0;
};

// Clears the tabs and fills them from the code; pieces past the eighth are dropped.
void split_code_to_tabs(orbo_code_tabs* tabs, const std::string& code);
std::string merge_code_from_tabs(const orbo_code_tabs& tabs);
// The code as a split and join with tab 0 current gives it.
std::string orbo_normalise_tabs(const std::string& code);
