// Count and line hooks as the host installs them, hooks that suspend the
// running thread, and host continuations (lua_pcallk / lua_callk) completed
// after the called function was suspended and resumed. Expected counts and
// line sequences are those of the stock 5.2 interpreter for the same code.
#include <string>
#include <vector>

#include "engine/lua/internal.h"
#include "vm_fixture.h"

namespace {
// What the hooks of one test saw; hooks are plain functions, so one record.
struct hook_log {
    int count_events = 0;
    std::vector<int> lines;
    std::vector<lua_State*> threads;
    int yield_every = 0;   // count hook: yield at every n-th event (0: never)
    int yield_line = 0;    // line hook: yield at the first event of this line
    bool line_yielded = false;
};
hook_log g_log;

void record_hook(lua_State* L, lua_Debug* ar)
{
    if (ar->event == LUA_HOOKCOUNT) {
        g_log.count_events++;
        bool seen = false;
        for (lua_State* t : g_log.threads) seen = seen || t == L;
        if (!seen) g_log.threads.push_back(L);
        if (g_log.yield_every > 0 && g_log.count_events % g_log.yield_every == 0) lua_yield(L, 0);
    } else if (ar->event == LUA_HOOKLINE) {
        g_log.lines.push_back(ar->currentline);
        if (ar->currentline == g_log.yield_line && !g_log.line_yielded) {
            g_log.line_yielded = true;
            lua_yield(L, 0);
        }
    }
}

// 207 instructions under the stock interpreter (4 LOADK, FORPREP, 100 ADD,
// 101 FORLOOP, RETURN).
const char* const k_loop = "local x = 0 for i = 1, 100 do x = x + i end";

// Line events of this chunk under the stock interpreter: 1,2,3,2,3,2,7,8,6,9
// (a function's first instruction always reports its line; returning to the
// caller's line reports nothing). 18 instructions.
const char* const k_lines = "local x = 0\nfor i = 1, 2 do\n  x = x + i\nend\nlocal function f(a)\n"
                            "  return a * 2\nend\nx = f(x)\nreturn x\n";
const std::vector<int> k_line_events = {1, 2, 3, 2, 3, 2, 7, 8, 6, 9};

int run_hooked(vm_state& s, const char* text, int mask, int count)
{
    g_log = hook_log{};
    lua_sethook(s.L, record_hook, mask, count);
    std::string err = s.run(text);
    lua_sethook(s.L, nullptr, 0, 0);
    EXPECT_EQ(err, "");
    return g_log.count_events;
}
}  // namespace

TEST(VmHook, CountHookFiresOncePerBlockOfInstructions)
{
    vm_state s;
    // The hook comes before the n-th, 2n-th, ... instruction: floor(207 / n).
    for (int n : {1, 2, 5, 10, 64, 207, 208, 1024}) EXPECT_EQ(run_hooked(s, k_loop, LUA_MASKCOUNT, n), 207 / n) << n;
    EXPECT_EQ(run_hooked(s, k_lines, LUA_MASKCOUNT, 1), 18);
    lua_sethook(s.L, record_hook, LUA_MASKCOUNT, 77);
    EXPECT_EQ(lua_gethookmask(s.L), LUA_MASKCOUNT);
    EXPECT_EQ(lua_gethookcount(s.L), 77);
    EXPECT_EQ(lua_gethook(s.L), &record_hook);
    lua_sethook(s.L, record_hook, 0, 77);  // no mask: no hook at all
    EXPECT_EQ(lua_gethook(s.L), nullptr);
    EXPECT_EQ(run_hooked(s, k_loop, 0, 1), 0);
    // A coroutine inherits its creator's hook: its instructions are counted
    // in the same blocks, and the hook sees the coroutine's own state.
    run_hooked(s, "local co = cocreate(function() for i = 1, 50 do end end) coresume(co)", LUA_MASKCOUNT, 1);
    EXPECT_EQ(g_log.threads.size(), 2u);
}

TEST(VmHook, LineHookReportsEachNewLine)
{
    vm_state s;
    run_hooked(s, k_lines, LUA_MASKLINE, 0);
    EXPECT_EQ(g_log.lines, k_line_events);
    // Count and line hooks together: neither disturbs the other.
    EXPECT_EQ(run_hooked(s, k_lines, LUA_MASKLINE | LUA_MASKCOUNT, 3), 18 / 3);
    EXPECT_EQ(g_log.lines, k_line_events);
}

