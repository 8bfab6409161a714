#include "cart/code_tabs.h"

namespace {
const char k_separator[] = "\n-->8\n";
constexpr size_t k_separator_len = sizeof k_separator - 1;
}  // namespace

void split_code_to_tabs(orbo_code_tabs* tabs, const std::string& code)
{
    for (auto& t : tabs->tab) t.clear();
    size_t start = 0;
    for (int i = 0; i < ORBO_CODE_TABS; i++) {
        size_t sep = code.find(k_separator, start);
        if (sep == std::string::npos) {
            tabs->tab[i] = code.substr(start);
            return;
        }
        tabs->tab[i] = code.substr(start, sep - start);
        start = sep + k_separator_len;
    }
}

std::string merge_code_from_tabs(const orbo_code_tabs& tabs)
{
    int n = tabs.current + 1;
    for (int i = 0; i < ORBO_CODE_TABS; i++)
        if (!tabs.tab[i].empty() && i + 1 > n) n = i + 1;
    std::string code;
    for (int i = 0; i < ORBO_CODE_TABS; i++) {
        code += tabs.tab[i];
        if (i < n - 1) code += k_separator;
    }
    return code;
}

std::string orbo_normalise_tabs(const std::string& code)
{
    orbo_code_tabs tabs;
    split_code_to_tabs(&tabs, code);
    return merge_code_from_tabs(tabs);
}
