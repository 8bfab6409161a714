// Feeds arbitrary bytes to the settings reader (platform keys and the
// application's read hook), and checks that the file written from the result
// reads back to the same file: writing is a fixed point after one round.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/settings.h"
#include "app/state.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/log.h"

namespace {
std::string round(const std::string& text)
{
    kiln_config_default();
    orbo_reset_records();
    set_default_app_config();
    kiln_config_parse_text(text);
    cconfig_file = cconfig;
    return kiln_config_text();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool init = [] {
        kiln_log_set_stdout(false);
        kiln_set_app_title("orbo");
        kiln_set_load_config_func(orbo_load_config);
        kiln_set_save_config_func(orbo_save_config);
        return true;
    }();
    (void)init;
    std::string once = round(std::string(reinterpret_cast<const char*>(data), size));
    std::string twice = round(once);
    if (once != twice) abort();
    return 0;
}
