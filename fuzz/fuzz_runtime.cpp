// Arbitrary program text through the whole runtime path: run request,
// joining, size checks, header and footer, compilation or the compile
// report, then a few console frames under the scheduler (budget yields,
// collections, runtime reports, stops and restarts). Nothing may crash,
// trip a sanitizer or hang. Functions with file or process side effects
// are removed before the program's first frame.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "hardware/console.h"
#include "app/shell.h"
#include "app/state.h"
#include "runtime/pstate.h"
#include "cart/working_cart.h"
#include "engine/lua/lua.h"
#include "platform/log.h"
#include "runtime/lua_machine.h"
#include "runtime/runner.h"
#include "runtime/scheduler.h"
#include "runtime/runtime.h"

namespace {
constexpr int k_frames = 6;
const char* const k_side_effects[] = {"folder", "mkdir", "save", "cstore", "install_demos", "install_games",
                                      "cd", "export", "import", "printh", "load", "cartdata", "ls", "dir"};

void disarm(lua_State* L)
{
    for (const char* name : k_side_effects) {
        lua_pushnil(L);
        lua_setglobal(L, name);
    }
    lua_settop(L, 0);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = [] {
        setenv("HOME", "/tmp/orbo_fuzz_runtime", 1);
        kiln_log_set_stdout(false);
        orbo_runtime_init();
        orbo_new_machine();
        return true;
    }();
    (void)started;
    if (size > 8192) return 0;
    orbo_reset_records();
    orbo_working().cart->code.assign(reinterpret_cast<const char*>(data), size);
    orbo_split_working_tabs();
    orbo_working().tabs.current = 0;
    pstate.pending_action = ACTION_RUN;
    for (int f = 0; f < k_frames; f++) {
        if (pstate.pending_action != ACTION_NONE) {
            dispatch_pending_action();
            if (orbo_rt().L) disarm(orbo_rt().L);
        }
        if (pstate.app_mode != MODE_RUNNING) break;
        orbo_program_frame();
    }
    close_lua_machine();
    return 0;
}