TEST(VmHook, HookThatYieldsResumesTheInterruptedInstruction)
{
    // A line hook suspends the main thread at line 6 (inside f): the
    // resumption runs the interrupted instruction without reporting the
    // line again, and the result is that of an uninterrupted run.
    vm_state s;
    lua_State* L = s.L;
    g_log = hook_log{};
    g_log.yield_line = 6;
    ASSERT_EQ(luaL_loadstring(L, k_lines), LUA_OK);
    lua_sethook(L, record_hook, LUA_MASKLINE, 0);
    ASSERT_EQ(lua_resume(L, nullptr, 0), LUA_YIELD);
    EXPECT_EQ(g_log.lines.back(), 6);
    ASSERT_EQ(lua_resume(L, nullptr, 0), LUA_OK);
    EXPECT_EQ(g_log.lines, k_line_events);
    EXPECT_EQ(lua_tonumber(L, -1), fix_from_int(6));
    lua_settop(L, 0);

    // A count hook suspending every 10 instructions: 207 / 10 suspensions,
    // then the loop's own result.
    vm_state s2;
    L = s2.L;
    g_log = hook_log{};
    g_log.yield_every = 1;
    ASSERT_EQ(luaL_loadstring(L, "local x = 0 for i = 1, 100 do x = x + i end return x"), LUA_OK);
    lua_sethook(L, record_hook, LUA_MASKCOUNT, 10);
    int yields = 0, status;
    while ((status = lua_resume(L, nullptr, 0)) == LUA_YIELD) yields++;
    ASSERT_EQ(status, LUA_OK);
    EXPECT_EQ(yields, 208 / 10);  // 208 instructions with the RETURN of x
    EXPECT_EQ(g_log.count_events, yields);  // no hook lost or repeated
    EXPECT_EQ(lua_tonumber(L, -1), fix_from_int(5050));
}

namespace {
// Continuations: pk(f, ...) calls f(...) with lua_pcallk, ck(f, ...) with
// lua_callk, both with context 42; their continuation returns a text
// "status/context" followed by what f returned (or the error message).
std::string g_k_trace;

int report(lua_State* L, int status, int ctx)
{
    g_k_trace += std::to_string(status) + "/" + std::to_string(ctx) + ";";
    lua_pushfstring(L, "%s/%s", std::to_string(status).c_str(), std::to_string(ctx).c_str());
    lua_insert(L, 1);
    return lua_gettop(L);
}

// The continuation of pk, ck and again's second call: reports what it got.
int report_cont(lua_State* L)
{
    int ctx = 0;
    int status = lua_getctx(L, &ctx);
    return report(L, status, ctx);
}

int pk(lua_State* L)
{
    int status = lua_pcallk(L, lua_gettop(L) - 1, LUA_MULTRET, 0, 42, report_cont);
    return report(L, status, 42);  // not suspended: the status is pcall's own
}

int ck(lua_State* L)
{
    lua_callk(L, lua_gettop(L) - 1, LUA_MULTRET, 42, report_cont);
    return report(L, LUA_OK, 42);
}

// After a recovered error, the continuation calls g again with lua_callk:
// a suspension inside g must report LUA_YIELD, not the earlier error.
int again_cont1(lua_State* L)
{
    int ctx = 0;
    int status = lua_getctx(L, &ctx);
    g_k_trace += "first " + std::to_string(status) + ";";
    lua_settop(L, 0);
    lua_getglobal(L, "g");
    lua_callk(L, 0, LUA_MULTRET, 43, report_cont);
    return report(L, LUA_OK, 43);
}

int again(lua_State* L)
{
    lua_getglobal(L, "f");
    int status = lua_pcallk(L, 0, 0, 0, 7, again_cont1);
    g_k_trace += "not suspended " + std::to_string(status) + ";";
    return 0;
}

struct k_state : vm_state {
    k_state()
    {
        lua_register(L, "pk", pk);
        lua_register(L, "ck", ck);
        lua_register(L, "again", again);
        g_k_trace.clear();
        g_log = hook_log{};
    }
    // Runs text as the resumable main thread until it ends; returns the
    // number of suspensions, or -1 after an error.
    int resume_all(const char* text)
    {
        lua_settop(L, 0);
        if (luaL_loadstring(L, text) != LUA_OK) return -1;
        int yields = 0, status;
        while ((status = lua_resume(L, nullptr, 0)) == LUA_YIELD) yields++;
        return status == LUA_OK ? yields : -1;
    }
};
}  // namespace

