// The API-name list: the names the tokenizer classes as API names. It is
// generated from the API list, so the registry and the tokenizer can never
// disagree on the console's names; the registry may also rebuild it with
// init_api_function_names and add_api_function_name as it registers.
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/token/token.h"
#include "engine/api_list.h"

namespace {

struct name_hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

struct api_names {
    std::vector<std::string> list;  // in the order added
    std::unordered_set<std::string, name_hash, std::equal_to<>> set;

    api_names()
    {
#define ORBO_API_NAME(name, binding, listed, layer) \
        if (listed) add(#name);
        ORBO_API_GLOBALS(ORBO_API_NAME)
#undef ORBO_API_NAME
    }
    void add(std::string name)
    {
        set.insert(name);
        list.push_back(std::move(name));
    }
};

api_names& names()
{
    static api_names n;
    return n;
}

}  // namespace

void init_api_function_names()
{
    names().list.clear();
    names().set.clear();
}

void add_api_function_name(const char* name) { names().add(name); }

int api_function_names() { return int(names().list.size()); }

const std::string& api_function_name(int i)
{
    static const std::string none;
    return i >= 0 && size_t(i) < names().list.size() ? names().list[size_t(i)] : none;
}

bool is_api_function_name(std::string_view name) { return names().set.find(name) != names().set.end(); }
