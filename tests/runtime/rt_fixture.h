// Runs programs through the runtime as the shell does, on the one console,
// with a fake host clock. Console lines are taken from standard output: the
// fixture runs in exec mode, where lines printed while no program runs go
// there as "** text".
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "../platform/fake_host.h"
#include "hardware/console.h"
#include "runtime/pstate.h"
#include "cart/working_cart.h"
#include "engine/lua/cpu.h"
#include "engine/lua/lua.h"
#include "hardware/machine.h"
#include "platform/config.h"
#include "platform/kiln.h"
#include "platform/log.h"
#include "runtime/lua_machine.h"
#include "runtime/run_chain.h"
#include "runtime/runner.h"
#include "runtime/runtime.h"
#include "runtime/scheduler.h"

struct RuntimeTest : testing::Test {
    fake_host host;

    void SetUp() override
    {
        kiln_host_set(&host);
        kiln_log_set_stdout(false);
        orbo_reset_pstate();
        orbo_runtime_init();
        orbo_new_machine();
        reset_run_chain();
        pstate.exec_mode = 1;
        kiln_quit = false;
        cconfig.headless = 1;
        orbo_set_frame_rate(30);
    }
    void TearDown() override
    {
        close_lua_machine();
        kiln_host_set(nullptr);
        kiln_log_set_stdout(true);
        kiln_quit = false;
    }
    // The working cartridge's code (split into tabs as a load does).
    void set_code(const std::string& code)
    {
        orbo_working().cart->code = code;
        orbo_split_working_tabs();
        orbo_working().tabs.current = 0;
    }
    // Requests and dispatches a run; true when the program started.
    bool start(const std::string& code)
    {
        set_code(code);
        pstate.pending_action = ACTION_RUN;
        dispatch_pending_action();
        return pstate.app_mode == MODE_RUNNING;
    }
    // One console frame as the main update runs it, 1000/fps ms apart.
    void frame()
    {
        host.now += uint32_t(1000 / (orbo_cpu.fps > 0 ? orbo_cpu.fps : 30));
        if (pstate.pending_action != ACTION_NONE) dispatch_pending_action();
        if (pstate.app_mode == MODE_RUNNING) orbo_program_frame();
    }
    void frames(int n)
    {
        for (int i = 0; i < n; i++) frame();
    }
    // A global of the program as an integer (numbers are 16.16).
    int global_int(const char* name)
    {
        lua_State* L = orbo_rt().L;
        if (!L) return -999999;
        int top = lua_gettop(L);
        lua_getglobal(L, name);
        int v = int(lua_tonumber(L, -1)) >> 16;
        lua_settop(L, top);
        return v;
    }
    bool running() const { return pstate.app_mode == MODE_RUNNING; }
};

// The console lines printed while fn runs.
template <class F> std::string console_lines(F fn)
{
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}