TEST(VmContinuation, PcallkContinuesAfterAYieldingHostFunction)
{
    k_state s;
    struct run_case {
        const char* text;
        int yields;
        const char* out;
        const char* trace;
    };
    const run_case cases[] = {
        // Not suspended: the host function's own path, continuation not called.
        {"r = {pk(function(a) return a + 1, 'r' end, 10)} print(r[1], r[2], r[3])", 0, "0/42\t11\tr\n", "0/42;"},
        // Suspended by `yield` inside f: the continuation runs on resumption
        // with LUA_YIELD, the context and f's results.
        {"r = {pk(function(a) yield() return a + 1, 'r' end, 10)} print(r[1], r[2], r[3])", 1, "1/42\t11\tr\n",
         "1/42;"},
        // An error after the suspension is caught by the yieldable pcall: the
        // continuation gets LUA_ERRRUN and the message.
        {"r = {pk(function() yield() local t = nil; return t.x end)} print(r[1], r[2], #r)", 1,
         "2/42\tattempt to index local 't' (a nil value)\t2\n", nullptr},
    };
    for (const run_case& k : cases) {
        s.out.clear();
        g_k_trace.clear();
        EXPECT_EQ(s.resume_all(k.text), k.yields) << k.text;
        EXPECT_EQ(s.out, k.out) << k.text;
        if (k.trace) {
            EXPECT_EQ(g_k_trace, k.trace) << k.text;
        }
    }
    // The same inside a coroutine resumed by the program.
    s.out.clear();
    EXPECT_EQ(s.resume_all("local co = cocreate(function() return pk(function() yield() yield() return 5 end) end)"
                           "print(coresume(co)) print(coresume(co)) print(coresume(co)) print(costatus(co))"),
              0);
    EXPECT_EQ(s.out, "true\ntrue\ntrue\t1/42\t5\ndead\n");
}

TEST(VmContinuation, ContinuationsAfterACountHookSuspension)
{
    k_state s;
    lua_sethook(s.L, record_hook, LUA_MASKCOUNT, 100);
    g_log.yield_every = 1;
    // f runs about 600 instructions: several suspensions inside it, each
    // resumed at the interrupted instruction; the continuation runs once.
    int yields = s.resume_all("r = {pk(function(n) local s = 0 for i = 1, n do s = s + i end return s end, 200)}"
                              "print(r[1], r[2])");
    EXPECT_GT(yields, 3);
    EXPECT_EQ(s.out, "1/42\t20100\n");
    EXPECT_EQ(g_k_trace, "1/42;");
    s.out.clear();
    g_k_trace.clear();
    yields = s.resume_all("r = {ck(function(n) local s = 0 for i = 1, n do s = s + i end return s, 'c' end, 200)}"
                          "print(r[1], r[2], r[3])");
    EXPECT_GT(yields, 3);
    EXPECT_EQ(s.out, "1/42\t20100\tc\n");
    EXPECT_EQ(g_k_trace, "1/42;");
    // A hook suspension and then an error: the protected call catches it.
    s.out.clear();
    g_k_trace.clear();
    yields = s.resume_all("r = {pk(function() for i = 1, 300 do end error_here() end)}"
                          "print(r[1], r[2])");
    EXPECT_EQ(yields, 3);
    EXPECT_EQ(s.out, "2/42\tattempt to call global 'error_here' (a nil value)\n");
}

TEST(VmContinuation, StatusOfALaterSuspensionIsNotTheRecoveredError)
{
    k_state s;
    EXPECT_EQ(s.resume_all("function f() yield() error_here() end "
                           "function g() yield() return 'g' end "
                           "r = {again()} print(r[1], r[2], #r)"),
              2);
    EXPECT_EQ(g_k_trace, "first 2;1/43;");
    EXPECT_EQ(s.out, "1/43\tg\t2\n");
}
